#include "mesh/no_lid.h"

#include <cstring>

#include "files/data_file.h"

bool isMarkedNoLid(const char* path) {
  std::string reason;
  const FileHandle file = openDataStream(path, reason);
  if (!file) return false;
  constexpr size_t kLength = sizeof(kNoLidMarker) - 1;
  char start[kLength + 1] = {};
  const size_t read = std::fread(start, 1, sizeof(start), file.get());
  if (read < kLength || std::memcmp(start, kNoLidMarker, kLength) != 0) return false;
  return read == kLength || start[kLength] == '\n';
}

std::string noLidText() { return std::string(kNoLidMarker) + "\n"; }
