#include "tests/support/xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

// Last: X11 headers define macros that clash with other headers.
#include <X11/Xlib.h>

namespace support {
namespace {

// On a loaded machine a first connection to a freshly started server now and
// then fails; a few more tries, a moment apart, get through.
constexpr int kConnectAttempts = 10;
constexpr auto kConnectRetryWait = std::chrono::milliseconds(200);

}  // namespace

Xvfb::Xvfb() {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    close(fds[0]);
    int devnull = open("/dev/null", O_RDWR);
    dup2(devnull, STDOUT_FILENO);
    dup2(devnull, STDERR_FILENO);
    std::string fd = std::to_string(fds[1]);
    // A 24-bit screen: GLX needs it. -displayfd makes Xvfb choose a free
    // display number and write it to the pipe once it accepts clients.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
           "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  char c;
  while (poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) {
    stop();
    throw std::runtime_error("Xvfb did not start (is the xvfb package installed?)");
  }
  display_ = ":" + number;
  for (int attempt = 0; attempt < kConnectAttempts && !connection_; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(kConnectRetryWait);
    connection_ = XOpenDisplay(display_.c_str());
  }
  if (!connection_) {
    stop();
    throw std::runtime_error("cannot connect to the Xvfb on " + display_);
  }
}

Xvfb::~Xvfb() {
  if (connection_) XCloseDisplay(connection_);
  stop();
}

void Xvfb::stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
}

}  // namespace support
