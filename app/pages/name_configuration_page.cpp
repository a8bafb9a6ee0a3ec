// The small dialog that edits the three output name templates.
#include "app/pages/pages.h"
#include "app/settings/settings_file.h"
#include "output/names/name_templates.h"
#include "platform/dialogs/dialog.h"
#include "platform/dialogs/front_end.h"
#include "resources/dialog_templates.h"

namespace {

const char kTemplateHelp[] =
    "/1 = Release Artist\n/2 = Release Title\n/3 = Label\n/4 = Catalouge Number\n"
    "/5 = Release Date\n/6 = Track Artist\n/7 = Track Name\n/8 = Track Number\n/9 = Style";

// At most 255 characters, as the field's buffer holds.
std::string field_text(platform::Window& dialog, int id) {
  char text[256];
  dialog.get_item_text(id, text, sizeof text);
  return text;
}

// A template that leaves no name would hide the file behind a bare
// extension, and every track would collide with the first.
bool templates_usable(platform::Window& dialog) {
  const struct {
    int id;
    const char* what;
  } kNamed[] = {{kIdTrackFormat, "track"}, {kIdPlaylistFormat, "playlist"}};
  for (const auto& named : kNamed) {
    if (template_names_something(field_text(dialog, named.id))) continue;
    platform::message_box(&dialog,
                          std::string("The ") + named.what +
                              " template gives an empty file name. Please enter a template "
                              "such as /8 - /6 - /7 (see Help).",
                          "Filenames", platform::kBoxOk | platform::kBoxIconWarning);
    return false;
  }
  return true;
}

}  // namespace

bool name_configuration_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam,
                               intptr_t) {
  switch (message) {
    case platform::kWmInitDialog:
      dialog.set_item_text(kIdDirectoryFormat, g_dirf);
      dialog.set_item_text(kIdPlaylistFormat, g_m3uf);
      dialog.set_item_text(kIdTrackFormat, g_tf);
      return true;
    case platform::kWmCommand:
      switch (platform::low_word(wparam)) {
        case kIdNext:
          if (!templates_usable(dialog)) return true;
          g_dirf = field_text(dialog, kIdDirectoryFormat);
          g_m3uf = field_text(dialog, kIdPlaylistFormat);
          g_tf = field_text(dialog, kIdTrackFormat);
          dialog.end(0);
          return true;
        case platform::kIdCancel:
          dialog.end(0);
          return true;
        case kIdNamesHelp:
          platform::message_box(&dialog, kTemplateHelp, "Help", platform::kBoxOk);
          return true;
      }
      return false;
    case platform::kWmClose:
      dialog.end(0);
      return true;
  }
  return false;
}
