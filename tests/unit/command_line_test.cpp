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

}  // namespace
