// The model cache end to end, with the real program and the real importer:
// a damaged entry is imported again, the size limit keeps the least recently
// used entries, dead imports and temporary imports leave nothing behind, and
// two programs opening one model at once share one entry.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/e2e/model_home.h"
#include "tests/support/command.h"
#include "tests/support/test_models.h"

namespace fs = std::filesystem;

namespace {

using e2e::Home;
using e2e::Lighter;
using e2e::showsTheBody;
using support::Seconds;

constexpr char kManifest[] = "cache.manifest";
constexpr uint64_t kMiB = uint64_t{1} << 20;
const Seconds kImportTimeout(120);

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// Standard error of an open that imported, but for the line an import over
// half a second adds (a loaded machine's).
std::vector<std::string> linesBesideTheImport(const std::string& errors) {
  std::vector<std::string> lines = linesOf(errors);
  lines.erase(std::remove_if(lines.begin(), lines.end(),
                             [](const std::string& line) {
                               return line.rfind("lighter: importing ", 0) == 0;
                             }),
              lines.end());
  return lines;
}

// The entries of the cache (hidden names left out).
std::vector<std::string> entriesIn(const Home& home) {
  std::vector<std::string> names;
  for (const std::string& name : home.cacheEntries()) {
    if (name[0] != '.') names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

uint64_t bytesUnder(const std::string& dir) {
  uint64_t bytes = 0;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (e.is_regular_file()) bytes += e.file_size();
  }
  return bytes;
}

// Opens `file`, sees the body and exits through the menu; the lines of
// standard error beside the import's.
std::vector<std::string> openShowAndExit(const Home& home, const std::string& file,
                                         const std::vector<std::string>& env = {},
                                         Seconds timeout = kImportTimeout) {
  Lighter lighter({home.path()}, home.lighterOn(file, env));
  EXPECT_TRUE(lighter.waitForWindow(timeout)) << lighter.errors();
  EXPECT_TRUE(showsTheBody(lighter));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  return linesBesideTheImport(lighter.errors());
}

// The same with no importer to run: the entry must be there and sound, or
// the window never comes (and a program that cannot import fails at once).
std::vector<std::string> reopenShowAndExit(const Home& home, const std::string& file) {
  return openShowAndExit(home, file, {"LIGHTER_IMPORT=/no/importer"}, Seconds(20));
}

const std::vector<std::string> kNothing;

// The one entry a model's first open made, and the damage done to it.
class DamagedEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    file = home.model("candle", 2000, "candle.obj");
    EXPECT_EQ(openShowAndExit(home, file), kNothing);
    ASSERT_EQ(entriesIn(home).size(), 1u);
    entry = home.cacheRoot() + "/" + entriesIn(home)[0];
    body = support::readFile(entry + "/lighterBase.m");
    ASSERT_GT(body.size(), 1000u);
  }
  // The next open says `why` once, imports again (the real importer) and
  // shows the body; the entry is whole again and opens without a word.
  void expectImportedAgain(const std::string& why) {
    EXPECT_EQ(openShowAndExit(home, file),
              std::vector<std::string>{"lighter: the cached import of " + file + why +
                                       "; importing it again"});
    EXPECT_EQ(entriesIn(home).size(), 1u);
    EXPECT_EQ(home.cacheEntries().size(), 1u);  // nothing hidden left either
    EXPECT_EQ(support::readFile(entry + "/lighterBase.m"), body);
    EXPECT_EQ(reopenShowAndExit(home, file), kNothing);
  }

  Home home;
  std::string file, entry, body;
};

TEST_F(DamagedEntry, ARemovedFileIsImportedAgain) {
  fs::remove(entry + "/silverTexture.bmp");
  expectImportedAgain(" is damaged (silverTexture.bmp is missing)");
  EXPECT_TRUE(fs::exists(entry + "/silverTexture.bmp"));
}

TEST_F(DamagedEntry, ATruncatedMeshIsImportedAgain) {
  fs::resize_file(entry + "/lighterBase.m", body.size() / 2);
  expectImportedAgain(" is damaged (lighterBase.m holds " + std::to_string(body.size() / 2) +
                      " bytes, not " + std::to_string(body.size()) + ")");
}

TEST_F(DamagedEntry, AFlippedByteIsImportedAgain) {
  std::string flipped = body;
  const size_t at = flipped.find_first_of("123456789", flipped.size() / 2);
  ASSERT_NE(at, std::string::npos);
  flipped[at] = flipped[at] == '1' ? '2' : '1';
  testmodels::writeFile(entry + "/lighterBase.m", flipped);
  expectImportedAgain(" is damaged (lighterBase.m does not match its SHA-256)");
}

TEST_F(DamagedEntry, AnEntryWithoutAManifestIsImportedAgain) {
  fs::remove(entry + "/" + kManifest);
  expectImportedAgain(" has no manifest (an older lighter's)");
  EXPECT_TRUE(fs::exists(entry + "/" + kManifest));
}

