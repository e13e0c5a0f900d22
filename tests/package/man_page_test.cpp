// The manual pages the package holds: they render without a warning, and
// each command's page agrees with the command's own usage text.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/package/package_files.h"
#include "tests/support/command.h"

namespace {
namespace fs = std::filesystem;
using package::lines;
using package::root;

// A line's words, one space apart.
std::string collapsed(const std::string& line) {
  std::istringstream in(line);
  std::string out;
  for (std::string word; in >> word;) out += (out.empty() ? "" : " ") + word;
  return out;
}

// The leading words of a line that are option names ("-o, --output DIR" gives -o, --output).
std::vector<std::string> optionNames(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> names;
  for (std::string word; in >> word && word[0] == '-';) {
    if (word.back() == ',') word.pop_back();
    names.push_back(word);
  }
  return names;
}

// A manual page rendered as text by man, its lines by section heading.
struct ManPage {
  std::string text;
  std::map<std::string, std::vector<std::string>> sections;
  // The synopsis lines, and the item headings of OPTIONS (man indents them
  // seven columns, their descriptions further).
  std::vector<std::string> synopsis() const;
  std::vector<std::string> optionHeadings() const;
};

ManPage render(const std::string& file) {
  ManPage page;
  // Wide and without hyphenation, so that no name is split across lines.
  page.text =
      support::run({"env", "MANWIDTH=120", "MANROFFOPT=-rHY=0", "man", "--local-file", file});
  std::string section;
  for (const auto& line : lines(page.text)) {
    if (!line.empty() && line[0] != ' ') {
      section = line;
    } else {
      page.sections[section].push_back(line);
    }
  }
  return page;
}

std::vector<std::string> ManPage::synopsis() const {
  std::vector<std::string> out;
  for (const auto& line : sections.at("SYNOPSIS")) {
    if (!collapsed(line).empty()) out.push_back(collapsed(line));
  }
  return out;
}

std::vector<std::string> ManPage::optionHeadings() const {
  std::vector<std::string> out;
  for (const auto& line : sections.at("OPTIONS")) {
    if (line.find_first_not_of(' ') == 7) out.push_back(collapsed(line));
  }
  return out;
}

// The page in the package with this file name ("lighter.6.gz").
std::string packagedPage(const std::string& name) {
  for (const auto& file : package::filesUnder(root() + "/usr/share/man")) {
    if (fs::path(file).filename() == name) return root() + "/usr/share/man" + file;
  }
  ADD_FAILURE() << "the package has no manual page " << name;
  return "";
}

// Checks a command's page against its usage text: the usage lines (up to
// the first empty line, "Usage:" left out) are the synopsis; every option of
// the text is an item of OPTIONS, and every item there is an option of the
// text or an operand of the synopsis; every data file the text names is on
// the page.
void expectAgreement(const ManPage& page, const std::string& usage) {
  const auto usageLines = lines(usage);
  std::vector<std::string> usageForms;
  for (const auto& line : usageLines) {
    if (collapsed(line).empty()) break;
    usageForms.push_back(std::regex_replace(collapsed(line), std::regex("^[Uu]sage: "), ""));
  }
  EXPECT_EQ(page.synopsis(), usageForms);

  std::set<std::string> usageOptions;
  for (const auto& line : usageLines) {
    if (collapsed(line).rfind('-', 0) == 0 && line[0] == ' ') {
      for (const auto& name : optionNames(line)) usageOptions.insert(name);
    }
  }
  std::set<std::string> pageOptions;
  std::string synopsis;
  for (const auto& form : usageForms) synopsis += form + "\n";
  for (const auto& heading : page.optionHeadings()) {
    const auto names = optionNames(heading);
    if (names.empty()) {
      EXPECT_NE(synopsis.find(heading), std::string::npos)
          << "OPTIONS explains " << heading << ", which the synopsis does not name";
    }
    for (const auto& name : names) {
      pageOptions.insert(name);
      EXPECT_EQ(usageOptions.count(name), 1u) << "the usage text has no option " << name;
    }
  }
  for (const auto& name : usageOptions) {
    EXPECT_EQ(pageOptions.count(name), 1u) << "OPTIONS does not explain " << name;
  }

  static const std::regex dataFile(R"([A-Za-z_/]+\.(m|bmp|raw)\b)");
  for (std::sregex_iterator it(usage.begin(), usage.end(), dataFile), end; it != end; ++it) {
    EXPECT_NE(page.text.find(it->str()), std::string::npos) << "the page never names " << it->str();
  }
}

TEST(ManPages, RenderWithoutWarnings) {
  int pages = 0;
  for (const auto& file : package::filesUnder(root() + "/usr/share/man")) {
    ++pages;
    const std::string path = root() + "/usr/share/man" + file;
    int status = -1;
    const std::string warnings = support::run(
        {"sh", "-c", "man --warnings --local-file \"$1\" 2>&1 >/dev/null", "sh", path}, &status);
    EXPECT_EQ(status, 0) << file;
    EXPECT_EQ(warnings, "") << file;
    EXPECT_FALSE(render(path).synopsis().empty()) << file;
  }
  EXPECT_GT(pages, 0);
}

// What a command of the package prints for --help (the packaged lighter
// goes through its launcher, as a user's does).
std::string usageOf(const std::string& command) {
  int status = -1;
  const std::string usage = support::run({root() + "/usr/bin/" + command, "--help"}, &status);
  EXPECT_EQ(status, 0) << command << " --help";
  return usage;
}

TEST(ManPages, LighterAgreesWithItsUsageText) {
  expectAgreement(render(packagedPage("lighter.6.gz")), usageOf("lighter"));
}

TEST(ManPages, LighterImportAgreesWithItsUsageText) {
  expectAgreement(render(packagedPage("lighter-import.1.gz")), usageOf("lighter-import"));
}

}  // namespace
