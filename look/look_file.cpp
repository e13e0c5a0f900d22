#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "files/data_file.h"
#include "look/look.h"

namespace {

// Sidecars hold a few numbers per vertex; anything far larger than the
// largest mesh is not one, and is not read into memory.
constexpr size_t kMostBytes = size_t{1} << 30;

bool readAll(int fd, std::vector<unsigned char>& bytes, std::string& why) {
  unsigned char chunk[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      why = std::strerror(errno);
      return false;
    }
    if (bytes.size() + static_cast<size_t>(got) > kMostBytes) {
      why = "too large";
      return false;
    }
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
}

}  // namespace

std::optional<MeshLook> readLookFile(const char* path, size_t vertexCount, std::string& why) {
  why.clear();
  struct stat info {};
  if (::stat(path, &info) != 0 && errno == ENOENT) return std::nullopt;  // the usual case
  DataFile file = openDataFile(path);
  if (file.fd < 0) {
    why = file.reason;
    return std::nullopt;
  }
  std::vector<unsigned char> bytes;
  const bool read = readAll(file.fd, bytes, why);
  ::close(file.fd);
  if (!read) return std::nullopt;
  return decodeLook(bytes.data(), bytes.size(), vertexCount, why);
}
