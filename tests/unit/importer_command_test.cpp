// lighter-import as a user runs it: its exit status, its one line on
// standard error for each kind of bad input, its usage text, and the output
// directory it leaves (or does not leave) behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dataset/pictures.h"
#include "tests/support/command.h"
#include "tests/support/test_models.h"
#include "tests/unit/import_command.h"
#include "tests/unit/importer_test_support.h"
#include "tools/shapes/shapes.h"

namespace {

using importertest::TempDir;
namespace fs = std::filesystem;

using importcmd::Result;
using importcmd::run;

std::vector<std::string> entries(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// One line on standard error that names the problem, status 1, and nothing
// in the directory but what the test put there.
void expectRefused(const TempDir& dir, const std::vector<std::string>& args,
                   const std::string& expected) {
  const std::vector<std::string> before = entries(dir);
  const Result r = run(dir, args);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_EQ(r.err.rfind("lighter-import: ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find(expected), std::string::npos) << r.err;
  EXPECT_EQ(entries(dir), before) << "something was left behind";
}

void expectUsage(const TempDir& dir, const std::vector<std::string>& args,
                 const std::string& expected) {
  const Result r = run(dir, args);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(expected), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("usage: lighter-import BODY"), std::string::npos) << r.err;
}

TEST(ImportCommand, WritesTheDataDirectoryNamedAfterTheModelAndSaysHowToRunIt) {
  TempDir dir;
  testmodels::writeFile((dir / "house.obj").string(), testmodels::houseObj());
  const Result r = run(dir, {"house.obj"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("body 16 faces, 10 vertices"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Run it:  lighter --mode lit ./lighter-data-house"), std::string::npos)
      << r.out;
  EXPECT_EQ(entries(dir), (std::vector<std::string>{"house.obj", "lighter-data-house"}));
  for (const char* file : {"lighterBase.m", "lighterTop.m", "topTexture.bmp", "baseTexture.bmp",
                           "silverTexture.bmp", "Data/Particle.raw"}) {
    EXPECT_TRUE(fs::is_regular_file(dir / "lighter-data-house" / file)) << file;
  }
  // Without a lid, the lid file holds only the marker that says so.
  EXPECT_EQ(importertest::contentOf(dir / "lighter-data-house/lighterTop.m"), "# no lid\n");
  // The shipped set's pictures, read back as the program's decoder reads them.
  const fs::path data = dir / "lighter-data-house";
  auto pixelsOf = [&](const char* file) {
    const std::string bytes = importertest::contentOf(data / file);
    Image image;
    const BmpResult result =
        decodeBmp(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), image);
    EXPECT_EQ(result.failure, BmpFailure::kNone) << file;
    return image.data;
  };
  EXPECT_EQ(pixelsOf("topTexture.bmp"), dataset::lidPattern().data);
  EXPECT_EQ(pixelsOf("baseTexture.bmp"), dataset::bodyPattern().data);
  EXPECT_EQ(pixelsOf("silverTexture.bmp"), dataset::brushedSilver().data);
  const std::vector<unsigned char> glow = dataset::particleGlow();
  EXPECT_EQ(importertest::contentOf(data / "Data/Particle.raw"),
            std::string(glow.begin(), glow.end()));
}

TEST(ImportCommand, BadInputGivesOneLineStatusOneAndLeavesNothing) {
  TempDir dir;
  testmodels::writeFile((dir / "junk.xyz").string(), "this is no model\n");
  testmodels::writeFile((dir / "lines.obj").string(), "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\np 3\n");
  testmodels::writeFile((dir / "nan.obj").string(),
                        "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 nan\nf 1 2 3\nf 2 4 3\n");
  testmodels::writeFile((dir / "flat.obj").string(),
                        "v 0 0 0\nv 1 0 0\nv 2 0 0\nv 3 0 0\nf 1 2 3\nf 2 3 4\n");
  testmodels::writeFile((dir / "house.obj").string(), testmodels::houseObj());
  testmodels::writeFile((dir / "photo.png").string(), "not a picture");
  fs::create_directory(dir / "folder.obj");

  expectRefused(dir, {"missing.obj"}, "missing.obj: cannot open it: No such file or directory");
  expectRefused(dir, {"folder.obj"}, "folder.obj: is a directory");
  expectRefused(dir, {"junk.xyz"}, "junk.xyz: cannot read it (Assimp: \"");
  expectRefused(dir, {"lines.obj"}, "lines.obj: has no triangles (only points or lines)");
  expectRefused(dir, {"nan.obj"}, "nan.obj: has a coordinate that is not a finite number");
  expectRefused(dir, {"flat.obj"}, "flat.obj: has no triangles with an area");
  expectRefused(dir, {"--lid", "house.obj"}, "a lid needs a body");
  expectRefused(dir, {"house.obj", "--lid", "missing.obj"}, "missing.obj: cannot open it");
  expectRefused(dir, {"house.obj", "--texture", "photo.png"}, "photo.png: not an image");
}

// Reading a FIFO would wait for a writer that never comes: a FIFO named on
// the command line is refused, one that a model names is passed over.
TEST(ImportCommand, NothingWaitsOnAFifo) {
  TempDir dir;
  testmodels::writeFile((dir / "house.obj").string(), testmodels::houseObj());
  testmodels::writeFile((dir / "dressed.obj").string(),
                        "mtllib pipe.mtl\n" + testmodels::houseObj());
  for (const char* name : {"pipe.obj", "pipe.png", "pipe.mtl"}) {
    ASSERT_EQ(mkfifo((dir / name).c_str(), 0644), 0) << name;
  }
  expectRefused(dir, {"pipe.obj"}, "pipe.obj: is not a regular file (a FIFO)");
  expectRefused(dir, {"house.obj", "--lid", "pipe.obj"}, "pipe.obj: is not a regular file");
  expectRefused(dir, {"house.obj", "--texture", "pipe.png"}, "pipe.png: is not a regular file");
  const Result dressed = run(dir, {"dressed.obj"});
  EXPECT_EQ(dressed.status, 0) << dressed.err;
  EXPECT_TRUE(fs::is_regular_file(dir / "lighter-data-dressed" / "lighterBase.m"));
}

// A signal while the files are being written (Ctrl-C, a logout) ends the
// import, but only once a complete data directory is in place or nothing of
// it is left: never a part of one, not even the hidden directory it is
// written in first. The signal is sent as soon as that directory is seen.
TEST(ImportCommand, ASignalDuringTheWriteLeavesNoPartOfADirectory) {
  TempDir dir;
  // Large enough that writing takes a good part of a second.
  shapes::exportModel(shapes::candle(1000000), (dir / "big.ply").string(), {});
  TempDir logs;
  support::Child child({LIGHTER_IMPORT_BINARY, "big.ply", "--max-faces", "0"}, dir.path().string(),
                       {}, (logs / "out").string(), (logs / "err").string());
  auto writing = [&] {
    for (const auto& e : fs::directory_iterator(dir.path())) {
      if (e.path().filename().string().rfind(".lighter-data-big.part-", 0) == 0) return true;
    }
    return false;
  };
  ASSERT_TRUE(support::waitUntil([&] { return writing() || !child.running(); },
                                 support::Seconds(300), std::chrono::milliseconds(1)));
  ASSERT_TRUE(writing()) << "the import ended before its write was seen";
  ASSERT_EQ(::kill(child.pid(), SIGTERM), 0);
  EXPECT_EQ(child.waitForExit(support::Seconds(120)), 128 + SIGTERM);

  const std::vector<std::string> left = entries(dir);
  const bool whole = left == std::vector<std::string>{"big.ply", "lighter-data-big"};
  std::string listed;
  for (const std::string& name : left) listed += " " + name;
  EXPECT_TRUE(whole || left == std::vector<std::string>{"big.ply"}) << "left:" << listed;
  // When the signal came after the last file, the directory is whole.
  if (whole) {
    EXPECT_TRUE(fs::is_regular_file(dir / "lighter-data-big/Data/Particle.raw"));
  }
}

// Standard output closed, on a full disk, or a pipe whose reader has gone:
// the data directory is written all the same, and only a report that could
// not be written makes the command fail.
TEST(ImportCommand, StandardOutputThatCannotTakeTheReport) {
  TempDir dir;
  testmodels::writeFile((dir / "house.obj").string(), testmodels::houseObj());
  auto shell = [&](const std::string& redirected, const std::string& out) {
    TempDir logs;
    Result r;
    {
      support::Child child({"bash", "-c", redirected, LIGHTER_IMPORT_BINARY}, dir.path().string(),
                           {}, out, (logs / "err").string());
      r.status = child.waitForExit(support::Seconds(120)).value_or(-1);
    }
    r.err = support::readFile((logs / "err").string());
    return r;
  };
  const Result closed = shell("\"$0\" house.obj -o closed >&-", "/dev/null");
  EXPECT_EQ(closed.status, 0) << closed.err;
  EXPECT_EQ(closed.err, "");
  const Result full = shell("exec \"$0\" house.obj -o full", "/dev/full");
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "lighter-import: could not write standard output: No space left on device\n");
  // A pipe whose only reader has closed it before the command starts.
  const Result gone =
      shell("mkfifo pipe && exec 3<>pipe 4>pipe 3<&- && \"$0\" house.obj -o gone >&4", "/dev/null");
  EXPECT_EQ(gone.status, 0) << gone.err;
  EXPECT_EQ(gone.err, "");
  for (const char* name : {"closed", "full", "gone"}) {
    EXPECT_TRUE(fs::is_regular_file(dir / name / "Data/Particle.raw")) << name;
    EXPECT_EQ(importertest::contentOf(dir / name / "lighterBase.m"),
              importertest::contentOf(dir / "closed/lighterBase.m"))
        << name;
  }
}

TEST(ImportCommand, BadUsageGivesTheUsageAndStatusTwo) {
  TempDir dir;
  expectUsage(dir, {}, "no model named");
  expectUsage(dir, {"a.obj", "b.obj"}, "one body model at a time");
  expectUsage(dir, {"a.obj", "--colour", "red"}, "unknown option --colour");
  expectUsage(dir, {"a.obj", "--up", "w"}, "--up takes x, y, z, -x, -y or -z");
  expectUsage(dir, {"a.obj", "--max-faces", "-3"}, "--max-faces takes a number");
  expectUsage(dir, {"a.obj", "--turn=north"}, "--turn takes degrees");
  expectUsage(dir, {"a.obj", "-o"}, "-o needs a value");
  EXPECT_EQ(entries(dir), std::vector<std::string>{});

  const Result help = run(dir, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: lighter-import BODY", 0), 0u);
  const Result version = run(dir, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("lighter-import ", 0), 0u);
}

TEST(ImportCommand, AnExistingDirectoryIsReplacedOnlyWithForceAndOnlyIfItIsADataDirectory) {
  TempDir dir;
  testmodels::writeFile((dir / "house.obj").string(), testmodels::houseObj());
  fs::create_directory(dir / "out");
  testmodels::writeFile((dir / "out/lighterBase.m").string(), "kept\n");

  expectRefused(dir, {"house.obj", "-o", "out"}, "out: already exists");
  EXPECT_EQ(importertest::contentOf(dir / "out/lighterBase.m"), "kept\n");

  const Result forced = run(dir, {"house.obj", "-o", "out", "--force"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_NE(importertest::contentOf(dir / "out/lighterBase.m"), "kept\n");
  EXPECT_EQ(entries(dir), (std::vector<std::string>{"house.obj", "out"}));

  fs::create_directory(dir / "notes");
  testmodels::writeFile((dir / "notes/todo.txt").string(), "mine\n");
  expectRefused(dir, {"house.obj", "-o", "notes", "--force"}, "notes: is not a data directory");
  EXPECT_EQ(importertest::contentOf(dir / "notes/todo.txt"), "mine\n");
}

TEST(ImportCommand, MakesMissingParentsOfTheOutputDirectory) {
  TempDir dir;
  testmodels::writeFile((dir / "house.obj").string(), testmodels::houseObj());
  const Result r = run(dir, {"house.obj", "-o", "models/house"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_regular_file(dir / "models/house/lighterBase.m"));
  // A failure leaves no parent it made: a bad model into a new tree.
  expectRefused(dir, {"missing.obj", "-o", "more/models/x"}, "missing.obj: cannot open it");
}

}  // namespace
