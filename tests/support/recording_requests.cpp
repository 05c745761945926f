// The recording stand-ins for playSound and messageBox, and the log every stand-in writes to.
#include "tests/support/recording_requests.h"

#include <utility>

#include "runtime/media/message_box.h"
#include "runtime/media/sound.h"

namespace test_support {

RequestLog requestLog;

Request refresh() {
  return {Request::Refresh, "", "", 0, 0};
}
Request sound(std::string name) {
  return {Request::Sound, std::move(name), "", 3, 0};
}
Request box(std::string message, std::string title) {
  return {Request::Box, std::move(message), std::move(title), 0, 0};
}

void PrintTo(const Request& request, std::ostream* out) {
  static const char* const kinds[] = {"refresh", "sound", "box"};
  *out << kinds[request.kind];
  if (request.kind != Request::Refresh) *out << " \"" << request.text << "\" " << request.flags;
  if (request.kind == Request::Box) *out << " \"" << request.title << "\"";
}

void record(Request request) {
  requestLog.requests.push_back(std::move(request));
  if (requestLog.onRequest) requestLog.onRequest();
}

}  // namespace test_support

namespace runtime {

void playSound(const ByteString& name, int32_t flags, int32_t timeLimit) {
  test_support::record({test_support::Request::Sound, std::string(name.view()), "", flags, timeLimit});
}

namespace {

int32_t openBoxes = 0;

}  // namespace

// The box counts as open while its request's hook runs, as a real box is while its loop runs.
int32_t messageBox(const ByteString& message, const ByteString& title, int32_t style) {
  ++openBoxes;
  test_support::record(
      {test_support::Request::Box, std::string(message.view()), std::string(title.view()), style, 0});
  --openBoxes;
  return 1;  // OK
}

int32_t openMessageBoxCount() {
  return openBoxes;
}

void wakeMessageBoxLoops() {}

}  // namespace runtime
