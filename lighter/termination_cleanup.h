// What SIGTERM, SIGINT and SIGHUP must not leave behind: the directory an
// import writes into, or the temporary import a run uses. While a directory
// is armed, such a signal ends the importer the program waits for, removes
// the directory and then ends the program by the signal's default action, so
// its exit status says what ended it. A signal the program was started
// ignoring stays ignored. Everything the handler does is async-signal-safe.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>

// The signals handled, for blocking them around the start of the importer.
sigset_t terminationSignals();

// Arms `dir` (an absolute path) for removal, installing the handlers.
void removeOnTermination(const std::string& dir);

// Disarms: the directory is gone or has become a cache entry. The handlers
// the program had before are back.
void keepOnTermination();

// The importer the program now waits for, or 0 for none. Set with
// terminationSignals() blocked, so that no signal falls between its start
// and this.
void setImporterProcess(pid_t pid);

// Removes `path` and everything under it (depth at most 16) through system
// calls alone, as a signal handler may; true when nothing of it is left.
bool removeTreeSignalSafe(const char* path);

// Arms a directory for as long as the object lives, unless kept armed.
class TerminationCleanup {
 public:
  TerminationCleanup() = default;
  ~TerminationCleanup() {
    if (armed_) keepOnTermination();
  }
  TerminationCleanup(const TerminationCleanup&) = delete;
  TerminationCleanup& operator=(const TerminationCleanup&) = delete;
  void arm(const std::string& dir) {
    removeOnTermination(dir);
    armed_ = true;
  }
  // The directory stays armed for the rest of the run.
  void keepArmed() { armed_ = false; }

 private:
  bool armed_ = false;
};
