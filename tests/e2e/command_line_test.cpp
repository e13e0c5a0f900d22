// The program's command line: a data directory, --help, --version, and what
// it says about a directory or an option it cannot use.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/e2e/harness.h"

namespace {

namespace fs = std::filesystem;

// Runs the program without a display; `stream` 1 or 2 is the one returned.
std::string runWithoutDisplay(const std::vector<std::string>& args, int stream, int* status) {
  std::vector<std::string> argv = {
      "sh", "-c",
      stream == 1 ? "exec \"$0\" \"$@\" 2>/dev/null" : "exec \"$0\" \"$@\" 2>&1 >/dev/null",
      e2e::binaryPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  argv.insert(argv.begin(), {"env", "-u", "DISPLAY"});
  return support::run(argv, status);
}

TEST(CommandLine, RunsOnTheDirectoryItIsGivenRelativeToTheCallers) {
  const support::TempDir data = e2e::copyDataSet();
  const support::TempDir elsewhere("lighter-caller");
  const std::string relative = fs::relative(data.path(), elsewhere.path()).string();
  ASSERT_EQ(relative.rfind("..", 0), 0u);
  e2e::Program program;
  program.args = {relative};
  e2e::Lighter lighter({elsewhere.path()}, program);
  ASSERT_TRUE(lighter.waitForWindow());
  EXPECT_TRUE(lighter.waitForScreenshot([](const e2e::Screenshot& s) {
    return s.atUp(400, 150).sum() > 300;  // the body, in the click rectangle
  }));
  lighter.click(700, 50);
  EXPECT_TRUE(lighter.waitForOutput("mouse clicked at 700 549\n"));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  const std::string out = lighter.output();
  EXPECT_NE(out.find("trying to load silverTexture.bmp\n"), std::string::npos);
  EXPECT_EQ(out.find("Could not"), std::string::npos);
}

// The installed launcher, in a tree moved after installing: the shipped data
// set without an argument, the user's directory with one.
TEST(CommandLine, TheMovedInstalledLauncherRunsOnTheShippedSetOrTheOneGiven) {
  const support::TempDir root("lighter-install");
  int status = -1;
  support::run({"cmake", "--install", LIGHTER_BUILD_DIR, "--prefix", root.path() + "/installed"},
               &status);
  ASSERT_EQ(status, 0);
  fs::rename(root.path() + "/installed", root.path() + "/moved");
  const support::TempDir noLid = e2e::copyDataSet({"lighterTop.m"});
  for (const bool named : {false, true}) {
    e2e::Program launcher(root.path() + "/moved/bin/lighter");
    if (named) launcher.args = {noLid.path()};
    e2e::Lighter lighter({root.path()}, launcher);
    ASSERT_TRUE(lighter.waitForWindow());
    lighter.click(700, 50);
    EXPECT_TRUE(lighter.waitForOutput("mouse clicked at 700 549\n"));
    EXPECT_EQ(lighter.exitThroughMenu(), 0);
    const std::string out = lighter.output();
    EXPECT_NE(out.find("Reading coordinates from lighterTop.m\n"), std::string::npos);
    EXPECT_EQ(out.find("Could not open file lighterTop.m") != std::string::npos, named) << named;
  }
}

TEST(CommandLine, HelpAndVersionNeedNoDisplay) {
  int status = -1;
  EXPECT_EQ(runWithoutDisplay({"--version"}, 1, &status), "lighter " LIGHTER_PROJECT_VERSION "\n");
  EXPECT_EQ(status, 0);
  const std::string help = runWithoutDisplay({"-sync", "--help", "somewhere"}, 1, &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(help.rfind("Usage: lighter [GLUT-OPTION...] [--mode MODE] [--view AZ,EL[,DIST]] "
                       "[DIRECTORY | MODEL]\n"
                       "       lighter --help | --version\n",
                       0),
            0u)
      << help;
  EXPECT_NE(help.find("\n  --version   show the version and exit\n"), std::string::npos);
}

TEST(CommandLine, ADirectoryItCannotUseIsOneLineAndStatusOne) {
  // (A regular file itself is a model to import.)
  const std::string file = e2e::dataDir() + "/lighterBase.m/below";
  for (const auto& [dir, reason] :
       {std::pair<std::string, std::string>{"/no/such/dir", "No such file or directory"},
        {file, "Not a directory"}}) {
    int status = -1;
    EXPECT_EQ(runWithoutDisplay({dir}, 2, &status),
              "lighter: cannot use " + dir + " as the data directory: " + reason + "\n");
    EXPECT_EQ(status, 1);
  }
}

TEST(CommandLine, AnUnknownOptionIsBadUsage) {
  int status = -1;
  const std::string errors = runWithoutDisplay({"--colour"}, 2, &status);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(errors.rfind("lighter: unknown option --colour\n\nUsage: lighter ", 0), 0u) << errors;
  const std::string mode = runWithoutDisplay({"--mode", "shiny"}, 2, &status);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(mode.rfind("lighter: unknown mode shiny (wireframe, smooth or lit)\n\nUsage: ", 0), 0u)
      << mode;
}

// --mode wireframe starts as the menu's "Wireframe" leaves it: blue outlines only.
TEST(CommandLine, ModeWireframeStartsInWireframe) {
  e2e::Program program;
  program.args = {"--mode", "wireframe"};
  e2e::Lighter lighter({}, program);
  ASSERT_TRUE(lighter.waitForWindow(support::Seconds(60)));
  const auto shot = lighter.waitForScreenshot(
      [](const e2e::Screenshot& s) { return s.countBrighter(280, 300, 500, 595, 0) > 1000; });
  ASSERT_TRUE(shot.has_value());
  for (size_t i = 0; i < shot->rgb.size(); i += 3) {
    ASSERT_EQ(shot->rgb[i] + shot->rgb[i + 1], 0) << "a pixel other than blue at " << i / 3;
  }
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

}  // namespace
