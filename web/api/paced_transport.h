#pragma once
// The API's requests of a long run, kept within the rate limit the answers
// announce (see request_pacer.h): each waits, where it must, until it may
// go. Counts the requests it lets through.
#include <string>

#include "web/api/api_database.h"
#include "web/api/request_pacer.h"

class PacedTransport : public ApiTransport {
 public:
  // Unpaced, the requests go at once: for measuring the program's own work.
  PacedTransport(ApiTransport& inner, bool paced) : inner_(inner), paced_(paced) {}

  ApiResponse get(const std::string& path) override;
  int requests() const { return requests_; }

 private:
  ApiTransport& inner_;
  bool paced_;
  RequestPacer pacer_;
  int requests_ = 0;
};
