#include "lighter/cache_limit.h"

#include <algorithm>
#include <limits>

namespace {

constexpr uint64_t kMaxBytes = std::numeric_limits<uint64_t>::max();

}  // namespace

std::optional<uint64_t> parseCacheLimit(const char* value) {
  if (value == nullptr || value[0] == '\0') return kDefaultCacheLimitMiB << 20;
  uint64_t mib = 0;
  bool saturated = false;
  for (const char* c = value; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return std::nullopt;
    const auto digit = static_cast<uint64_t>(*c - '0');
    if (mib > (kMaxBytes - digit) / 10) saturated = true;
    if (!saturated) mib = mib * 10 + digit;
  }
  if (saturated || mib > (kMaxBytes >> 20)) return kMaxBytes;
  return mib << 20;
}

std::vector<std::string> entriesToRemove(std::vector<CachedEntry> entries, uint64_t newBytes,
                                         uint64_t limitBytes) {
  // Wide enough for any number of entries of any size a file system reports.
  unsigned __int128 total = newBytes;
  for (const CachedEntry& e : entries) total += e.bytes;
  std::sort(entries.begin(), entries.end(), [](const CachedEntry& a, const CachedEntry& b) {
    return a.lastUsed != b.lastUsed ? a.lastUsed < b.lastUsed : a.name < b.name;
  });
  std::vector<std::string> removed;
  for (const CachedEntry& e : entries) {
    if (total <= limitBytes) break;
    removed.push_back(e.name);
    total -= e.bytes;
  }
  return removed;
}
