// lighter-import: a 3D model file to a data directory the program runs in.
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "files/standard_streams.h"
#include "importer/options.h"
#include "importer/pipeline.h"
#include "importer/records.h"

namespace {

int run(int argc, char** argv) {
  using importer::CommandLine;
  const CommandLine command = importer::parseCommandLine({argv + 1, argv + argc});
  switch (command.outcome) {
    case CommandLine::Outcome::Help:
      std::cout << importer::usageText();
      return 0;
    case CommandLine::Outcome::Version:
      std::cout << "lighter-import " << LIGHTER_VERSION << "\n";
      return 0;
    case CommandLine::Outcome::BadUsage:
      std::cerr << "lighter-import: " << command.message << "\n\n" << importer::usageText();
      return 2;
    case CommandLine::Outcome::BadRequest:
      std::cerr << "lighter-import: " << command.message << "\n";
      return 1;
    case CommandLine::Outcome::Run:
      break;
  }
  try {
    const importer::Summary summary = importer::runImport(command.options, std::cout);
    std::cout.flush();
    for (const std::string& warning : summary.warnings) {
      std::cerr << "lighter-import: warning: " << warning << "\n";
    }
    importer::printSummary(summary, std::cout);
  } catch (const importer::ImportError& e) {
    std::cout.flush();
    std::cerr << "lighter-import: " << e.what() << "\n";
    return 1;
  } catch (const std::bad_alloc&) {
    std::cout.flush();
    std::cerr << "lighter-import: out of memory (try a smaller model)\n";
    return 1;
  } catch (const std::filesystem::filesystem_error& e) {
    std::cout.flush();
    std::cerr << "lighter-import: " << e.what() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "lighter-import: internal error: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  keepStandardDescriptorsOpen();
  watchStandardOutput("lighter-import");
  const int status = run(argc, argv);
  // With its report lost (a full disk), the command has not done its job.
  return standardOutputFailed() && status == 0 ? 1 : status;
}
