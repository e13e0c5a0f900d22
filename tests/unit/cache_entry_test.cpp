// A cache entry on disk: its manifest, the check before use, its last use
// and size; dead imports told from live ones by their locks; the removal a
// signal handler does.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "lighter/cache_entry.h"
#include "lighter/cache_lock.h"
#include "lighter/cache_manifest.h"
#include "lighter/model_cache.h"
#include "lighter/termination_cleanup.h"
#include "tests/support/command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_models.h"

namespace fs = std::filesystem;

namespace {

using testmodels::writeFile;

// A small data directory as an import writes one, with its manifest.
class Entry : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(entry + "/Data");
    writeFile(entry + "/lighterBase.m", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    writeFile(entry + "/lighterTop.m", "# no lid\n");
    writeFile(entry + "/Data/Particle.raw", std::string(3072, '\x20'));
    std::string why;
    ASSERT_TRUE(writeManifest(entry, why)) << why;
  }
  EntryCheck check(bool hashes = true) const { return checkEntry(entry, hashes); }
  std::string damage(bool hashes = true) const {
    const EntryCheck c = check(hashes);
    EXPECT_EQ(c.state, EntryState::kDamaged);
    return c.why;
  }

  support::TempDir dir{"cache-entry"};
  std::string entry = dir.path() + "/entry";
};

TEST_F(Entry, AFreshEntryIsSoundAndItsManifestListsEveryFile) {
  EXPECT_EQ(check().state, EntryState::kSound);
  std::string why;
  const auto files = parseManifest(support::readFile(entry + "/" + kManifestFile), why);
  ASSERT_TRUE(files.has_value()) << why;
  ASSERT_EQ(files->size(), 3u);
  EXPECT_EQ((*files)[0].name, "Data/Particle.raw");
  EXPECT_EQ((*files)[0].size, 3072u);
  EXPECT_EQ((*files)[2].name, "lighterTop.m");
  EXPECT_EQ((*files)[2].sha256, fileDigest(entry + "/lighterTop.m", why));
}

TEST_F(Entry, AMissingFileIsNamed) {
  fs::remove(entry + "/Data/Particle.raw");
  EXPECT_EQ(damage(), "Data/Particle.raw is missing");
}

TEST_F(Entry, AFileCutShortOrGrownIsFoundBySizeAlone) {
  fs::resize_file(entry + "/lighterBase.m", 5);
  EXPECT_EQ(damage(false), "lighterBase.m holds 5 bytes, not 32");
  fs::resize_file(entry + "/lighterBase.m", 40);
  EXPECT_EQ(damage(false), "lighterBase.m holds 40 bytes, not 32");
}

TEST_F(Entry, AFlippedByteIsFoundByTheHashOnly) {
  writeFile(entry + "/lighterTop.m", "# no lie\n");
  EXPECT_EQ(check(false).state, EntryState::kSound);
  EXPECT_EQ(damage(true), "lighterTop.m does not match its SHA-256");
}

TEST_F(Entry, AListedFileThatIsNoLongerAFileIsDamage) {
  fs::remove(entry + "/lighterTop.m");
  fs::create_directory(entry + "/lighterTop.m");
  EXPECT_EQ(damage(), "lighterTop.m: Is a directory");
  fs::remove(entry + "/lighterTop.m");
  ASSERT_EQ(::mkfifo((entry + "/lighterTop.m").c_str(), 0600), 0);  // never waited on
  EXPECT_EQ(damage(), "lighterTop.m: not a regular file (a FIFO)");
}

TEST_F(Entry, WithoutAManifestItIsAnOlderCachesAndWithoutADirectoryAbsent) {
  fs::remove(entry + "/" + kManifestFile);
  EXPECT_EQ(check().state, EntryState::kNoManifest);
  EXPECT_EQ(checkEntry(dir.path() + "/none", true).state, EntryState::kAbsent);
}

TEST_F(Entry, AManifestTheReaderRefusesOrThatListsNoMeshIsDamage) {
  const std::string manifest = entry + "/" + kManifestFile;
  const std::string text = support::readFile(manifest);
  writeFile(manifest, text.substr(0, text.size() - 4));
  EXPECT_EQ(damage(), std::string(kManifestFile) + ": line 4: cut short (no end line)");
  fs::remove(entry + "/lighterBase.m");
  fs::remove(manifest);
  std::string why;
  ASSERT_TRUE(writeManifest(entry, why)) << why;
  EXPECT_EQ(damage(), std::string(kManifestFile) + " lists no lighterBase.m");
}

TEST_F(Entry, AFileAManifestCannotNameIsNotWrittenIntoOne) {
  fs::remove(entry + "/" + kManifestFile);
  writeFile(entry + "/a name", "");
  std::string why;
  EXPECT_FALSE(writeManifest(entry, why));
  EXPECT_EQ(why, "a name: not a file a cache entry holds");
  EXPECT_FALSE(fs::exists(entry + "/" + kManifestFile));
}

