// Running helper programs and the program under test from a test.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace support {

using Seconds = std::chrono::duration<double>;

// Runs argv to its end and returns its standard output; `status` gets the
// exit status (or -1 when it could not run). Standard error is discarded.
std::string run(const std::vector<std::string>& argv, int* status = nullptr);

// A child process whose standard output goes to a file. The destructor kills
// it if it still runs, so a failing test leaves nothing behind.
class Child {
 public:
  // Starts argv in `workdir` with `env` added to this process's environment.
  // Standard error goes to `stderrPath` when given, else where ours goes.
  Child(const std::vector<std::string>& argv, const std::string& workdir,
        const std::vector<std::string>& env, const std::string& stdoutPath,
        const std::string& stderrPath = "");
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t pid() const { return pid_; }
  // Exit status once the child has ended by itself; nullopt on timeout.
  // A child ended by a signal reports 128 + the signal number.
  std::optional<int> waitForExit(Seconds timeout);
  bool running();
  void kill();

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

// Polls `condition` until it holds or the timeout passes.
template <typename Condition>
bool waitUntil(Condition condition, Seconds timeout,
               Seconds interval = std::chrono::milliseconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(interval);
  }
  return true;
}

std::string readFile(const std::string& path);

}  // namespace support
