#include "lighter/termination_cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];
constexpr int kMaxDepth = 16;
// Entries that come back after a pass (a directory read while it shrinks
// can skip some) get this many more.
constexpr int kPasses = 3;

// What the handler reads. The path is written only while no directory is
// armed, and armed only once it is complete.
char gDirectory[PATH_MAX];
volatile sig_atomic_t gArmed = 0;
volatile sig_atomic_t gImporter = 0;
struct sigaction gPrevious[kSignalCount];
bool gInstalled[kSignalCount] = {};

void onTermination(int signal) {
  const int savedErrno = errno;
  const pid_t importer = gImporter;
  if (importer > 0) {
    // It puts its own output in order first, then ends.
    ::kill(importer, signal);
    while (::waitpid(importer, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  if (gArmed) removeTreeSignalSafe(gDirectory);
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  // Delivered once the handler returns, when the signal is unblocked again.
  ::raise(signal);
  errno = savedErrno;
}

bool isDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool removeAt(int parent, const char* name, int depth);

// Removes what the directory `fd` holds, in one pass over it.
bool removeEntries(int fd, int depth) {
  alignas(struct dirent64) char buffer[2048];
  bool removedAll = true;
  for (;;) {
    const ssize_t got = ::getdents64(fd, buffer, sizeof buffer);
    if (got <= 0) return got == 0 && removedAll;
    for (ssize_t at = 0; at < got;) {
      const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
      at += entry->d_reclen;
      if (!isDotOrDotDot(entry->d_name)) {
        removedAll = removeAt(fd, entry->d_name, depth) && removedAll;
      }
    }
  }
}

bool removeAt(int parent, const char* name, int depth) {
  if (::unlinkat(parent, name, 0) == 0 || errno == ENOENT) return true;
  if ((errno != EISDIR && errno != EPERM) || depth >= kMaxDepth) return false;
  const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  bool removed = false;
  for (int pass = 0; pass < kPasses; ++pass) {
    ::lseek(fd, 0, SEEK_SET);
    const bool emptied = removeEntries(fd, depth + 1);
    removed = ::unlinkat(parent, name, AT_REMOVEDIR) == 0 || errno == ENOENT;
    // Another pass only for what the last one did not see.
    if (removed || !emptied || errno != ENOTEMPTY) break;
  }
  ::close(fd);
  return removed;
}

}  // namespace

sigset_t terminationSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kSignals) sigaddset(&set, signal);
  return set;
}

void removeOnTermination(const std::string& dir) {
  gArmed = 0;
  if (dir.size() >= sizeof gDirectory) return;  // mkdtemp made it; it cannot be this long
  std::memcpy(gDirectory, dir.c_str(), dir.size() + 1);
  for (int i = 0; i < kSignalCount; ++i) {
    if (gInstalled[i]) continue;
    struct sigaction previous {};
    ::sigaction(kSignals[i], nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) continue;  // as the program was started
    struct sigaction handler {};
    handler.sa_handler = onTermination;
    handler.sa_mask = terminationSignals();
    handler.sa_flags = SA_RESTART;
    ::sigaction(kSignals[i], &handler, &gPrevious[i]);
    gInstalled[i] = true;
  }
  gArmed = 1;
}

void keepOnTermination() {
  gArmed = 0;
  for (int i = 0; i < kSignalCount; ++i) {
    if (gInstalled[i]) ::sigaction(kSignals[i], &gPrevious[i], nullptr);
    gInstalled[i] = false;
  }
}

void setImporterProcess(pid_t pid) { gImporter = pid; }

bool removeTreeSignalSafe(const char* path) { return removeAt(AT_FDCWD, path, 0); }
