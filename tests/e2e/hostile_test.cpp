// The real program started the way launchers and impatient users start it:
// descriptors closed, output into a pipe whose reader leaves or onto a full
// device, ended by a signal, short of memory, with data files that are
// FIFOs, devices, unreadable or missing. Each case checks what it must do,
// and that nothing printed before the fault is lost.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "view/view_model.h"

namespace {

namespace fs = std::filesystem;
using e2e::Lighter;
using e2e::Program;
using e2e::Screenshot;

// A click outside the lighter's body, and where the program says it was.
constexpr int kOutsideX = 10;
constexpr int kOutsideY = 10;
const char kOutsideLine[] = "mouse clicked at 10 589\n";
// A click on the body: the first of the sequence throws a spark.
constexpr int kBodyX = 400;
constexpr int kBodyY = 450;
const char kBodyLines[] = "mouse clicked at 400 149\nspark!!\n";

// A shell that runs the program ("$0", with "$@") after `setup`.
Program inShell(const std::string& setup, bool captureErrors = true) {
  Program p;
  p.captureErrors = captureErrors;
  p.lineBuffered = false;  // the program's own buffering is under test
  p.wrapper = {"sh", "-c", setup + "; exec \"$0\" \"$@\""};
  return p;
}

std::string readLink(const std::string& path) {
  std::error_code error;
  return fs::read_symlink(path, error).string();
}

long statusValueKb(pid_t pid, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
  }
  return -1;
}

bool bodyShows(const Screenshot& s) { return s.atUp(kBodyX, 150).sum() > 300; }

// The shipped data set's start-up commentary from a plain run, and the
// address space the program takes once it draws: made once, compared with.
struct NormalRun {
  std::string startUp;
  long peakKb = 0;
};

const NormalRun& normalRun() {
  static const NormalRun run = [] {
    NormalRun r;
    Lighter lighter;
    if (!lighter.waitForWindow() || !lighter.waitForScreenshot(bodyShows)) return r;
    r.peakKb = statusValueKb(lighter.pid(), "VmPeak");
    if (lighter.exitThroughMenu() == 0) r.startUp = lighter.output();
    return r;
  }();
  return run;
}

#define NEED_NORMAL_RUN() \
  ASSERT_FALSE(normalRun().startUp.empty()) << "the plain run on the shipped data set failed"

// `lighter <&- >&- 2>&-`: the X connection must not become standard output.
TEST(Hostile, ClosedStandardDescriptorsAreOpenedOnDevNull) {
  Lighter lighter({}, inShell("exec <&- >&- 2>&-", /*captureErrors=*/false));
  ASSERT_TRUE(lighter.waitForWindow());
  ASSERT_TRUE(lighter.waitForScreenshot(bodyShows).has_value());
  for (int fd : {0, 1, 2}) {
    EXPECT_EQ(readLink("/proc/" + std::to_string(lighter.pid()) + "/fd/" + std::to_string(fd)),
              "/dev/null")
        << fd;
  }
  lighter.click(kOutsideX, kOutsideY);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// `lighter | head`: the reader leaves during start-up. What it read is the
// commentary's start, byte for byte; the program runs on, answers the menu
// and leaves through "Exit" with status 0, with nothing said about it.
TEST(Hostile, APipeWhoseReaderLeavesEndsTheCommentaryQuietly) {
  NEED_NORMAL_RUN();
  const support::TempDir dir("lighter-pipe");
  const std::string head = dir.path() + "/head.txt";
  constexpr size_t kRead = 100000;
  Program p;
  p.captureErrors = true;
  p.lineBuffered = false;
  p.wrapper = {
      "bash", "-c",
      "\"$@\" | head -c " + std::to_string(kRead) + " >" + head + "; exit ${PIPESTATUS[0]}",
      "bash"};
  Lighter lighter({}, p);
  ASSERT_TRUE(lighter.waitForWindow());
  ASSERT_TRUE(support::waitUntil(
      [&] {
        std::error_code none;  // before the shell has made it, there is no file
        return fs::file_size(head, none) == kRead;
      },
      support::Seconds(20)));
  EXPECT_EQ(support::readFile(head), normalRun().startUp.substr(0, kRead));
  lighter.click(kOutsideX, kOutsideY);
  lighter.pickMenu({1, 0});  // "Mesh Modes", "Wireframe": blue outlines only
  EXPECT_TRUE(lighter
                  .waitForScreenshot([](const Screenshot& s) {
                    return s.atUp(kBodyX, 150).r == 0 && s.countBrighter(0, 0, 800, 600, 0) > 1000;
                  })
                  .has_value());
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  EXPECT_EQ(lighter.errors(), "");
}

// Output to a file: start-up's commentary is out once start-up is done,
// every later line as it is printed, so a signal that ends the program
// loses nothing. Without stdbuf: the program's own buffering.
TEST(Hostile, ASignalLosesNoLineOfOutputToAFile) {
  NEED_NORMAL_RUN();
  const std::string& startUp = normalRun().startUp;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    Program p;
    p.lineBuffered = false;
    // A shell may have started the tests with SIGINT ignored; ignoring is
    // inherited, so put the default back for the program.
    p.wrapper = {"env", "--default-signal=INT,TERM,HUP"};
    Lighter lighter({}, p);
    ASSERT_TRUE(lighter.waitForWindow());
    ASSERT_TRUE(
        support::waitUntil([&] { return lighter.output() == startUp; }, support::Seconds(20)))
        << "start-up's output is not all out: " << lighter.output().size() << " of "
        << startUp.size() << " bytes";
    lighter.click(kOutsideX, kOutsideY);
    ASSERT_TRUE(lighter.waitForOutput(kOutsideLine));
    lighter.click(kBodyX, kBodyY);
    ASSERT_TRUE(lighter.waitForOutput("spark!!\n"));
    ASSERT_EQ(kill(lighter.pid(), signal), 0);
    EXPECT_EQ(lighter.waitForExit(), 128 + signal);
    EXPECT_EQ(lighter.output(), startUp + kOutsideLine + kBodyLines);
  }
}

