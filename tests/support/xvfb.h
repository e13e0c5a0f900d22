// A private X server for tests that need a display.
#pragma once

#include <sys/types.h>

#include <string>

namespace support {

// Starts Xvfb on a display number it picks itself (so parallel tests never
// collide) and stops it when destroyed; the server also dies with the test
// process, so a crashed test leaves no server behind.
class Xvfb {
 public:
  Xvfb();
  ~Xvfb();
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  // ":N", ready for DISPLAY.
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace support
