#include "lighter/cache_lock.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr char kImportPrefix[] = ".import-";

int openDirectory(const std::string& path, int flags) {
  return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | flags);
}

// flock, waited on through interruptions; true once held.
bool lock(int fd, int operation) {
  int result = 0;
  while ((result = ::flock(fd, operation)) != 0 && errno == EINTR) {
  }
  return result == 0;
}

bool isImportDirectoryName(const std::string& name) {
  return name.compare(0, sizeof kImportPrefix - 1, kImportPrefix) == 0;
}

void removeQuietly(const fs::path& path) {
  std::error_code ignored;
  fs::remove_all(path, ignored);
}

}  // namespace

CacheLock::CacheLock(const fs::path& root) : fd_(openDirectory(root.string(), O_CLOEXEC)) {
  held_ = fd_ >= 0 && lock(fd_, LOCK_EX);
}

CacheLock::~CacheLock() {
  if (fd_ >= 0) ::close(fd_);  // drops the lock
}

ImportDirectory::ImportDirectory(const fs::path& root, const CacheLock& /*held by the caller*/) {
  std::string pattern = (root / (std::string(kImportPrefix) + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) return;
  // Without close-on-exec: the importer started meanwhile holds it too.
  fd_ = openDirectory(pattern, 0);
  if (fd_ >= 0) lock(fd_, LOCK_EX | LOCK_NB);
  path_ = std::move(pattern);
}

ImportDirectory::~ImportDirectory() {
  if (!path_.empty()) removeQuietly(path_);
  if (fd_ >= 0) ::close(fd_);  // only once it is gone: it was never dead meanwhile
}

bool ImportDirectory::take(const fs::path& from) const {
  return std::rename(from.c_str(), (fs::path(path_) / from.filename()).c_str()) == 0;
}

void removeDeadImports(const fs::path& root) {
  // Each dead one is locked here before it is removed, so that another
  // lighter searching at the same time leaves it alone.
  std::vector<std::pair<fs::path, int>> dead;
  {
    const CacheLock cacheLock(root);
    if (!cacheLock.held()) return;  // without locks, nothing tells live from dead
    std::error_code error;
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
      std::error_code ignored;
      if (!isImportDirectoryName(it->path().filename().string()) ||
          !fs::is_directory(it->symlink_status(ignored))) {
        continue;
      }
      const int fd = openDirectory(it->path().string(), O_CLOEXEC);
      if (fd < 0) continue;
      if (lock(fd, LOCK_EX | LOCK_NB)) {
        dead.emplace_back(it->path(), fd);
      } else {
        ::close(fd);  // live, or on a file system that cannot say
      }
    }
  }
  for (const auto& [path, fd] : dead) {
    removeQuietly(path);
    ::close(fd);
  }
}
