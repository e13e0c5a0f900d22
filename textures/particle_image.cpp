// The headerless particle image: raw red-green-blue bytes, uploaded as read.
#include <string>

#include "files/data_file.h"
#include "textures/image.h"

namespace {

size_t readUpTo(const char* path, std::vector<unsigned char>& bytes, std::ostream& err) {
  std::string reason;
  const FileHandle file = openDataStream(path, reason);
  if (!file) {
    err << path << ": " << reason << "\n";
    return 0;
  }
  return std::fread(bytes.data(), 1, bytes.size(), file.get());
}

}  // namespace

std::vector<unsigned char> readParticleImage(const char* path, std::ostream& out,
                                             std::ostream& err) {
  // Zero-filled, so whatever the file does not supply stays black; the flame
  // then still draws, only darker.
  std::vector<unsigned char> bytes(kParticleImageBytes, 0);
  const size_t got = readUpTo(path, bytes, err);
  if (got < bytes.size()) {
    out << "Could not read all " << bytes.size() << " bytes of " << path << " (got " << got
        << "); the rest is black\n";
  }
  return bytes;
}
