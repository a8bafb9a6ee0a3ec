#pragma once
// Small reading helpers over simdjson's DOM for the database API readers.
// Every lookup tolerates a missing field or one of the wrong type: it gives
// the empty value, so a document of an unexpected shape reads as less data,
// never as an error deep inside a reader.
#include <simdjson.h>

#include <cstdint>
#include <string>

namespace api_json {

using Element = simdjson::dom::element;
// A looked-up field: an element, or the error that says why there is none.
using Field = simdjson::simdjson_result<Element>;

// Parses the document; false (and a trace line naming the error) when it is
// not JSON or not valid UTF-8.
bool parse(simdjson::dom::parser& parser, const std::string& json, Element& root);

// The "results" array of a search document; false when the document is
// not readable or has no such array. The array lives as long as the parser.
bool search_results(simdjson::dom::parser& parser, const std::string& json,
                    simdjson::dom::array& results);

// The field of an object; an error when absent or when `object` is none.
Field field(Element object, const char* key);
// The field as an array; false when absent or of another type.
bool array_field(Element object, const char* key, simdjson::dom::array& array);
// The field as raw UTF-8; "" unless it is a string.
std::string raw_text(Element object, const char* key);
// The field as program text: UTF-8 turned into the code page with the
// platform's full decoder (what the code page lacks is carried as an escape,
// so no character is lost), control characters as blanks, ends trimmed.
std::string text(Element object, const char* key);
// The same for a string value itself.
std::string program_text(std::string_view utf8);
// A string field or a number field as decimal digits ("" for anything else).
std::string id_text(Element object, const char* key);
// An integer field, or `otherwise`.
int64_t integer(Element object, const char* key, int64_t otherwise);

}  // namespace api_json
