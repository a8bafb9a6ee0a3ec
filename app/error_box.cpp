#include "app/error_box.h"

#include "platform/front_end.h"

int error_box(const std::string& text, platform::Window* owner) {
  return platform::message_box(owner, text, "Error!", platform::kBoxOk | platform::kBoxIconWarning);
}

namespace {

std::string size_text(size_t bytes) {
  constexpr size_t kMegabyte = 1024 * 1024;
  if (bytes >= kMegabyte && bytes % kMegabyte == 0)
    return std::to_string(bytes / kMegabyte) + " MB";
  return std::to_string(bytes) + " bytes";
}

std::string with_reason(const HttpFailure& failure) {
  return failure.reason.empty() ? "." : " (" + failure.reason + ").";
}

}  // namespace

std::string http_failure_text(const HttpFailure& failure, const std::string& what) {
  const std::string answer = "The answer for " + what + " from " + failure.host;
  switch (failure.kind) {
    case HttpFailure::kTimedOut:
      return answer + " took longer than " + std::to_string(failure.seconds) +
             (failure.seconds == 1 ? " second." : " seconds.");
    case HttpFailure::kCutOff:
      return answer + " was cut off" + with_reason(failure);
    case HttpFailure::kTooLarge:
      return answer + " was larger than " + size_text(failure.bytes) + ".";
    case HttpFailure::kNoConnection:
    case HttpFailure::kNone:
      break;
  }
  std::string text = "Could not connect to web server";
  if (failure.host.empty() && failure.reason.empty()) return text;
  text += " (" + failure.host;
  if (!failure.host.empty() && !failure.reason.empty()) text += ": ";
  return text + failure.reason + ")";
}
