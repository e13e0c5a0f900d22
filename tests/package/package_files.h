// What the packaging tests read: the package the fixture package.make made
// (make_package.sh), its extracted tree, and the output of the checking tools.
#pragma once

#include <string>
#include <vector>

namespace package {

// The .deb, its contents extracted, and the install that the package is
// checked against: its staging directory and the files it installed, as
// paths under the prefix ("/usr/bin/lighter").
std::string debPath();
std::string root();
std::string stageDir();
std::vector<std::string> installManifest();

// Every regular file and link under `dir`, as a path from `dir` ("/usr/bin/lighter").
std::vector<std::string> filesUnder(const std::string& dir);

// A command's exit status and what it wrote on standard output and error together.
struct Outcome {
  int status = -1;
  std::string output;
};
Outcome runTool(const std::vector<std::string>& argv);

std::vector<std::string> lines(const std::string& text);

}  // namespace package
