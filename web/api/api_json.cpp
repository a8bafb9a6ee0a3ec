#include "web/api/api_json.h"

#include "platform/codepage.h"
#include "platform/trace.h"

namespace api_json {
namespace {

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// C0 and C1 control characters become blanks: they have no place in a name.
std::string without_controls(std::string utf8) {
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x20 || byte == 0x7F) utf8[i] = ' ';
    const bool c1 = byte == 0xC2 && i + 1 < utf8.size() &&
                    static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(utf8[i + 1]) <= 0x9F;
    if (c1) utf8.replace(i, 2, " ");
  }
  return utf8;
}

}  // namespace

bool parse(simdjson::dom::parser& parser, const std::string& json, Element& root) {
  const simdjson::error_code error = parser.parse(json).get(root);
  if (error) {
    platform::trace("%s", "API document not readable: ");
    platform::trace("%s\n", simdjson::error_message(error));
    return false;
  }
  return true;
}

bool search_results(simdjson::dom::parser& parser, const std::string& json,
                    simdjson::dom::array& results) {
  Element root;
  return parse(parser, json, root) && array_field(root, "results", results);
}

Field field(Element object, const char* key) { return object[key]; }

bool array_field(Element object, const char* key, simdjson::dom::array& array) {
  return !field(object, key).get(array);
}

std::string raw_text(Element object, const char* key) {
  std::string_view value;
  if (field(object, key).get(value)) return "";
  return std::string(value);
}

std::string text(Element object, const char* key) {
  std::string_view value;
  if (field(object, key).get(value)) return "";
  return program_text(value);
}

std::string program_text(std::string_view utf8) {
  return trimmed(platform::name_from_fs(without_controls(std::string(utf8))));
}

std::string id_text(Element object, const char* key) {
  const Field value = field(object, key);
  int64_t number = 0;
  if (!value.get(number)) return number >= 0 ? std::to_string(number) : "";
  uint64_t unsigned_number = 0;
  if (!value.get(unsigned_number)) return std::to_string(unsigned_number);
  std::string_view digits;
  if (value.get(digits) || digits.empty() || digits.size() > 19) return "";
  for (const char c : digits) {
    if (c < '0' || c > '9') return "";
  }
  return std::string(digits);
}

int64_t integer(Element object, const char* key, int64_t otherwise) {
  int64_t number = 0;
  return field(object, key).get(number) ? otherwise : number;
}

}  // namespace api_json
