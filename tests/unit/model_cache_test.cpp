// The cache of imported models and the no-lid mark, as plain values and files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "lighter/model_cache.h"
#include "mesh/no_lid.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_models.h"

namespace fs = std::filesystem;

namespace {

TEST(ModelCache, TheRootFollowsTheXdgRules) {
  EXPECT_EQ(cacheRoot("/c", "/h"), "/c/lighter");
  EXPECT_EQ(cacheRoot(nullptr, "/home/u"), "/home/u/.cache/lighter");
  EXPECT_EQ(cacheRoot("", "/home/u"), "/home/u/.cache/lighter");
  EXPECT_EQ(cacheRoot("relative/cache", "/home/u"), "/home/u/.cache/lighter");
  EXPECT_EQ(cacheRoot(nullptr, nullptr), "");
  EXPECT_EQ(cacheRoot("rel", "also-rel"), "");
}

TEST(ModelCache, EntriesAreNamedByTheContentsDigestAndTheImportersVersion) {
  const support::TempDir dir("model-cache");
  const std::string a = dir.path() + "/a.obj", b = dir.path() + "/b.obj";
  testmodels::writeFile(a, "abc");
  testmodels::writeFile(b, "abc");
  std::string reason;
  const auto digest = fileDigest(a, reason);
  ASSERT_TRUE(digest.has_value()) << reason;
  EXPECT_EQ(*digest, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(fileDigest(b, reason), digest);  // the name does not count, the content does
  testmodels::writeFile(b, "abd");
  EXPECT_NE(fileDigest(b, reason), digest);
  EXPECT_EQ(cacheEntryName(*digest), *digest + "-lighter-import-" LIGHTER_PROJECT_VERSION);
  EXPECT_FALSE(fileDigest(dir.path() + "/none", reason).has_value());
  EXPECT_EQ(reason, "No such file or directory");
}

TEST(ModelCache, OnlyRegularFilesAreModels) {
  const support::TempDir dir("model-cache");
  const std::string file = dir.path() + "/m.stl";
  testmodels::writeFile(file, "solid\n");
  fs::create_symlink(file, dir.path() + "/link");
  EXPECT_TRUE(isModelFile(file));
  EXPECT_TRUE(isModelFile(dir.path() + "/link"));
  EXPECT_FALSE(isModelFile(dir.path()));
  EXPECT_FALSE(isModelFile(dir.path() + "/none"));
  EXPECT_FALSE(isModelFile("/dev/null"));
  EXPECT_FALSE(isModelFile(""));
}

TEST(NoLid, OnlyTheWholeMarkerLineFirstMarksALidFile) {
  const support::TempDir dir("no-lid");
  const std::string path = dir.path() + "/lighterTop.m";
  const struct {
    const char* text;
    bool marked;
  } cases[] = {
      {"# no lid\n", true},           {"# no lid", true},     {"# no lid\nv 1 2 3\n", true},
      {"# no lids\n", false},         {"# no li", false},     {"", false},
      {"v 1 2 3\n# no lid\n", false}, {" # no lid\n", false}, {"# No lid\n", false}};
  for (const auto& c : cases) {
    testmodels::writeFile(path, c.text);
    EXPECT_EQ(isMarkedNoLid(path.c_str()), c.marked) << c.text;
  }
  EXPECT_FALSE(isMarkedNoLid((dir.path() + "/none").c_str()));
  EXPECT_FALSE(isMarkedNoLid(dir.path().c_str()));
  EXPECT_EQ(noLidText(), "# no lid\n");
}

}  // namespace
