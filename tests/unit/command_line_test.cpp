// The command line sorted into GLUT's options, the data directory, --help,
// --version and bad usage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lighter/command_line.h"

namespace {

CommandLine parse(std::vector<const char*> args) {
  args.insert(args.begin(), "lighter");
  return parseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, GlutOptionsKeepTheirValuesAndTheDirectoryIsTheRest) {
  const CommandLine line = parse({"-display", ":3", "-sync", "data", "-geometry", "100x100+0+0"});
  EXPECT_EQ(line.action, CommandAction::kRun);
  EXPECT_EQ(line.dataDir, "data");
  EXPECT_EQ(line.glutArgs, (std::vector<std::string>{"lighter", "-display", ":3", "-sync",
                                                     "-geometry", "100x100+0+0"}));
}

TEST(CommandLine, NoDirectoryMeansTheWorkingOneAndTheLastDirectoryCounts) {
  EXPECT_EQ(parse({}).dataDir, "");
  // The launcher names the shipped data set first; the user's comes later.
  EXPECT_EQ(parse({"/usr/share/lighter", "mine"}).dataDir, "mine");
  EXPECT_EQ(parse({"--", "-odd-name"}).dataDir, "-odd-name");
}

TEST(CommandLine, HelpOrVersionDecidesWhateverElseIsThere) {
  EXPECT_EQ(parse({"data", "--help", "--bogus"}).action, CommandAction::kHelp);
  EXPECT_EQ(parse({"--version", "--help"}).action, CommandAction::kVersion);
  EXPECT_EQ(versionLine(), "lighter " LIGHTER_PROJECT_VERSION);
}

TEST(CommandLine, UnknownOptionsAndMissingValuesAreBadUsage) {
  EXPECT_EQ(parse({"--colour"}).problem, "unknown option --colour");
  EXPECT_EQ(parse({"-x"}).action, CommandAction::kBadUsage);
  const CommandLine missing = parse({"-display"});
  EXPECT_EQ(missing.action, CommandAction::kBadUsage);
  EXPECT_EQ(missing.problem, "option -display needs a value");
}

TEST(CommandLine, ModePicksTheStartEntryOfMeshModes) {
  EXPECT_EQ(parse({}).meshMode, 0);  // the usual start
  EXPECT_EQ(parse({"--mode", "wireframe"}).meshMode, 1);
  EXPECT_EQ(parse({"--mode", "smooth", "data"}).meshMode, 2);
  const CommandLine lit = parse({"-sync", "--mode=lit", "data"});
  EXPECT_EQ(lit.action, CommandAction::kRun);
  EXPECT_EQ(lit.meshMode, 3);
  EXPECT_EQ(lit.dataDir, "data");
  EXPECT_EQ(lit.glutArgs, (std::vector<std::string>{"lighter", "-sync"}));
  EXPECT_EQ(parse({"--mode", "lit", "--mode", "smooth"}).meshMode, 2);  // the last counts
  // After "--" it is a directory.
  EXPECT_EQ(parse({"--", "--mode"}).dataDir, "--mode");
}

TEST(CommandLine, ModeWithoutAKnownNameIsBadUsage) {
  EXPECT_EQ(parse({"--mode"}).problem, "option --mode needs a value");
  EXPECT_EQ(parse({"--mode", "Lit"}).problem, "unknown mode Lit (wireframe, smooth or lit)");
  EXPECT_EQ(parse({"--mode="}).action, CommandAction::kBadUsage);
  EXPECT_EQ(parse({"--modes"}).problem, "unknown option --modes");
}

TEST(CommandLine, ViewStartsTheCameraElsewhere) {
  EXPECT_FALSE(parse({}).startView.has_value());
  const CommandLine side = parse({"--view", "90,0", "data"});
  ASSERT_TRUE(side.startView.has_value());
  EXPECT_EQ(side.startView->azimuth, 90.0);
  EXPECT_EQ(side.startView->elevation, 0.0);
  EXPECT_EQ(side.startView->distance, 1.0);
  EXPECT_EQ(side.dataDir, "data");
  const CommandLine far = parse({"--view=-30.5,-60,4"});
  ASSERT_TRUE(far.startView.has_value());
  EXPECT_EQ(far.startView->azimuth, -30.5);
  EXPECT_EQ(far.startView->elevation, -60.0);
  EXPECT_EQ(far.startView->distance, 4.0);
  EXPECT_EQ(parse({"--view", "400,80,0.125"}).startView->azimuth, 400.0);  // turned round later
}

TEST(CommandLine, ViewWithoutTwoOrThreeNumbersInTheLimitsIsBadUsage) {
  const std::string form = " (AZIMUTH,ELEVATION[,DISTANCE]: degrees, and a factor)";
  EXPECT_EQ(parse({"--view"}).problem, "option --view needs a value");
  for (const char* bad : {"90", "90,", ",0", "1,2,3,4", "a,b", "90,0,x", " 90,0", "90,0x", "nan,0",
                          "inf,0", "90;0", ""}) {
    const CommandLine line = parse({"--view", bad});
    EXPECT_EQ(line.action, CommandAction::kBadUsage) << bad;
    EXPECT_EQ(line.problem, std::string("bad view ") + bad + form) << bad;
  }
  EXPECT_EQ(parse({"--view", "0,80.5"}).problem, "view elevation 80.5 is beyond -60 to 80 degrees");
  EXPECT_EQ(parse({"--view", "0,-61"}).problem, "view elevation -61 is beyond -60 to 80 degrees");
  EXPECT_EQ(parse({"--view", "0,0,0"}).problem, "view distance 0 is beyond 0.125 to 4");
  EXPECT_EQ(parse({"--view", "0,0,4.01"}).problem, "view distance 4.01 is beyond 0.125 to 4");
}

}  // namespace

