#include "lighter/command_line.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

const char kUsage[] =
    "Usage: lighter [GLUT-OPTION...] [--mode MODE] [DIRECTORY | MODEL]\n"
    "       lighter --help | --version\n"
    "       lighter [OPTION...] --screenshot FILE.png [--seconds N] [--strike N]\n"
    "       lighter [OPTION...] --record FILE.webp [--seconds N] [--strike N]\n"
    "\n"
    "Shows a pocket lighter in a window. Left-click its body to throw sparks,\n"
    "light the flame and put it out; the right button opens the menu (flame\n"
    "colours, wireframe, smooth or lit drawing, exit).\n"
    "\n"
    "Keys: Space turns the flint wheel (as a click on the body), W, S and L\n"
    "choose Wireframe, Smooth and Lit, C steps the flame colour (Yellow, Red,\n"
    "Green, Blue, Rotate), F toggles full screen, Q and Escape exit. F12 saves\n"
    "the window as a PNG picture and Shift+F12 starts and ends a clip of it (an\n"
    "animated WebP, 10 seconds at most), named lighter-YYYYMMDD-HHMMSS, in\n"
    "XDG_PICTURES_DIR of user-dirs.dirs, else ~/Pictures when it exists, else\n"
    "the directory lighter was started in.\n"
    "\n"
    "DIRECTORY holds the meshes and textures (lighterBase.m, lighterTop.m,\n"
    "topTexture.bmp, baseTexture.bmp, silverTexture.bmp, Data/Particle.raw);\n"
    "without it the installed lighter reads the data set installed with it,\n"
    "and a lighter run from its build tree reads the working directory.\n"
    "\n"
    "MODEL, a 3D model file (OBJ, STL, PLY, glTF, Collada, 3DS, OFF, ...), is\n"
    "imported with lighter-import's defaults and shown in Lit. The import is\n"
    "kept in $XDG_CACHE_HOME/lighter (~/.cache/lighter without it), named by\n"
    "the file's content and the importer's version, so the same file opens at\n"
    "once the next time and a changed one is imported anew. An import that\n"
    "takes more than half a second says so on standard error. A cache that\n"
    "cannot be written is said, and the import goes to a temporary directory\n"
    "removed at exit. The importer's errors end the program with status 1 and\n"
    "leave nothing in the cache.\n"
    "\n"
    "Each cache entry lists its files with their sizes and SHA-256; an entry\n"
    "that does not match (a file removed, cut short or changed) or lists\n"
    "nothing (an older cache's) is said and imported again. The cache keeps at\n"
    "most LIGHTER_CACHE_LIMIT MiB (1024 by default; 0 keeps nothing, importing\n"
    "into a temporary directory for each run), removing the least recently\n"
    "used entries first, never the one being opened. An import left by a\n"
    "lighter that was killed is removed at the next open, and SIGTERM, SIGINT\n"
    "or SIGHUP remove a temporary import.\n"
    "\n"
    "  --mode MODE start in the mesh mode MODE: wireframe, smooth or lit (the\n"
    "              menu's \"Mesh Modes\"); without it the lighter starts smooth,\n"
    "              flat-shaded and unlit\n"
    "  --screenshot FILE  save the first frame drawn as the PNG picture FILE,\n"
    "              then exit\n"
    "  --record FILE  record a clip of the window from the first frame as the\n"
    "              animated WebP FILE, then exit\n"
    "  --seconds N with --record the clip's length (default 10), with\n"
    "              --screenshot when the picture is taken (default at once);\n"
    "              N up to 60, fractions allowed\n"
    "  --strike N  turn the flint wheel N times, as Space does, half a second\n"
    "              apart from half a second after the first frame (3 lights\n"
    "              the flame)\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n";

namespace {

// freeglut's options: two take a value, the rest stand alone.
bool isGlutOptionWithValue(const char* arg) {
  return std::strcmp(arg, "-display") == 0 || std::strcmp(arg, "-geometry") == 0;
}

bool isGlutFlag(const char* arg) {
  for (const char* flag : {"-direct", "-indirect", "-iconic", "-gldebug", "-sync"}) {
    if (std::strcmp(arg, flag) == 0) return true;
  }
  return false;
}

// --mode NAME or --mode=NAME; `i` moves past a separate value. False when
// `arg` is not the option at all.
bool takeModeOption(int argc, const char* const* argv, int& i, CommandLine& line) {
  const char* arg = argv[i];
  const char* name = nullptr;
  if (std::strcmp(arg, "--mode") == 0) {
    if (i + 1 == argc) {
      line.problem = "option --mode needs a value";
      return true;
    }
    name = argv[++i];
  } else if (std::strncmp(arg, "--mode=", 7) == 0) {
    name = arg + 7;
  } else {
    return false;
  }
  line.meshMode = meshModeNamed(name);
  if (line.meshMode == 0) {
    line.problem = std::string("unknown mode ") + name + " (wireframe, smooth or lit)";
  }
  return true;
}

// --NAME VALUE or --NAME=VALUE; `i` moves past a separate value. Null when
// `arg` is not the option; `missing` is set when its value is.
const char* optionValue(const char* name, int argc, const char* const* argv, int& i,
                        bool& missing) {
  const char* arg = argv[i];
  const size_t length = std::strlen(name);
  if (std::strncmp(arg, name, length) != 0) return nullptr;
  if (arg[length] == '=') return arg + length + 1;
  if (arg[length] != '\0') return nullptr;
  if (i + 1 == argc) {
    missing = true;
    return "";
  }
  return argv[++i];
}

// A number of seconds, above 0 and at most kMostSeconds, in milliseconds;
// -1 for anything else.
int secondsIn(const char* text) {
  char* end = nullptr;
  const double seconds = std::strtod(text, &end);
  if (end == text || *end != '\0' || !std::isfinite(seconds) || seconds <= 0 ||
      seconds > kMostSeconds) {
    return -1;
  }
  return std::max(1, static_cast<int>(std::lround(seconds * 1000.0)));
}

// A whole number from 0 to kMostStrikes; -1 for anything else.
int strikesIn(const char* text) {
  char* end = nullptr;
  const long n = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || n < 0 || n > kMostStrikes) return -1;
  return static_cast<int>(n);
}

