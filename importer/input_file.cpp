#include "importer/input_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "importer/records.h"

namespace importer {

FileHandle openInput(const std::string& path, const std::string& kind) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    throw ImportError(path + ": is a directory, not " + kind);
  }
  const DataFile file = openDataFile(path.c_str());
  if (file.fd < 0) {
    throw ImportError(path + (file.refused ? ": is " : ": cannot open it: ") + file.reason);
  }
  FileHandle stream(::fdopen(file.fd, "rb"));
  if (!stream) {
    const std::string reason = std::strerror(errno);
    ::close(file.fd);
    throw ImportError(path + ": cannot open it: " + reason);
  }
  return stream;
}

}  // namespace importer
