#include "platform/term/page_commands.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/codepage.h"
#include "platform/term/page_view.h"
#include "platform/term/term_text.h"

namespace platform {
namespace term {
namespace {

struct Pressable {
  std::string key;  // command_key of its text
  int id;
};

std::vector<Pressable> pressables(const Window& page) {
  std::vector<Pressable> out;
  for (const Control& c : page.controls()) {
    if (c.is_button()) out.push_back({command_key(c.text), c.id});
  }
  if (page.menu() != nullptr) {
    for (const MenuPopup& popup : page.menu()->popups) {
      for (const MenuItem& item : popup.items)
        out.push_back({command_key(item.text), item.command});
    }
  }
  // The item keeps its spelling, but the word people type is taken too.
  for (size_t i = 0, n = out.size(); i < n; ++i) {
    if (out[i].key == "toggelm3u") out.push_back({"togglem3u", out[i].id});
  }
  return out;
}

// "Next >>" -> "next", "Toggel M3U" -> "toggel m3u": what a person types.
std::string spoken(const std::string& text) {
  std::string words;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80 && std::isalnum(u)) {
      words += static_cast<char>(std::tolower(u));
    } else if (!words.empty() && words.back() != ' ') {
      words += ' ';
    }
  }
  if (!words.empty() && words.back() == ' ') words.pop_back();
  return words;
}

bool starts_with(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// True when key names the label: the whole label or a prefix of one of its
// words (letters and digits only, case ignored).
bool names_label(const std::string& key, const std::string& label) {
  if (key.empty()) return false;
  if (starts_with(command_key(label), key)) return true;
  std::string word;
  for (size_t i = 0; i <= label.size(); ++i) {
    if (i == label.size() || label[i] == ' ') {
      if (starts_with(command_key(word), key)) return true;
      word.clear();
    } else {
      word += label[i];
    }
  }
  return false;
}

// The only control of that kind whose label the key names; nullptr when
// none or several do.
const Control* named_control(const Window& page, const std::string& key, bool lists) {
  const Control* found = nullptr;
  for (const Control& c : page.controls()) {
    if (lists ? !c.is_list() : !c.is_edit()) continue;
    std::string label = control_label(page, c);
    if (label.empty() && !lists) label = "Text";
    if (!names_label(key, label)) continue;
    if (found != nullptr) return nullptr;
    found = &c;
  }
  return found;
}

bool all_digits(const std::string& text) {
  if (text.empty() || text.size() > 6) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

PageCommand hint(const Window& page, const std::string& why) {
  PageCommand command;
  command.text = (why.empty() ? "" : why + " ") + command_hint(page);
  return command;
}

PageCommand select(const Window& page, const Control& list, int number) {
  const std::string label = control_label(page, list);
  const std::string name = label.empty() ? "The list" : to_utf8(label);
  if ((list.style & kStyleNoSelection) != 0) return hint(page, name + " lines cannot be selected.");
  if (number < 1 || number > static_cast<int>(list.lines.size()))
    return hint(page, name + " has no line " + std::to_string(number) + ".");
  PageCommand command;
  command.kind = PageCommand::kSelect;
  command.id = list.id;
  command.index = number - 1;
  return command;
}

// What follows "=": one blank after it is only the separator.
std::string text_after_equals(const std::string& line, size_t equals) {
  std::string text = line.substr(equals + 1);
  if (!text.empty() && text[0] == ' ') text.erase(0, 1);
  return text;
}

PageCommand set_text(const Control& edit, const std::string& utf8) {
  PageCommand command;
  command.kind = PageCommand::kSetText;
  command.id = edit.id;
  command.text = text_from_utf8(utf8);
  return command;
}

}  // namespace

PageCommand parse_page_command(const Window& page, const std::string& line) {
  const std::string trimmed = trim_blanks(line);
  PageCommand command;
  if (trimmed.empty()) {
    const Control* def = page.default_button();
    if (def == nullptr) return hint(page, "");
    command.kind = PageCommand::kPress;
    command.id = def->id;
    return command;
  }

  const size_t equals = line.find('=');
  if (equals != std::string::npos) {
    const std::string key = command_key(line.substr(0, equals));
    if (trim_blanks(line.substr(0, equals)).empty()) {
      for (const Control& c : page.controls()) {
        if (c.is_edit()) return set_text(c, text_after_equals(line, equals));
      }
      return hint(page, "This page has no text field.");
    }
    if (const Control* edit = named_control(page, key, false))
      return set_text(*edit, text_after_equals(line, equals));
    return hint(page,
                "No single text field is called '" + trim_blanks(line.substr(0, equals)) + "'.");
  }

  const size_t last_blank = trimmed.rfind(' ');
  if (last_blank != std::string::npos && all_digits(trimmed.substr(last_blank + 1))) {
    const std::string key = command_key(trimmed.substr(0, last_blank));
    if (const Control* list = named_control(page, key, true))
      return select(page, *list, std::stoi(trimmed.substr(last_blank + 1)));
  }

  if (all_digits(trimmed)) {
    const Control* only = nullptr;
    int lists = 0;
    for (const Control& c : page.controls()) {
      if (c.is_list()) {
        only = &c;
        ++lists;
      }
    }
    if (lists == 1) return select(page, *only, std::stoi(trimmed));
    if (lists > 1) return hint(page, "Name the list first.");
    return hint(page, "This page has no list.");
  }

  const std::string key = command_key(trimmed);
  const std::vector<Pressable> all = pressables(page);
  // Every page answers "help": with its own Help button where it has one,
  // else with the list of its commands.
  const bool own_help =
      std::any_of(all.begin(), all.end(), [](const Pressable& p) { return p.key == "help"; });
  if ((key == "help" && !own_help) || trimmed == "?") {
    command.text = command_hint(page);
    return command;
  }
  const Pressable* found = nullptr;
  int prefixed = 0;
  for (const Pressable& p : all) {
    if (!key.empty() && p.key == key) {
      found = &p;
      prefixed = 1;
      break;
    }
    if (!key.empty() && starts_with(p.key, key) && (found == nullptr || found->id != p.id)) {
      found = &p;
      ++prefixed;
    }
  }
  if (found != nullptr && prefixed == 1) {
    command.kind = PageCommand::kPress;
    command.id = found->id;
    return command;
  }
  if (prefixed > 1) return hint(page, "'" + trimmed + "' could mean more than one command.");
  return hint(page, "Unknown command.");
}

std::vector<std::string> command_words(const Window& page) {
  std::vector<std::string> words;
  std::vector<std::string> labels;  // of the lists and fields, spoken
  for (const Control& c : page.controls()) {
    if (c.is_button()) words.push_back(spoken(c.text));
    if (c.is_list() || c.is_edit()) labels.push_back(spoken(control_label(page, c)));
  }
  // A list or field goes by the first word of its label that no other
  // label holds: "track" for "Output Track Format".
  size_t next_label = 0;
  for (const Control& c : page.controls()) {
    if (!c.is_list() && !c.is_edit()) continue;
    const std::string& label = labels[next_label++];
    std::string word;
    for (size_t begin = 0; begin < label.size() && word.empty();) {
      const size_t end = std::min(label.find(' ', begin), label.size());
      word = label.substr(begin, end - begin);
      for (const std::string& other : labels) {
        if (&other != &label && (" " + other + " ").find(" " + word + " ") != std::string::npos)
          word.clear();
      }
      begin = end + 1;
    }
    if (!word.empty()) words.push_back(c.is_edit() ? word + " =" : word);
  }
  if (page.menu() != nullptr) {
    for (const MenuPopup& popup : page.menu()->popups) {
      for (const MenuItem& item : popup.items) words.push_back(spoken(item.text));
    }
  }
  return words;
}

std::string command_hint(const Window& page) {
  std::string hint = "Commands:";
  int lists = 0;
  std::string list_examples;  // 'release N' or 'original N'
  bool edits = false;
  for (const Control& c : page.controls()) {
    if (c.is_list()) {
      ++lists;
      const std::string label = command_key(control_label(page, c));
      if ((c.style & kStyleNoSelection) == 0 && !label.empty())
        list_examples += (list_examples.empty() ? "'" : " or '") + label + " N'";
    }
    if (c.is_edit()) edits = true;
  }
  if (lists == 1) hint += " a line number;";
  if (lists > 1 && !list_examples.empty()) hint += " " + list_examples + " to select a line;";
  if (edits) hint += " '= text' (or 'name = text') to type;";
  std::string names;
  for (const Control& c : page.controls()) {
    if (c.is_button()) names += (names.empty() ? " " : ", ") + to_utf8(trim_blanks(c.text));
  }
  if (page.menu() != nullptr) {
    for (const MenuPopup& popup : page.menu()->popups) {
      for (const MenuItem& item : popup.items) names += ", " + to_utf8(item.text);
    }
  }
  hint += names + ";";
  const Control* def = page.default_button();
  if (def != nullptr) hint += " Enter for " + to_utf8(def->text) + ";";
  hint += " end of input closes the page.";
  return hint;
}

}  // namespace term
}  // namespace platform
