// `lighter MODEL`: a model file imported once into the cache and shown; the
// cache's fallbacks and failures. Models from the project's own generator.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/e2e/model_home.h"
#include "tests/support/test_models.h"

namespace fs = std::filesystem;

namespace {

using e2e::Home;
using e2e::Lighter;
using e2e::showsTheBody;

ino_t inodeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// The first start imports; the second starts with no importer at all, so it
// cannot have imported, and finds the very same entry; its standard error
// is empty, so the lid-less import is no fault either. A changed file gets an
// entry of its own.
TEST(OpenModel, AModelIsImportedOnceAndAChangedOneAnew) {
  const Home home;
  const std::string file = home.model("candle", 2000, "candle.obj");
  std::string entry;
  {
    Lighter lighter({home.path()}, home.lighterOn(file));
    ASSERT_TRUE(lighter.waitForWindow(support::Seconds(120)));
    EXPECT_TRUE(showsTheBody(lighter));
    EXPECT_EQ(lighter.exitThroughMenu(), 0);
    EXPECT_EQ(lighter.errors().find("lighter-import"), std::string::npos) << lighter.errors();
  }
  ASSERT_EQ(home.cacheEntries().size(), 1u);
  entry = home.cache() + "/lighter/" + home.cacheEntries()[0];
  EXPECT_EQ(entry.find(LIGHTER_PROJECT_VERSION),
            entry.size() - std::strlen(LIGHTER_PROJECT_VERSION));
  const ino_t inode = inodeOf(entry);
  {
    Lighter lighter({home.path()}, home.lighterOn(file, {"LIGHTER_IMPORT=/no/importer"}));
    ASSERT_TRUE(lighter.waitForWindow());
    EXPECT_TRUE(showsTheBody(lighter));
    EXPECT_EQ(lighter.exitThroughMenu(), 0);
    EXPECT_EQ(lighter.errors(), "");
    EXPECT_NE(lighter.output().find("Reading lighterBase.m...\n"), std::string::npos);
  }
  EXPECT_EQ(home.cacheEntries().size(), 1u);
  EXPECT_EQ(inodeOf(entry), inode);

  home.model("case", 500, "candle.obj");  // the same name, another model
  {
    Lighter lighter({home.path()}, home.lighterOn(file));
    ASSERT_TRUE(lighter.waitForWindow(support::Seconds(120)));
    EXPECT_EQ(lighter.exitThroughMenu(), 0);
  }
  EXPECT_EQ(home.cacheEntries().size(), 2u);
  EXPECT_EQ(inodeOf(entry), inode);
}

// An importer that takes a second is said on standard error while it runs.
TEST(OpenModel, ASlowImportSaysSo) {
  const Home home;
  const std::string file = home.model("candle", 200, "slow.stl");
  const std::string slow = home.path() + "/slow-import";
  testmodels::writeFile(
      slow, std::string("#!/bin/sh\nsleep 1\nexec '") + LIGHTER_IMPORT_BINARY + "' \"$@\"\n");
  fs::permissions(slow, fs::perms::owner_all);
  Lighter lighter({home.path()}, home.lighterOn(file, {"LIGHTER_IMPORT=" + slow}));
  ASSERT_TRUE(lighter.waitForWindow(support::Seconds(120)));
  EXPECT_EQ(lighter.errors(),
            "lighter: importing " + file + " (once; later starts take it from the cache)...\n");
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// The importer's own message and status 1; nothing at all left in the cache.
TEST(OpenModel, AFileTheImporterRefusesIsItsMessageAndStatusOne) {
  const Home home;
  const std::string file = home.models() + "/notes.obj";
  testmodels::writeFile(file, "this is no model\n");
  Lighter lighter({home.path()}, home.lighterOn(file));
  EXPECT_EQ(lighter.waitForExit(support::Seconds(60)), 1);
  EXPECT_EQ(lighter.errors().rfind("lighter-import: ", 0), 0u) << lighter.errors();
  EXPECT_EQ(lighter.output(), "");
  EXPECT_TRUE(home.cacheEntries().empty());
}

// A cache that cannot be made (its parent is a file, which stops root as
// well): the import goes to TMPDIR for the run and is gone after "Exit".
TEST(OpenModel, AnUnwritableCacheFallsBackToATemporaryDirectoryRemovedAtExit) {
  const Home home;
  const std::string file = home.model("candle", 300, "candle.ply");
  testmodels::writeFile(home.cache(), "a file, not a directory\n");
  Lighter lighter({home.path()}, home.lighterOn(file));
  ASSERT_TRUE(lighter.waitForWindow(support::Seconds(120)));
  EXPECT_TRUE(showsTheBody(lighter));
  EXPECT_EQ(Home::namesIn(home.tmp()).size(), 1u);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  EXPECT_TRUE(Home::namesIn(home.tmp()).empty());
  EXPECT_EQ(lighter.errors().rfind("lighter: cannot write the cache " + home.cache() +
                                       "/lighter: Not a directory; importing into a temporary "
                                       "directory instead, removed at exit\n",
                                   0),
            0u)
      << lighter.errors();
}

}  // namespace
