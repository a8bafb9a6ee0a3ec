#include "app/pages/menu_commands.h"

#include "app/pages/pages.h"
#include "app/settings/settings_file.h"
#include "model/run_state.h"
#include "platform/codepage.h"
#include "platform/dialogs/dialog.h"
#include "platform/dialogs/front_end.h"
#include "platform/files/installed_files.h"
#include "resources/dialog_templates.h"

std::string maker_address() { return PLINTH_MAKER_HOST; }

std::string help_page_address() { return "http://" + maker_address() + "/plinthhelp.html"; }

std::string help_location() {
  const std::string installed = platform::installed_doc_url("plinthhelp.html");
  return installed.empty() ? help_page_address() : installed;
}

namespace {

// The help page in the user's browser; when nothing opens it, a box says
// where it is, so that it can be opened by hand.
void open_help(platform::Window& page, const std::string& anchor) {
  if (platform::open_url(help_location() + anchor)) return;
  const std::string file = platform::installed_doc_file("plinthhelp.html");
  const std::string where =
      file.empty() ? "at\n" + help_page_address() : "the file\n" + platform::name_from_fs(file);
  platform::message_box(&page, "No program could open the help page. It is " + where, "Online Help",
                        platform::kBoxOk);
}

}  // namespace

std::string about_caption() { return "Plinth Duziva - " + maker_address(); }

std::string about_text() {
  return "Names and tags a folder of MP3 files from the Discogs web music database.\n"
         "Version " PLINTH_VERSION "\n" +
         maker_address();
}

void show_menu_state(platform::Window& page) { page.check_menu_item(kCmdToggleM3u, g_m3u); }

bool handle_menu_command(platform::Window& page, int command, const std::string& help_anchor) {
  switch (command) {
    case kCmdDirectory:
      platform::message_box(&page, g_run.folder_path, "Current Directory", platform::kBoxOk);
      return true;
    case kCmdAbout:
      platform::message_box(&page, about_text(), about_caption(), platform::kBoxOk);
      return true;
    case kCmdOnlineHelp:
      open_help(page, help_anchor);
      return true;
    case kCmdFilenames:
      // Not owned by the page, as the templates dialog has always been.
      dialog_box_param(kDialogNameConfiguration, nullptr, name_configuration_dialog, 0);
      return true;
    case kCmdToggleM3u:
      g_m3u = !g_m3u;
      show_menu_state(page);
      platform::message_box(&page,
                            g_m3u ? "M3U Playlist Generation on" : "M3U Playlist Generation off",
                            about_caption(), platform::kBoxOk);
      return true;
    case kCmdSaveSettings: {
      const std::string outcome = write_settings();
      if (!outcome.empty())
        platform::message_box(&page, outcome, "Save Settings", platform::kBoxOk);
      return true;
    }
    case kCmdDatabaseToken:
      dialog_box_param(kDialogDatabaseToken, nullptr, database_token_dialog, 0);
      return true;
  }
  return false;
}