TEST_F(Entry, UseMovesItsLastUseAndTheSizeCountsEveryFile) {
  const std::string root = dir.path() + "/root";
  const std::string name = std::string(64, 'c') + "-lighter-import-0.9";
  const std::string other = std::string(64, 'd') + "-lighter-import-1.0.0";
  fs::create_directory(root);
  fs::rename(entry, root + "/" + name);
  fs::create_directory(root + "/" + other);  // no manifest: never used
  writeFile(root + "/" + other + "/lighterBase.m", "12345");
  fs::create_directory(root + "/.import-abcdef");
  fs::create_directory(root + "/not-an-entry");
  const std::string manifest = root + "/" + name + "/" + kManifestFile;
  const struct timespec old[2] = {{1000, 0}, {1000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, manifest.c_str(), old, 0), 0);

  std::vector<CachedEntry> entries = cachedEntries(root, "");
  std::sort(entries.begin(), entries.end(),
            [](const CachedEntry& a, const CachedEntry& b) { return a.name < b.name; });
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, name);
  EXPECT_EQ(entries[0].bytes, 32 + 9 + 3072 + fs::file_size(manifest));
  EXPECT_EQ(entries[0].lastUsed, int64_t{1000} * 1000000000);
  EXPECT_EQ(entries[1].name, other);
  EXPECT_EQ(entries[1].bytes, 5u);
  EXPECT_EQ(entries[1].lastUsed, 0);

  markUsed(root + "/" + name);
  const auto used = cachedEntries(root, other);
  ASSERT_EQ(used.size(), 1u);
  EXPECT_GT(used[0].lastUsed, int64_t{1000} * 1000000000);
}

// A lock held by another open description, as another lighter holds one.
struct HeldLock {
  explicit HeldLock(const std::string& path) : fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY)) {
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  }
  ~HeldLock() { ::close(fd); }
  int fd;
};

TEST(DeadImports, OnlyImportDirectoriesThatNobodyHoldsGo) {
  const support::TempDir root("cache-root");
  const std::string dead = root.path() + "/.import-dead00";
  const std::string live = root.path() + "/.import-live00";
  fs::create_directories(dead + "/data/Data");
  writeFile(dead + "/data/lighterBase.m", "partial");
  fs::create_directories(live + "/data");
  fs::create_directory(root.path() + "/.other");
  writeFile(root.path() + "/.import-file", "not a directory");
  {
    const HeldLock importing(live);
    removeDeadImports(root.path());
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(live + "/data"));
    EXPECT_TRUE(fs::exists(root.path() + "/.other"));
    EXPECT_TRUE(fs::exists(root.path() + "/.import-file"));
  }
  removeDeadImports(root.path());  // its import has ended
  EXPECT_FALSE(fs::exists(live));
}

TEST(DeadImports, AnImportDirectoryIsLiveUntilItGoesAndTakesWhatItIsGiven) {
  const support::TempDir root("cache-root");
  const std::string old = root.path() + "/old-entry";
  fs::create_directories(old + "/Data");
  std::string path;
  {
    std::optional<ImportDirectory> staging;
    {
      const CacheLock lock(root.path());
      EXPECT_TRUE(lock.held());
      staging.emplace(root.path(), lock);
    }
    ASSERT_TRUE(staging->made());
    path = staging->path();
    EXPECT_EQ(fs::path(path).filename().string().rfind(".import-", 0), 0u);
    EXPECT_TRUE(staging->take(old));
    EXPECT_TRUE(fs::exists(path + "/old-entry/Data"));
    removeDeadImports(root.path());  // from this process, as from another
    EXPECT_TRUE(fs::exists(path + "/old-entry/Data"));
  }
  EXPECT_FALSE(fs::exists(path));
  EXPECT_FALSE(fs::exists(old));
}

TEST(SignalSafeRemoval, RemovesATreeButNotWhatItsLinksPointTo) {
  const support::TempDir dir("signal-removal");
  const std::string tree = dir.path() + "/tree";
  const std::string outside = dir.path() + "/outside";
  fs::create_directories(tree + "/a/b/c");
  fs::create_directory(outside);
  writeFile(outside + "/kept", "kept");
  for (int i = 0; i < 300; ++i) writeFile(tree + "/a/file" + std::to_string(i), "x");
  writeFile(tree + "/a/b/c/deep", "y");
  fs::create_symlink(outside, tree + "/a/b/link");
  EXPECT_TRUE(removeTreeSignalSafe(tree.c_str()));
  EXPECT_FALSE(fs::exists(fs::symlink_status(tree)));
  EXPECT_TRUE(fs::exists(outside + "/kept"));
  EXPECT_TRUE(removeTreeSignalSafe(tree.c_str()));  // already gone is done
  writeFile(tree, "a file");
  EXPECT_TRUE(removeTreeSignalSafe(tree.c_str()));
  EXPECT_FALSE(fs::exists(tree));
}

TEST(SignalSafeRemoval, StopsAtItsDepth) {
  const support::TempDir dir("signal-removal");
  std::string deep = dir.path() + "/tree";
  for (int i = 0; i < 20; ++i) deep += "/d";
  fs::create_directories(deep);
  EXPECT_FALSE(removeTreeSignalSafe((dir.path() + "/tree").c_str()));
  EXPECT_TRUE(fs::exists(dir.path() + "/tree"));
}

}  // namespace
