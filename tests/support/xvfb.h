// A private X server for tests that need a display.
#pragma once

#include <sys/types.h>

#include <string>

struct _XDisplay;  // Xlib's Display, without Xlib's macros in every test

namespace support {

// Starts Xvfb on a display number it picks itself (so parallel tests never
// collide) and stops it when destroyed; the server also dies with the test
// process, so a crashed test leaves no server behind. Once started, the
// server is connected to and the connection stays open for its life: the
// server never sees its last client leave, and whatever a test starts next
// meets a server that is known to accept clients.
class Xvfb {
 public:
  Xvfb();
  ~Xvfb();
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  // ":N", ready for DISPLAY.
  const std::string& display() const { return display_; }
  // The test's own connection to the server.
  _XDisplay* connection() const { return connection_; }

 private:
  void stop();

  pid_t pid_ = -1;
  std::string display_;
  _XDisplay* connection_ = nullptr;
};

}  // namespace support
