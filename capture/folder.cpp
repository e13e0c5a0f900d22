// Names of pictures and clips, and the folder they go into.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "capture/capture.h"

namespace {

constexpr char kPicturesKey[] = "XDG_PICTURES_DIR";

bool isDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The text between the double quotes at `at`, its backslash escapes undone;
// nothing when the closing quote is missing.
std::optional<std::string> quoted(const std::string& line, size_t at) {
  if (at >= line.size() || line[at] != '"') return std::nullopt;
  std::string value;
  for (size_t i = at + 1; i < line.size(); ++i) {
    if (line[i] == '"') return value;
    if (line[i] == '\\' && i + 1 < line.size()) ++i;
    value += line[i];
  }
  return std::nullopt;
}

size_t skipBlanks(const std::string& line, size_t at) {
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  return at;
}

// The folder one line sets, if it is an assignment of the pictures folder in
// one of the two forms the file allows.
std::optional<std::string> picturesDirOfLine(const std::string& line, const std::string& home) {
  size_t at = skipBlanks(line, 0);
  if (line.compare(at, sizeof kPicturesKey - 1, kPicturesKey) != 0) return std::nullopt;
  at = skipBlanks(line, at + sizeof kPicturesKey - 1);
  if (at >= line.size() || line[at] != '=') return std::nullopt;
  const std::optional<std::string> value = quoted(line, skipBlanks(line, at + 1));
  if (!value) return std::nullopt;
  std::string dir;
  if (value->rfind("$HOME", 0) == 0 && (value->size() == 5 || (*value)[5] == '/')) {
    dir = home + value->substr(5);
  } else if (!value->empty() && (*value)[0] == '/') {
    dir = *value;
  } else {
    return std::nullopt;
  }
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

}  // namespace

std::string captureStem(const std::tm& t) {
  char name[64];
  std::snprintf(name, sizeof name, "lighter-%04d%02d%02d-%02d%02d%02d", t.tm_year + 1900,
                t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return name;
}

std::string numberedName(const std::string& stem, int n, const std::string& extension) {
  return n <= 1 ? stem + extension : stem + "-" + std::to_string(n) + extension;
}

std::optional<std::string> picturesDirFromUserDirs(const std::string& text,
                                                   const std::string& home) {
  std::optional<std::string> dir;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (auto set = picturesDirOfLine(line, home)) dir = std::move(set);
  }
  return dir;
}

std::string userDirsPath(const char* xdgConfigHome, const char* home) {
  if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
    return std::string(xdgConfigHome) + "/user-dirs.dirs";
  }
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/user-dirs.dirs";
  return "";
}

std::string chooseCaptureFolder(const FolderFacts& facts) {
  if (facts.userDirs) {
    if (auto dir = picturesDirFromUserDirs(*facts.userDirs, facts.home)) return *dir;
  }
  if (facts.homePicturesExists) return facts.home + "/Pictures";
  return facts.workingDir;
}

FolderFacts folderFactsNow(const std::string& workingDir) {
  FolderFacts facts;
  const char* home = std::getenv("HOME");
  facts.home = home != nullptr ? home : "";
  const std::string userDirs = userDirsPath(std::getenv("XDG_CONFIG_HOME"), home);
  std::ifstream file(userDirs);
  if (!userDirs.empty() && file) {
    std::ostringstream text;
    text << file.rdbuf();
    facts.userDirs = text.str();
  }
  facts.homePicturesExists = !facts.home.empty() && isDirectory(facts.home + "/Pictures");
  facts.workingDir = workingDir;
  return facts;
}
