#include "lighter/program.h"

#include <GL/glut.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "files/standard_streams.h"
#include "lighter/callbacks.h"
#include "lighter/command_line.h"
#include "lighter/interaction.h"
#include "lighter/keeping.h"
#include "lighter/model_cache.h"
#include "lighter/model_import.h"
#include "lighter/pointer.h"
#include "lighter/scene.h"
#include "lighter/startup.h"
#include "mesh/reader.h"

namespace {

// --help, --version and bad usage end here with their status; -1 runs on.
int answerWithoutRunning(const CommandLine& line) {
  switch (line.action) {
    case CommandAction::kHelp:
      std::cout << kUsage;
      return 0;
    case CommandAction::kVersion:
      std::cout << versionLine() << "\n";
      return 0;
    case CommandAction::kBadUsage:
      std::cerr << "lighter: " << line.problem << "\n\n" << kUsage;
      return 2;
    case CommandAction::kRun:
      break;
  }
  return -1;
}

[[noreturn]] void meshOutOfMemory(Scene& scene, const MeshMemoryError& e) {
  // The memory goes back first, so that nothing below runs short of it.
  scene.meshes = MeshState{};
  if (e.line > 0) {
    std::fprintf(stderr,
                 "lighter: %s does not fit in memory: stopped at line %ld, after reading %zu "
                 "vertices and %zu faces\n",
                 e.file, e.line, e.vertices, e.faces);
  } else {
    std::fprintf(stderr,
                 "lighter: %s does not fit in memory: read whole (%zu vertices and %zu faces), "
                 "but its vertex normals do not fit\n",
                 e.file, e.vertices, e.faces);
  }
  std::exit(1);  // flushes what start-up printed
}

// The directory the program runs in: the one named, or for a model file
// the data directory imported from it. Empty, with the reason said, when a
// model cannot be imported.
std::string dataDirectoryFor(const CommandLine& line, bool& isModel) {
  isModel = isModelFile(line.dataDir);
  return isModel ? openModel(line.dataDir, std::cerr) : line.dataDir;
}

// The directory the program was started in, before it moves into its data:
// where relative FILEs and pictures without a pictures folder go.
std::string callersDirectory() {
  std::vector<char> name(4096);
  while (::getcwd(name.data(), name.size()) == nullptr) {
    if (errno != ERANGE) return ".";
    name.resize(name.size() * 2);
  }
  return name.data();
}

// --mode: the mode is picked as the menu picks it, once start-up is done;
// --view: the camera, within what the model allows, once it is read.
void startInChosenMode(const CommandLine& line, Scene& scene) {
  if (line.meshMode != 0) processSubModeMenu(line.meshMode);
  if (line.startView) scene.view.orbit = view::limited(*line.startView, scene.view.stage);
}

}  // namespace

int runProgram(int argc, char** argv, void (*beforeLoop)()) {
  keepStandardDescriptorsOpen();
  watchStandardOutput("lighter");
  const CommandLine line = parseCommandLine(argc, argv);
  if (const int status = answerWithoutRunning(line); status >= 0) return status;
  if (!prepareKeeping(line, callersDirectory(), std::cerr)) return 1;
  // The program reads its files from its working directory. Without a
  // directory on the command line that is the caller's, as it always was;
  // the installed launcher names the data set installed with the program
  // (tools/launcher.sh.in), and so does tools/demo.sh with the one it built.
  bool isModel = false;
  const std::string dataDir = dataDirectoryFor(line, isModel);
  if (isModel && dataDir.empty()) return 1;
  if (!dataDir.empty() && ::chdir(dataDir.c_str()) != 0) {
    std::cerr << "lighter: cannot use " << dataDir
              << " as the data directory: " << std::strerror(errno) << "\n";
    return 1;
  }
  // The one scene, alive for the whole run: glutMainLoop never returns and
  // "Exit" ends the process without leaving this function. glutInit gets
  // GLUT's options only, in storage that lasts as long.
  static Scene scene;
  static std::vector<std::string> glutArgs = line.glutArgs;
  static std::vector<char*> glutArgv;
  for (std::string& arg : glutArgs) glutArgv.push_back(arg.data());
  glutArgv.push_back(nullptr);
  int glutArgc = static_cast<int>(glutArgs.size());

  setPointerDisplay(displayOption(line));  // for the check on a pick of "Exit"
  bufferStandardOutput();
  try {
    startUp(scene, &glutArgc, glutArgv.data(), std::cout, std::cerr);
  } catch (const MeshMemoryError& e) {
    meshOutOfMemory(scene, e);
  } catch (const std::bad_alloc&) {
    std::fputs("lighter: out of memory during start-up\n", stderr);
    std::exit(1);
  }
  if (isModel) processSubModeMenu(kLitModeValue);  // a model opened by its file shows in Lit
  lineBufferStandardOutput();
  startInChosenMode(line, scene);
  strikeAtStart(line.strikes);
  if (beforeLoop != nullptr) beforeLoop();
  glutMainLoop();
  return 0;
}
