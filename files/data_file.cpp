#include "files/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Why a file of this kind is not read; empty for a regular file.
std::string refusal(mode_t mode) {
  if (S_ISREG(mode)) return "";
  if (S_ISDIR(mode)) return std::strerror(EISDIR);
  if (S_ISFIFO(mode)) return "not a regular file (a FIFO)";
  if (S_ISCHR(mode)) return "not a regular file (a character device)";
  if (S_ISBLK(mode)) return "not a regular file (a block device)";
  if (S_ISSOCK(mode)) return "not a regular file (a socket)";
  return "not a regular file";
}

}  // namespace

DataFile openDataFile(const char* path) {
  DataFile file;
  // O_NONBLOCK only for the open; it is cleared again before any read.
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    file.reason = std::strerror(errno);
    return file;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    file.reason = std::strerror(errno);
  } else {
    file.reason = refusal(info.st_mode);
    file.refused = !file.reason.empty();
  }
  if (file.reason.empty() && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    file.reason = std::strerror(errno);
  }
  if (!file.reason.empty()) {
    ::close(fd);
    return file;
  }
  file.fd = fd;
  return file;
}

FileHandle openDataStream(const char* path, std::string& reason) {
  DataFile file = openDataFile(path);
  if (file.fd < 0) {
    reason = file.reason;
    return nullptr;
  }
  FileHandle stream(::fdopen(file.fd, "rb"));
  if (!stream) {
    reason = std::strerror(errno);
    ::close(file.fd);
  }
  return stream;
}