// --screenshot, --record, --seconds and --strike. False when `arg` is none
// of them; `line.problem` says what is wrong with one.
bool takeCaptureOption(int argc, const char* const* argv, int& i, CommandLine& line) {
  bool missing = false;
  const char* value = nullptr;
  const char* name = nullptr;
  for (const char* option : {"--screenshot", "--record", "--seconds", "--strike"}) {
    value = optionValue(option, argc, argv, i, missing);
    if (value != nullptr) {
      name = option;
      break;
    }
  }
  if (name == nullptr) return false;
  const std::string option = name;
  if (missing || (*value == '\0' && option != "--seconds" && option != "--strike")) {
    line.problem = "option " + option + " needs a value";
  } else if (option == "--screenshot") {
    line.screenshotFile = value;
  } else if (option == "--record") {
    line.recordFile = value;
  } else if (option == "--seconds") {
    line.secondsMs = secondsIn(value);
    if (line.secondsMs < 0) {
      line.problem = std::string("--seconds takes a number of seconds above 0 and up to ") +
                     std::to_string(kMostSeconds) + ", not " + value;
    }
  } else {
    line.strikes = strikesIn(value);
    if (line.strikes < 0) {
      line.problem = std::string("--strike takes a whole number from 0 to ") +
                     std::to_string(kMostStrikes) + ", not " + value;
    }
  }
  return true;
}

// What the capture options mean together; empty when they make sense.
std::string captureProblem(const CommandLine& line) {
  if (!line.screenshotFile.empty() && !line.recordFile.empty()) {
    return "--screenshot and --record cannot be given together";
  }
  if (line.secondsMs >= 0 && line.screenshotFile.empty() && line.recordFile.empty()) {
    return "--seconds needs --screenshot or --record";
  }
  return "";
}

CommandLine badUsage(std::string problem) {
  CommandLine line;
  line.action = CommandAction::kBadUsage;
  line.problem = std::move(problem);
  return line;
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
  CommandLine line;
  line.glutArgs.push_back(argc > 0 && argv[0] != nullptr ? argv[0] : "lighter");
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const bool option = !optionsEnded && arg[0] == '-' && arg[1] != '\0';
    if (!option) {
      line.dataDir = arg;
    } else if (std::strcmp(arg, "--help") == 0) {
      line.action = CommandAction::kHelp;
      return line;
    } else if (std::strcmp(arg, "--version") == 0) {
      line.action = CommandAction::kVersion;
      return line;
    } else if (takeModeOption(argc, argv, i, line) || takeCaptureOption(argc, argv, i, line)) {
      if (!line.problem.empty()) return badUsage(line.problem);
    } else if (std::strcmp(arg, "--") == 0) {
      optionsEnded = true;
    } else if (isGlutFlag(arg)) {
      line.glutArgs.push_back(arg);
    } else if (isGlutOptionWithValue(arg)) {
      if (i + 1 == argc) return badUsage(std::string("option ") + arg + " needs a value");
      line.glutArgs.push_back(arg);
      line.glutArgs.push_back(argv[++i]);
    } else {
      return badUsage(std::string("unknown option ") + arg);
    }
  }
  if (std::string problem = captureProblem(line); !problem.empty()) return badUsage(problem);
  return line;
}

std::string displayOption(const CommandLine& line) {
  std::string name;
  for (size_t i = 1; i + 1 < line.glutArgs.size(); ++i) {
    if (line.glutArgs[i] == "-display") name = line.glutArgs[i + 1];
  }
  return name;
}

int meshModeNamed(const char* name) {
  const char* const names[] = {"wireframe", "smooth", "lit"};
  for (int i = 0; i < 3; ++i) {
    if (std::strcmp(name, names[i]) == 0) return i + 1;
  }
  return 0;
}

std::string versionLine() { return std::string("lighter ") + LIGHTER_VERSION; }
