#include "app/batch/batch_options.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/batch/batch_run.h"
#include "app/lookup/api_source.h"
#include "output/journal/batch_record.h"
#include "platform/codepage.h"
#include "platform/command_line.h"
#include "platform/files/folders.h"

namespace {

const char kUsage[] = "Usage: plinth --batch [--dry-run] FOLDER...\n";

int usage_error(const std::string& text) {
  std::fprintf(stderr, "plinth: %s\n%sTry 'plinth --help'.\n", text.c_str(), kUsage);
  return 2;
}

int undo_batch() {
  const UndoReport report = undo_last_batch();
  for (const std::string& line : report.lines) {
    std::printf("%s\n", platform::to_utf8(line).c_str());
  }
  return report.complete ? 0 : 1;
}

int batch(const std::vector<std::string>& arguments, const char* program) {
  BatchOptions options;
  bool options_end = false;
  std::vector<std::string> folders;
  for (const std::string& argument : arguments) {
    if (!options_end && argument == "--") {
      options_end = true;
    } else if (!options_end && argument == "--batch") {
      continue;
    } else if (!options_end && argument == "--dry-run") {
      options.dry_run = true;
    } else if (!options_end && !argument.empty() && argument[0] == '-') {
      return usage_error("unknown option '" + argument + "' for --batch");
    } else {
      folders.push_back(argument);
    }
  }
  if (folders.empty()) return usage_error("--batch needs the folders to go through");
  // Every path is made absolute before any folder is entered.
  for (const std::string& folder : folders) {
    const char* const argv[] = {program, folder.c_str()};
    options.roots.push_back(platform::folder_argument(2, argv));
  }
  for (size_t i = 0; i < options.roots.size(); ++i) {
    if (!platform::set_current_folder(options.roots[i])) {
      return usage_error("there is no folder '" + folders[i] + "'");
    }
  }
  std::string refusal;
  if (api_config_from_environment(refusal).token.empty()) {
    if (!refusal.empty()) {
      std::fprintf(stderr, "plinth: %s\n", platform::to_utf8(refusal).c_str());
      return 2;
    }
    std::fprintf(stderr,
                 "plinth: --batch looks releases up through the database's API, which needs a "
                 "personal access token.\nGet one at https://www.discogs.com/settings/developers "
                 "(\"Generate new token\") and set it in the environment variable DISCOGS_TOKEN, "
                 "or store it in %s (the Database Token... item of the wizard's menu does that).\n",
                 platform::to_utf8(token_file_path()).c_str());
    return 2;
  }
  return run_batch(options);
}

}  // namespace

bool run_batch_option(int argc, const char* const* argv, int& status) {
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  bool named = false;
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    if (argument == "--batch") named = true;
  }
  if (!named || arguments.empty() || arguments[0].compare(0, 2, "--") != 0) return false;
  if (arguments[0] == "--undo") {
    status = arguments.size() == 2 ? undo_batch()
                                   : usage_error(
                                         "--undo --batch takes no folder: it takes the "
                                         "last library run back");
    return true;
  }
  if (arguments[0] != "--batch" && arguments[0] != "--dry-run") return false;
  status = batch(arguments, argv[0]);
  return true;
}
