// The small dialog that stores the database token.
#include "app/lookup/api_source.h"
#include "app/lookup/database.h"
#include "app/pages/pages.h"
#include "model/run_state.h"
#include "platform/dialogs/dialog.h"
#include "platform/dialogs/front_end.h"
#include "platform/files/file_read.h"
#include "platform/files/moves.h"
#include "resources/dialog_templates.h"

namespace {

bool token_stored() {
  std::string stored;
  if (!platform::read_whole_file(token_file_path(), stored)) return false;
  return !trimmed_token(stored.substr(0, stored.find('\n'))).empty();
}

// The token is a secret: the field starts empty and a line says whether one
// is stored. Whether the user typed in the field tells an empty field that
// keeps the stored token from one that removes it.
bool g_token_typed = false;

void open_token_page(platform::Window& dialog) {
  g_token_typed = false;
  dialog.set_item_text(kIdContextLine, token_stored()
                                           ? "A token is stored. Type a new one to replace it, or "
                                             "empty the field to remove it."
                                           : "No token is stored.");
}

// Stores the field's token and tells where, or why not.
void store(platform::Window& dialog) {
  if (!g_token_typed) return;  // the stored token, if any, stays
  char text[1024];
  dialog.get_item_text(kIdTokenField, text, sizeof text);
  const std::string token = trimmed_token(text);
  const int error = store_api_token(token);
  std::string outcome;
  if (error != 0) {
    outcome = "Could not store the database token in " + token_file_path() + ": " +
              platform::error_text(error);
  } else if (token.empty()) {
    outcome = "The database token was removed from " + token_file_path() + ".";
  } else {
    outcome = "The database token was stored in " + token_file_path() + ".";
  }
  platform::message_box(&dialog, outcome, "Database Token", platform::kBoxOk);
  // The lookups still to come in this run use what is now in force.
  std::string refusal;
  choose_database(api_config_from_environment(refusal));
  if (!refusal.empty()) platform::message_box(&dialog, refusal, "Database Token", platform::kBoxOk);
}

}  // namespace

bool database_token_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam, intptr_t) {
  switch (message) {
    case platform::kWmInitDialog:
      open_token_page(dialog);
      return true;
    case platform::kWmCommand:
      switch (platform::low_word(wparam)) {
        case kIdTokenField:
          g_token_typed = g_token_typed || platform::high_word(wparam) == platform::kEditChange;
          return true;
        case kIdNext:
          store(dialog);
          dialog.end(0);
          return true;
        case platform::kIdCancel:
          dialog.end(0);
          return true;
      }
      return false;
    case platform::kWmClose:
      dialog.end(0);
      return true;
  }
  return false;
}
