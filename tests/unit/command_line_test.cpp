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
