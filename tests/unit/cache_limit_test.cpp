// The cache's size limit on plain values: how LIGHTER_CACHE_LIMIT reads and
// which entries go.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "lighter/cache_limit.h"

namespace {

constexpr uint64_t kMiB = uint64_t{1} << 20;
constexpr uint64_t kAll = std::numeric_limits<uint64_t>::max();

TEST(CacheLimit, IsAWholeNumberOfMiBWithADefault) {
  EXPECT_EQ(parseCacheLimit(nullptr), 1024 * kMiB);
  EXPECT_EQ(parseCacheLimit(""), 1024 * kMiB);
  EXPECT_EQ(parseCacheLimit("0"), 0u);
  EXPECT_EQ(parseCacheLimit("1"), kMiB);
  EXPECT_EQ(parseCacheLimit("007"), 7 * kMiB);
  EXPECT_EQ(parseCacheLimit("4096"), 4096 * kMiB);
  for (const char* bad : {"abc", "-1", "+5", " 5", "5 ", "5M", "1.5", "0x10", "1e3"}) {
    EXPECT_FALSE(parseCacheLimit(bad).has_value()) << bad;
  }
}

TEST(CacheLimit, ANumberTooLargeForBytesIsNoLimit) {
  EXPECT_EQ(parseCacheLimit("17592186044415"), (kAll >> 20) << 20);  // the largest that fits
  EXPECT_EQ(parseCacheLimit("17592186044416"), kAll);
  EXPECT_EQ(parseCacheLimit("99999999999999999999999999"), kAll);
}

CachedEntry entry(const std::string& name, uint64_t mib, int64_t lastUsed) {
  return {name, mib * kMiB, lastUsed};
}

TEST(CacheLimit, NothingGoesWhileTheNewEntryFits) {
  const std::vector<CachedEntry> entries = {entry("a", 3, 1), entry("b", 3, 2)};
  EXPECT_TRUE(entriesToRemove(entries, 4 * kMiB, 10 * kMiB).empty());  // exactly full
  EXPECT_TRUE(entriesToRemove({}, 50 * kMiB, 10 * kMiB).empty());
}

TEST(CacheLimit, TheLeastRecentlyUsedGoFirstUntilTheNewOneFits) {
  // Listed in no particular order; used c, then a, then d, then b.
  const std::vector<CachedEntry> entries = {entry("a", 2, 20), entry("b", 2, 40), entry("c", 2, 10),
                                            entry("d", 2, 30)};
  EXPECT_EQ(entriesToRemove(entries, 1 * kMiB, 8 * kMiB), std::vector<std::string>{"c"});
  EXPECT_EQ(entriesToRemove(entries, 3 * kMiB, 8 * kMiB), (std::vector<std::string>{"c", "a"}));
  // Removing the oldest alone is not enough when the new one is larger.
  EXPECT_EQ(entriesToRemove(entries, 5 * kMiB, 8 * kMiB),
            (std::vector<std::string>{"c", "a", "d"}));
}

TEST(CacheLimit, ANewEntryLargerThanTheLimitIsKeptAndEveryOtherGoes) {
  const std::vector<CachedEntry> entries = {entry("a", 1, 2), entry("b", 1, 1)};
  EXPECT_EQ(entriesToRemove(entries, 20 * kMiB, 10 * kMiB), (std::vector<std::string>{"b", "a"}));
}

TEST(CacheLimit, EntriesUsedAtTheSameTimeGoByName) {
  const std::vector<CachedEntry> entries = {entry("z", 1, 5), entry("m", 1, 5), entry("a", 1, 9)};
  EXPECT_EQ(entriesToRemove(entries, 1 * kMiB, 2 * kMiB), (std::vector<std::string>{"m", "z"}));
}

TEST(CacheLimit, SizesThatOverflowStillRemoveTheOldest) {
  const std::vector<CachedEntry> entries = {{"huge", kAll, 2}, {"old", kAll, 1}};
  EXPECT_EQ(entriesToRemove(entries, kAll, 10 * kMiB), (std::vector<std::string>{"old", "huge"}));
}

}  // namespace