// A body mesh too large for the address space allowed: one line on
// standard error naming the file and how far reading got, status 1, and
// the commentary up to the mesh flushed.
TEST(Hostile, AMeshTooLargeForMemoryIsReportedWithHowFarItGot) {
  NEED_NORMAL_RUN();
  const support::TempDir data = e2e::copyDataSet();
  {
    // 16 million vertices need 192 MB as read and as much again for their
    // normals: far beyond the 48 MB allowed above a drawing program's peak.
    std::ofstream base(data.path() + "/lighterBase.m", std::ios::binary);
    const std::string block = [] {
      std::string b;
      for (int i = 0; i < 4096; ++i) b += "v 1 2 3\n";
      return b;
    }();
    for (int i = 0; i < 4096; ++i) base << block;
  }
  const long limitKb = normalRun().peakKb + 48 * 1024;
  Lighter lighter({data.path()}, inShell("ulimit -v " + std::to_string(limitKb)));
  EXPECT_EQ(lighter.waitForExit(support::Seconds(60)), 1);
  const std::string& startUp = normalRun().startUp;
  const std::string upToTheMesh =
      startUp.substr(0, startUp.find("Reading coordinates from lighterBase.m\n") +
                            std::string("Reading coordinates from lighterBase.m\n").size());
  const std::string out = lighter.output();
  EXPECT_EQ(out.substr(0, upToTheMesh.size()), upToTheMesh);
  const std::string errors = lighter.errors();
  std::smatch m;
  const std::regex whileReading(
      "lighter: lighterBase\\.m does not fit in memory: stopped at line ([0-9]+), after reading "
      "([0-9]+) vertices and 0 faces\n");
  const std::regex whilePreparing(
      "lighter: lighterBase\\.m does not fit in memory: read whole \\(16777216 vertices and 0 "
      "faces\\), but its vertex normals do not fit\n");
  if (std::regex_match(errors, m, whileReading)) {
    EXPECT_EQ(std::stol(m[1]), std::stol(m[2]) + 1) << errors;
  } else {
    EXPECT_TRUE(std::regex_match(errors, whilePreparing)) << errors;
  }
}

