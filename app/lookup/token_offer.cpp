#include "app/lookup/token_offer.h"

#include <cstdlib>

#include "app/lookup/api_source.h"
#include "app/pages/pages.h"
#include "model/run_state.h"
#include "platform/dialogs/front_end.h"
#include "resources/dialog_templates.h"

namespace {

bool token_from_environment() {
  const char* value = std::getenv("DISCOGS_TOKEN");
  return value != nullptr && !trimmed_token(value).empty();
}

}  // namespace

bool offer_new_token(platform::Window* owner, const std::string& why) {
  // The environment wins over the token page, which therefore cannot help.
  if (token_from_environment()) {
    platform::message_box(owner,
                          why +
                              " The token comes from the environment variable DISCOGS_TOKEN, "
                              "which wins over one set in the program: change or unset it, then "
                              "start the program again.",
                          "Error!", platform::kBoxOk | platform::kBoxIconWarning);
    return false;
  }
  const int answer = platform::message_box(
      owner,
      why +
          " Set a personal access token now? Get one from the database's developer settings "
          "(https://www.discogs.com/settings/developers); it is kept in " +
          token_file_path() + ".",
      "Error!", platform::kBoxYesNo | platform::kBoxIconWarning);
  if (answer != platform::kAnswerYes) return false;
  const std::string before = g_run.api.token;
  dialog_box_param(kDialogDatabaseToken, owner, database_token_dialog, 0);
  return !g_run.api.token.empty() && g_run.api.token != before;
}