namespace {

TEST(CommandLine, ScreenshotRecordSecondsAndStrikeComposeWithTheOtherOptions) {
  const CommandLine shot = parse({"--mode", "lit", "--screenshot", "a.png", "--strike=3", "data"});
  EXPECT_EQ(shot.action, CommandAction::kRun);
  EXPECT_EQ(shot.screenshotFile, "a.png");
  EXPECT_EQ(shot.secondsMs, -1);  // the first frame
  EXPECT_EQ(shot.strikes, 3);
  EXPECT_EQ(shot.meshMode, 3);
  EXPECT_EQ(shot.dataDir, "data");
  const CommandLine clip = parse({"--record=f.webp", "--seconds", "6", "-sync"});
  EXPECT_EQ(clip.recordFile, "f.webp");
  EXPECT_EQ(clip.secondsMs, 6000);
  EXPECT_EQ(clip.glutArgs, (std::vector<std::string>{"lighter", "-sync"}));
  EXPECT_EQ(parse({"--screenshot", "a.png", "--seconds", "2.25"}).secondsMs, 2250);
  EXPECT_EQ(parse({"--strike", "2"}).strikes, 2);  // also without a capture
  EXPECT_EQ(parse({}).strikes, 0);
}

TEST(CommandLine, CaptureOptionsWithoutSenseAreBadUsage) {
  const struct {
    std::vector<const char*> args;
    const char* problem;
  } cases[] = {
      {{"--screenshot"}, "option --screenshot needs a value"},
      {{"--record="}, "option --record needs a value"},
      {{"--screenshot", "a.png", "--record", "b.webp"},
       "--screenshot and --record cannot be given together"},
      {{"--seconds", "3"}, "--seconds needs --screenshot or --record"},
      {{"--record", "f.webp", "--seconds", "0"},
       "--seconds takes a number of seconds above 0 and up to 60, not 0"},
      {{"--record", "f.webp", "--seconds", "61"},
       "--seconds takes a number of seconds above 0 and up to 60, not 61"},
      {{"--record", "f.webp", "--seconds", "2s"},
       "--seconds takes a number of seconds above 0 and up to 60, not 2s"},
      {{"--strike", "-1"}, "--strike takes a whole number from 0 to 20, not -1"},
      {{"--strike", "21"}, "--strike takes a whole number from 0 to 20, not 21"},
      {{"--strike", "1.5"}, "--strike takes a whole number from 0 to 20, not 1.5"},
  };
  for (const auto& c : cases) {
    const CommandLine line = parse(c.args);
    EXPECT_EQ(line.action, CommandAction::kBadUsage) << c.problem;
    EXPECT_EQ(line.problem, c.problem);
  }
}

}  // namespace