// Mesh files and the particle image that are not regular files are refused
// like missing ones, with the reason on standard error; nothing waits.
TEST(Hostile, NonRegularDataFilesAreRefusedWithoutWaiting) {
  const support::TempDir data =
      e2e::copyDataSet({"lighterBase.m", "lighterTop.m", "Data/Particle.raw"});
  ASSERT_EQ(mkfifo((data.path() + "/lighterBase.m").c_str(), 0644), 0);
  fs::create_symlink("/dev/urandom", data.path() + "/lighterTop.m");
  fs::create_symlink("/dev/zero", data.path() + "/Data/Particle.raw");
  Lighter lighter({data.path()}, {"", /*captureErrors=*/true});
  ASSERT_TRUE(lighter.waitForWindow());
  lighter.click(kOutsideX, kOutsideY);
  ASSERT_TRUE(lighter.waitForOutput(kOutsideLine));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  const std::string out = lighter.output();
  for (const char* line :
       {"Could not read all 3072 bytes of Data/Particle.raw (got 0); the rest is black\n",
        "Reading coordinates from lighterBase.m\nCould not open file lighterBase.m\n",
        "Reading coordinates from lighterTop.m\nCould not open file lighterTop.m\n"}) {
    EXPECT_NE(out.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(lighter.errors(),
            "Data/Particle.raw: not a regular file (a character device)\n"
            "lighterBase.m: not a regular file (a FIFO)\n"
            "lighterTop.m: not a regular file (a character device)\n"
            "lighter: no vertices read from lighterBase.m or lighterTop.m: nothing is drawn\n");
}

TEST(Hostile, ATextureThatIsAFifoEndsTheProgramAsAMissingOne) {
  const support::TempDir data = e2e::copyDataSet({"silverTexture.bmp"});
  ASSERT_EQ(mkfifo((data.path() + "/silverTexture.bmp").c_str(), 0644), 0);
  Lighter lighter({data.path()}, {"", /*captureErrors=*/true});
  EXPECT_EQ(lighter.waitForExit(), 1);
  EXPECT_EQ(lighter.output(),
            "trying to load topTexture.bmp\ntrying to load baseTexture.bmp\n"
            "trying to load silverTexture.bmp\nFile Not Found : silverTexture.bmp\n");
  EXPECT_EQ(lighter.errors(), "silverTexture.bmp: not a regular file (a FIFO)\n");
}

// A texture without read permission. The tests run as root, which reads
// anything, so there the program runs as nobody (setpriv), for whom the
// permission bits count.
TEST(Hostile, AnUnreadableTextureIsNotFoundAndTheSystemSaysWhy) {
  const support::TempDir data = e2e::copyDataSet();
  fs::permissions(data.path(), fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec);
  fs::permissions(data.path() + "/silverTexture.bmp", fs::perms::none);
  Program p{"", /*captureErrors=*/true};
  if (geteuid() == 0) {
    p.wrapper = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    // nobody may not reach the build tree (a clone in a private directory),
    // so it runs a copy of the program that lies beside the data.
    p.binary = data.path() + "/lighter-copy";
    fs::copy_file(e2e::binaryPath(), p.binary);
    fs::permissions(p.binary, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
  }
  Lighter lighter({data.path()}, p);
  EXPECT_EQ(lighter.waitForExit(), 1);
  EXPECT_EQ(lighter.output(),
            "trying to load topTexture.bmp\ntrying to load baseTexture.bmp\n"
            "trying to load silverTexture.bmp\nFile Not Found : silverTexture.bmp\n");
  EXPECT_EQ(lighter.errors(), "silverTexture.bmp: Permission denied\n");
}

// Without the body, which frames both meshes, the lid is framed by its own
// size and stands in the middle of the window, and standard error says so.
TEST(Hostile, WithoutTheBodyTheLidShowsFramedByItsOwnSize) {
  const support::TempDir data = e2e::copyDataSet({"lighterBase.m"});
  Lighter lighter({data.path()}, {"", /*captureErrors=*/true});
  ASSERT_TRUE(lighter.waitForWindow());
  const view::Pixel centre = view::flameOrigin();
  const auto shot = lighter.waitForScreenshot(
      [](const Screenshot& s) { return s.countBrighter(300, 200, 500, 400, 300) > 10000; });
  ASSERT_TRUE(shot.has_value());
  EXPECT_GT(shot->atUp(static_cast<int>(centre.x), static_cast<int>(centre.y)).sum(), 300);
  // Nothing in the corners: the lid stands clear of the edges.
  EXPECT_EQ(shot->countBrighter(0, 0, 100, 100, 0), 0);
  EXPECT_EQ(shot->countBrighter(700, 500, 800, 600, 0), 0);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  EXPECT_EQ(lighter.errors(),
            "lighterBase.m: No such file or directory\n"
            "lighter: no vertices read from lighterBase.m, so the body is not drawn; the lid is "
            "drawn alone, framed by its own size\n");
}

// `lighter >/dev/full`: the failure is told once, at exit; "Exit" keeps its
// status 0.
TEST(Hostile, AFullDeviceIsReportedOnceAtExit) {
  Lighter lighter({}, inShell("exec >/dev/full"));
  ASSERT_TRUE(lighter.waitForWindow());
  lighter.click(kOutsideX, kOutsideY);
  lighter.click(kBodyX, kBodyY);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  EXPECT_EQ(lighter.errors(),
            "lighter: could not write standard output: No space left on device\n");
}

}  // namespace
