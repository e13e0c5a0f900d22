// The cache's size limit: how LIGHTER_CACHE_LIMIT reads, and which entries
// go to keep the cache within it. Plain values: no files here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The limit without LIGHTER_CACHE_LIMIT (or with it empty), in MiB.
inline constexpr uint64_t kDefaultCacheLimitMiB = 1024;

// LIGHTER_CACHE_LIMIT's value in bytes: a whole number of MiB in decimal
// digits, nothing else around them; unset or empty is the default. A number
// too large for a count of bytes is as good as no limit (the largest count).
// 0 means no cache kept. Nothing for any other text.
std::optional<uint64_t> parseCacheLimit(const char* value);

// What the limit needs to know of an entry already in the cache.
struct CachedEntry {
  std::string name;
  uint64_t bytes = 0;    // its files' sizes together
  int64_t lastUsed = 0;  // when it was last opened, in nanoseconds of any one clock
};

// The entries to remove, least recently used first, so that they and a new
// entry of `newBytes` fit in `limitBytes` together; all of them when the new
// one alone is larger, since the one being opened is never removed. Of
// entries used at the same time, the name decides, so the choice is always
// the same.
std::vector<std::string> entriesToRemove(std::vector<CachedEntry> entries, uint64_t newBytes,
                                         uint64_t limitBytes);
