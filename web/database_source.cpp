#include "web/database_source.h"

LookupError lookup_error_of(const HttpFailure& failure, const std::string& what) {
  LookupError error;
  error.what = what;
  error.host = failure.host;
  error.reason = failure.reason;
  error.seconds = failure.seconds;
  error.bytes = failure.bytes;
  switch (failure.kind) {
    case HttpFailure::kTimedOut:
      error.kind = LookupFailure::kTimedOut;
      break;
    case HttpFailure::kCutOff:
      error.kind = LookupFailure::kCutOff;
      break;
    case HttpFailure::kTooLarge:
      error.kind = LookupFailure::kTooLarge;
      break;
    case HttpFailure::kCancelled:
      error.kind = LookupFailure::kCancelled;
      break;
    case HttpFailure::kNone:
    case HttpFailure::kNoConnection:
      error.kind = LookupFailure::kNoConnection;
      break;
  }
  return error;
}
