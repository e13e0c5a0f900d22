// lighter-import's command line as parsed, in this process: each way of
// writing an option, the defaults the help states, and values refused as
// usage errors (status 2) before any model is read.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "importer/options.h"
#include "importer/pipeline.h"

namespace {

using importer::CommandLine;

CommandLine parse(const std::vector<std::string>& arguments) {
  return importer::parseCommandLine(arguments);
}

TEST(ImportOptions, ValuesJoinedByEqualsOrGivenApartMeanTheSame) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"m.obj", "--max-faces=500", "--output=out dir", "--turn=-12.5", "--up=-z"},
           {"--max-faces", "500", "m.obj", "--output", "out dir", "--turn", "-12.5", "--up", "-z"},
           {"-oout dir", "--max-faces", "500", "--turn", "-12.5", "--up", "-Z", "m.obj"}}) {
    const CommandLine c = parse(args);
    ASSERT_EQ(c.outcome, CommandLine::Outcome::Run) << c.message;
    EXPECT_EQ(c.options.body, "m.obj");
    EXPECT_EQ(c.options.maxFaces, 500u);
    EXPECT_EQ(c.options.output, "out dir");
    EXPECT_EQ(c.options.turnDegrees, -12.5);
    ASSERT_TRUE(c.options.up.has_value());
    EXPECT_EQ(c.options.up->axis, 2);
    EXPECT_EQ(c.options.up->sign, -1);
  }
  const CommandLine lid = parse({"--lid=l.ply", "--texture=t.png", "b.stl", "--force", "-v"});
  EXPECT_EQ(lid.options.lid, "l.ply");
  EXPECT_EQ(lid.options.texture, "t.png");
  EXPECT_TRUE(lid.options.force);
  EXPECT_TRUE(lid.options.verbose);
  // After "--" everything is a model, also what looks like an option.
  EXPECT_EQ(parse({"--", "-odd.obj"}).options.body, "-odd.obj");
}

TEST(ImportOptions, DefaultsAreTheOnesTheHelpStates) {
  const CommandLine c = parse({"m.obj"});
  ASSERT_EQ(c.outcome, CommandLine::Outcome::Run);
  std::smatch stated;
  const std::string help = importer::usageText();
  ASSERT_TRUE(std::regex_search(help, stated, std::regex("--max-faces N .*\\(default ([0-9]+);")));
  EXPECT_EQ(std::to_string(c.options.maxFaces), stated[1].str());
  EXPECT_EQ(c.options.maxFaces, 20000u);
  EXPECT_EQ(c.options.turnDegrees, 0.0);
  EXPECT_FALSE(c.options.up.has_value());
  EXPECT_FALSE(c.options.force);
  EXPECT_EQ(c.options.output, "");
}

TEST(ImportOptions, ValuesThatAreNoNumberOrNoAxisAreUsageErrors) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  for (const Case& k :
       std::vector<Case>{{{"m.obj", "--turn", "inf"}, "--turn takes degrees, not \"inf\""},
                         {{"m.obj", "--turn=nan"}, "--turn takes degrees, not \"nan\""},
                         {{"m.obj", "--turn", "-inf"}, "--turn takes degrees"},
                         {{"m.obj", "--turn", "1e400"}, "--turn takes degrees"},
                         {{"m.obj", "--turn", "12deg"}, "--turn takes degrees"},
                         {{"m.obj", "--max-faces=-1"}, "--max-faces takes a number"},
                         {{"m.obj", "--max-faces", "2000000000"}, "--max-faces takes a number"},
                         {{"m.obj", "--up", "w"}, "--up takes x, y, z"},
                         {{"m.obj", "--colour=red"}, "unknown option --colour"},
                         {{"m.obj", "-q"}, "unknown option -q"},
                         {{"m.obj", "--lid"}, "--lid needs a value"},
                         {{"m.obj", "-o"}, "-o needs a value"},
                         {{"a.obj", "b.obj"}, "one body model at a time"},
                         {{}, "no model named"}}) {
    const CommandLine c = parse(k.args);
    EXPECT_EQ(c.outcome, CommandLine::Outcome::BadUsage) << k.message;
    EXPECT_EQ(c.message.rfind(k.message, 0), 0u) << c.message;
  }
  const CommandLine lidAlone = parse({"--lid", "l.obj"});
  EXPECT_EQ(lidAlone.outcome, CommandLine::Outcome::BadRequest);
  EXPECT_EQ(parse({"m.obj", "--help"}).outcome, CommandLine::Outcome::Help);
  EXPECT_EQ(parse({"--version"}).outcome, CommandLine::Outcome::Version);
}

// What the shell makes of `word`: the oracle for the quoting.
std::string throughTheShell(const std::string& word) {
  std::unique_ptr<FILE, int (*)(FILE*)> shell(popen(("printf '%s' " + word).c_str(), "r"), pclose);
  std::string out;
  char buffer[256];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, shell.get())) > 0;)
    out.append(buffer, n);
  return out;
}

TEST(ImportSummary, RunItLineStartsTheModelInLitWithTheDirectoryQuotedForTheShell) {
  for (const std::string name :
       {"out", "./lighter-data-duck", "my models/duck", "it's", "$HOME", "a;rm -rf b", "*", "",
        "tab\there", "-dash", "back\\slash", "\"q\""}) {
    importer::Summary summary;
    summary.directory = name;
    std::ostringstream out;
    importer::printSummary(summary, out);
    const std::string text = out.str();
    const std::string prefix = "Run it:  lighter --mode lit ";
    const size_t at = text.find(prefix);
    ASSERT_NE(at, std::string::npos) << text;
    const std::string word = text.substr(at + prefix.size(), text.size() - at - prefix.size() - 1);
    // A name that starts like an option is given as ./NAME, the same directory.
    EXPECT_EQ(throughTheShell(word), name.rfind('-', 0) == 0 ? "./" + name : name) << word;
  }
}

}  // namespace
