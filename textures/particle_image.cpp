// The headerless particle image: raw red-green-blue bytes, uploaded as read.
#include <cstdio>
#include <memory>

#include "textures/image.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

size_t readUpTo(const char* path, std::vector<unsigned char>& bytes) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
  return file ? std::fread(bytes.data(), 1, bytes.size(), file.get()) : 0;
}

}  // namespace

std::vector<unsigned char> readParticleImage(const char* path, std::ostream& out) {
  // Zero-filled, so whatever the file does not supply stays black; the flame
  // then still draws, only darker.
  std::vector<unsigned char> bytes(kParticleImageBytes, 0);
  const size_t got = readUpTo(path, bytes);
  if (got < bytes.size()) {
    out << "Could not read all " << bytes.size() << " bytes of " << path << " (got " << got
        << "); the rest is black\n";
  }
  return bytes;
}
