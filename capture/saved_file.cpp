// Files that appear whole or not at all: the bytes go to a hidden temporary
// file beside the final one, are synced, and only then get their name.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "capture/capture.h"

namespace {

// Names tried before giving up on a folder full of same-second captures.
constexpr int kMostNumbers = 10000;

std::string reason(int error) { return std::strerror(error); }

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A hidden file of this process's own in `folder`, removed again unless
// it was given its final name.
class TemporaryFile {
 public:
  TemporaryFile(const std::string& folder, const std::string& failure) : failure_(failure) {
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      path_ = folder + "/.lighter-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) +
              ".part";
      // Created anew, never one that exists; the umask sets its mode.
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) fail(errno);
  }
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // Writes all of `bytes` and syncs them to the disk, then closes the file.
  void write(const std::vector<std::uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) fail(n < 0 ? errno : ENOSPC);
      done += static_cast<size_t>(n);
    }
    if (::fsync(fd_) != 0) fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail(errno);
  }

  const std::string& path() const { return path_; }
  // The file has its final name: nothing to remove.
  void keep() { path_.clear(); }
  [[noreturn]] void fail(int error) const { throw CaptureError(failure_ + ": " + reason(error)); }

 private:
  std::string failure_;
  std::string path_;
  int fd_ = -1;
};

// Gives the temporary file the name `to` unless that exists: false then.
bool nameWithoutReplacing(TemporaryFile& file, const std::string& to) {
  if (::renameat2(AT_FDCWD, file.path().c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    file.keep();
    return true;
  }
  if (errno == EEXIST) return false;
  if (errno != EINVAL && errno != ENOSYS) file.fail(errno);
  // A file system without the flag: a hard link fails as well where the
  // name exists, and the temporary name goes with the temporary file.
  if (::link(file.path().c_str(), to.c_str()) == 0) return true;
  if (errno == EEXIST) return false;
  file.fail(errno);
}

// The new name survives a crash once the folder is synced too.
void syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

void checkFolder(const std::string& folder, const std::string& what) {
  const std::string failure = "cannot save " + what + " in " + folder;
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) throw CaptureError(failure + ": " + reason(errno));
  if (!S_ISDIR(info.st_mode)) throw CaptureError(failure + ": " + reason(ENOTDIR));
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    throw CaptureError(failure + ": " + reason(errno));
  }
}

std::string saveNumbered(const std::string& folder, const std::string& stem,
                         const std::string& extension, const std::vector<std::uint8_t>& bytes,
                         const std::string& what) {
  TemporaryFile file(folder, "cannot save " + what + " in " + folder);
  file.write(bytes);
  for (int n = 1; n <= kMostNumbers; ++n) {
    const std::string path = folder + "/" + numberedName(stem, n, extension);
    if (nameWithoutReplacing(file, path)) {
      syncFolder(folder);
      return path;
    }
  }
  file.fail(EEXIST);
}

void saveAs(const std::string& path, const std::vector<std::uint8_t>& bytes,
            const std::string& what) {
  const std::string folder = folderOf(path);
  TemporaryFile file(folder, "cannot save " + what + " as " + path);
  file.write(bytes);
  if (::rename(file.path().c_str(), path.c_str()) != 0) file.fail(errno);
  file.keep();
  syncFolder(folder);
}
