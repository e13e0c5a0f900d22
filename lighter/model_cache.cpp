#include "lighter/model_cache.h"

#include <fcntl.h>
#include <nettle/sha2.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "files/data_file.h"

bool isModelFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string cacheRoot(const char* xdgCacheHome, const char* home) {
  if (xdgCacheHome != nullptr && xdgCacheHome[0] == '/')
    return std::string(xdgCacheHome) + "/lighter";
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/lighter";
  return "";
}

std::optional<std::string> descriptorDigest(int fd, std::string& reason) {
  sha256_ctx context;
  sha256_init(&context);
  std::vector<uint8_t> block(1 << 16);
  ssize_t got = 0;
  while ((got = ::read(fd, block.data(), block.size())) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      reason = std::strerror(errno);
      return std::nullopt;
    }
    sha256_update(&context, static_cast<size_t>(got), block.data());
  }
  uint8_t digest[SHA256_DIGEST_SIZE];
  sha256_digest(&context, sizeof(digest), digest);
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (uint8_t byte : digest) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 0xf];
  }
  return hex;
}

std::optional<std::string> fileDigest(const std::string& path, std::string& reason) {
  const DataFile file = openDataFile(path.c_str());
  if (file.fd < 0) {
    reason = file.reason;
    return std::nullopt;
  }
  std::optional<std::string> digest = descriptorDigest(file.fd, reason);
  ::close(file.fd);
  return digest;
}

std::string cacheEntryName(const std::string& digest) {
  return digest + "-lighter-import-" + LIGHTER_VERSION;
}

bool isCacheEntryName(const std::string& name) {
  static const std::string kSuffix = "-lighter-import-";
  constexpr size_t kDigits = 2 * SHA256_DIGEST_SIZE;
  if (name.size() <= kDigits + kSuffix.size() ||
      name.compare(kDigits, kSuffix.size(), kSuffix) != 0)
    return false;
  for (size_t i = 0; i < kDigits; ++i) {
    const char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}
