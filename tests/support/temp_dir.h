// Temporary directories that remove themselves.
#pragma once

#include <string>

namespace support {

// A fresh directory /tmp/PREFIX-XXXXXX, removed with everything in it when the
// object goes, so that a test leaves nothing behind whichever way it ends.
// Movable, so that a function can make one and hand it out.
class TempDir {
 public:
  explicit TempDir(const std::string& prefix);
  ~TempDir();
  TempDir(TempDir&& other) noexcept;
  TempDir& operator=(TempDir&& other) noexcept;
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }

 private:
  void remove() noexcept;
  std::string path_;  // empty once moved from
};

}  // namespace support