// Candles of about 800 KB entries each: two fit in 2 MiB, three do not. A
// was opened last of the first two, so B goes for C; then a textured model
// whose entry alone passes 1 MiB (a 3 MB texture) is kept, and the rest go.
// A limit of 0 keeps nothing: the import is for the run, and the cache stays.
TEST(CacheLimit, TheLeastRecentlyUsedEntriesGoAndTheOneOpenedStays) {
  const Home home;
  const std::string a = home.model("candle", 15000, "a.obj");
  const std::string b = home.model("candle", 16000, "b.obj");
  const std::string c = home.model("candle", 17000, "c.obj");
  EXPECT_EQ(openShowAndExit(home, a), kNothing);
  const std::string entryA = home.cacheRoot() + "/" + entriesIn(home).at(0);
  EXPECT_EQ(openShowAndExit(home, b), kNothing);
  ASSERT_EQ(entriesIn(home).size(), 2u);
  std::string entryB;
  for (const auto& name : entriesIn(home)) {
    if (home.cacheRoot() + "/" + name != entryA) entryB = home.cacheRoot() + "/" + name;
  }
  const uint64_t bytesA = bytesUnder(entryA), bytesB = bytesUnder(entryB);
  EXPECT_EQ(reopenShowAndExit(home, a), kNothing);  // A used last

  EXPECT_EQ(openShowAndExit(home, c, {"LIGHTER_CACHE_LIMIT=2"}), kNothing);
  const std::vector<std::string> kept = entriesIn(home);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_TRUE(fs::exists(entryA));
  EXPECT_FALSE(fs::exists(entryB));
  const std::string entryC =
      home.cacheRoot() + "/" + (home.cacheRoot() + "/" + kept[0] == entryA ? kept[1] : kept[0]);
  const uint64_t bytesC = bytesUnder(entryC);
  // The sizes that make this the limit's choice and no other.
  EXPECT_LE(bytesA + bytesC, 2 * kMiB);
  EXPECT_GT(bytesA + bytesB + bytesC, 2 * kMiB);

  const std::string textured = home.models() + "/striped/candle.obj";
  fs::create_directory(home.models() + "/striped");
  support::run({LIGHTER_LOOK_GEN, "striped-candle", textured});
  for (const auto& e : fs::directory_iterator(home.models() + "/striped")) {
    if (e.path().extension() == ".png") {
      support::run({"convert", "-size", "1024x1024", "gradient:red-blue", e.path().string()});
    }
  }
  EXPECT_EQ(openShowAndExit(home, textured, {"LIGHTER_CACHE_LIMIT=1"}), kNothing);
  ASSERT_EQ(entriesIn(home).size(), 1u);
  const std::string entryT = home.cacheRoot() + "/" + entriesIn(home)[0];
  EXPECT_GT(fs::file_size(entryT + "/modelTexture.bmp"), 3 * 1000 * 1000u);
  EXPECT_GT(bytesUnder(entryT), kMiB);

  EXPECT_EQ(openShowAndExit(home, a, {"LIGHTER_CACHE_LIMIT=0"}), kNothing);
  EXPECT_EQ(entriesIn(home), std::vector<std::string>{fs::path(entryT).filename().string()});
  EXPECT_TRUE(Home::namesIn(home.tmp()).empty());
}

// An importer that writes part of its output, says its process and then
// waits to be ended, as a long import would.
std::string stuckImporter(const Home& home) {
  const std::string script = home.path() + "/stuck-import";
  testmodels::writeFile(script,
                        "#!/bin/sh\nmkdir -p \"$2\"\necho partial > \"$2/lighterBase.m\"\n"
                        "echo $$ > '" +
                            home.path() + "/importer.pid'\nexec sleep 600\n");
  fs::permissions(script, fs::perms::owner_all);
  return script;
}

// The one `.import-*` directory in the cache, once its import has begun.
std::optional<std::string> importInProgress(const Home& home) {
  std::optional<std::string> found;
  support::waitUntil(
      [&] {
        for (const auto& name : home.cacheEntries()) {
          if (name.rfind(".import-", 0) == 0 &&
              fs::exists(home.cacheRoot() + "/" + name + "/data/lighterBase.m")) {
            found = home.cacheRoot() + "/" + name;
          }
        }
        return found.has_value();
      },
      Seconds(60));
  return found;
}

