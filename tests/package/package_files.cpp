#include "tests/package/package_files.h"

#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "tests/support/command.h"

namespace package {
namespace fs = std::filesystem;

std::string debPath() {
  std::vector<std::string> debs;
  for (const auto& entry : fs::directory_iterator(std::string(LIGHTER_PACKAGE_DIR) + "/cpack")) {
    if (entry.path().extension() == ".deb") debs.push_back(entry.path());
  }
  if (debs.size() != 1) throw std::runtime_error("expected one .deb from package.make");
  return debs.front();
}

std::string root() { return std::string(LIGHTER_PACKAGE_DIR) + "/root"; }
std::string stageDir() { return std::string(LIGHTER_PACKAGE_DIR) + "/stage"; }

std::vector<std::string> installManifest() {
  return lines(support::readFile(std::string(LIGHTER_PACKAGE_DIR) + "/install_manifest.txt"));
}

std::vector<std::string> filesUnder(const std::string& dir) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_directory() || entry.is_symlink()) {
      files.push_back("/" + fs::relative(entry.path(), dir).string());
    }
  }
  return files;
}

Outcome runTool(const std::vector<std::string>& argv) {
  std::vector<std::string> shell = {"sh", "-c", "exec \"$@\" 2>&1", "sh"};
  shell.insert(shell.end(), argv.begin(), argv.end());
  Outcome outcome;
  outcome.output = support::run(shell, &outcome.status);
  return outcome;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

}  // namespace package
