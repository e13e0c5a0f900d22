// The command line of lighter-import.
#pragma once

#include <string>
#include <vector>

#include "importer/pipeline.h"

namespace importer {

struct CommandLine {
  enum class Outcome {
    Run,         // options holds what to do
    Help,        // --help: print the usage on standard output
    Version,     // --version: print the version on standard output
    BadUsage,    // message, then the usage; exit status 2
    BadRequest,  // message only (a lid without a body); exit status 1
  };
  Outcome outcome = Outcome::Run;
  Options options;
  std::string message;
};

// `arguments` without the program's name.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string usageText();

}  // namespace importer