// A lighter killed while it imports leaves its `.import-*` directory. While
// its importer still runs, another open leaves it alone; once both are gone,
// the next open removes it.
TEST(DeadImport, ALeftoverImportIsRemovedOnceNothingRunsIt) {
  const Home home;
  const std::string file = home.model("candle", 300, "killed.obj");
  const std::string other = home.model("case", 300, "other.obj");
  std::string leftover;
  {
    Lighter killed({home.path()}, home.lighterOn(file, {"LIGHTER_IMPORT=" + stuckImporter(home)}));
    const std::optional<std::string> staging = importInProgress(home);
    ASSERT_TRUE(staging.has_value());
    leftover = *staging;
    EXPECT_EQ(openShowAndExit(home, other), kNothing);
    EXPECT_TRUE(fs::exists(leftover + "/data/lighterBase.m")) << "a live import was removed";
  }  // SIGKILL to the lighter and its importer
  ASSERT_TRUE(fs::exists(leftover));
  EXPECT_EQ(openShowAndExit(home, file), kNothing);
  EXPECT_FALSE(fs::exists(leftover));
  EXPECT_EQ(home.cacheEntries(), entriesIn(home));  // nothing hidden
  EXPECT_EQ(entriesIn(home).size(), 2u);
}

// A run on a temporary import (the cache is a file, so it cannot be made)
// ended by SIGTERM, SIGINT or SIGHUP leaves nothing in TMPDIR, and its exit
// status says the signal ended it; so does SIGTERM during the import, which
// ends the importer too.
TEST(TemporaryImport, TerminationSignalsRemoveIt) {
  const Home home;
  const std::string file = home.model("candle", 300, "candle.ply");
  testmodels::writeFile(home.cache(), "a file, not a directory\n");
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    // Started with every disposition at its default, as from a terminal.
    e2e::Program program = home.lighterOn(file);
    program.wrapper.insert(program.wrapper.begin() + 1, "--default-signal=INT,TERM,HUP");
    Lighter lighter({home.path()}, program);
    ASSERT_TRUE(lighter.waitForWindow(kImportTimeout)) << lighter.errors();
    EXPECT_EQ(Home::namesIn(home.tmp()).size(), 1u);
    ASSERT_EQ(::kill(lighter.pid(), signal), 0);
    EXPECT_EQ(lighter.waitForExit(), 128 + signal) << signal;
    EXPECT_TRUE(Home::namesIn(home.tmp()).empty()) << signal;
  }
  Lighter lighter({home.path()}, home.lighterOn(file, {"LIGHTER_IMPORT=" + stuckImporter(home)}));
  ASSERT_TRUE(
      support::waitUntil([&] { return fs::exists(home.path() + "/importer.pid"); }, Seconds(60)));
  ASSERT_TRUE(support::waitUntil(
      [&] { return !support::readFile(home.path() + "/importer.pid").empty(); }, Seconds(10)));
  const pid_t importer = std::stoi(support::readFile(home.path() + "/importer.pid"));
  ASSERT_EQ(::kill(lighter.pid(), SIGTERM), 0);
  EXPECT_EQ(lighter.waitForExit(), 128 + SIGTERM);
  EXPECT_TRUE(Home::namesIn(home.tmp()).empty());
  EXPECT_EQ(::kill(importer, 0), -1);
  EXPECT_EQ(errno, ESRCH);
}

// Two lighters open one model at once: each importer waits until both
// imports are under way, so the two overlap for certain. Both show the
// model, and the cache ends with one sound entry and nothing else.
TEST(TwoPrograms, OpenOneModelAtOnceAndShareOneEntry) {
  const Home home;
  const std::string file = home.model("candle", 2000, "shared.obj");
  // Each importer says it has begun, then waits for the other's word.
  const std::string script = home.path() + "/import-together";
  const std::string begun = home.path() + "/begun";
  fs::create_directory(begun);
  std::string text = R"sh(#!/bin/sh
touch 'BEGUN'/$$
end=$(($(date +%s) + 60))
while [ "$(ls 'BEGUN' | wc -l)" -lt 2 ]; do
  [ "$(date +%s)" -lt $end ] || exit 3
  sleep 0.05
done
exec 'IMPORTER' "$@"
)sh";
  for (const auto& [name, value] :
       {std::pair<std::string, std::string>{"BEGUN", begun}, {"IMPORTER", LIGHTER_IMPORT_BINARY}}) {
    for (size_t at; (at = text.find(name)) != std::string::npos;)
      text.replace(at, name.size(), value);
  }
  testmodels::writeFile(script, text);
  fs::permissions(script, fs::perms::owner_all);
  {
    Lighter first({home.path()}, home.lighterOn(file, {"LIGHTER_IMPORT=" + script}));
    Lighter second({home.path()}, home.lighterOn(file, {"LIGHTER_IMPORT=" + script}));
    for (Lighter* lighter : {&first, &second}) {
      ASSERT_TRUE(lighter->waitForWindow(kImportTimeout)) << lighter->errors();
      EXPECT_TRUE(showsTheBody(*lighter));
      EXPECT_EQ(linesBesideTheImport(lighter->errors()), kNothing);
    }
    for (Lighter* lighter : {&first, &second}) EXPECT_EQ(lighter->exitThroughMenu(), 0);
  }
  EXPECT_EQ(home.cacheEntries().size(), 1u);
  EXPECT_EQ(entriesIn(home).size(), 1u);
  EXPECT_EQ(reopenShowAndExit(home, file), kNothing);
}

}  // namespace
