// Stand-ins for the screen, the sounds and the message box that record each request in order,
// so the rules can be played without a window.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace test_support {

struct Request {
  enum Kind { Refresh, Sound, Box } kind;
  std::string text;   // the sound's name, or the box's message
  std::string title;  // the box's title
  int32_t flags = 0;  // the sound's flags, or the box's style
  int32_t timeLimit = 0;

  bool operator==(const Request&) const = default;
};

void PrintTo(const Request& request, std::ostream* out);

// Short forms for expected sequences.
Request refresh();
Request sound(std::string name);
Request box(std::string message, std::string title);

struct RequestLog {
  std::vector<Request> requests;
  std::function<void()> onRequest;  // runs at each request, after it is recorded
};

extern RequestLog requestLog;

// Appends a request to the log, then runs its hook.
void record(Request request);

}  // namespace test_support
