#include "lighter/command_line.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char kUsage[] =
    "Usage: lighter [GLUT-OPTION...] [--mode MODE] [--view AZ,EL[,DIST]] [DIRECTORY | MODEL]\n"
    "       lighter --help | --version\n"
    "       lighter [OPTION...] --screenshot FILE.png [--seconds N] [--strike N]\n"
    "       lighter [OPTION...] --record FILE.webp [--seconds N] [--strike N]\n"
    "\n"
    "Shows a pocket lighter in a window. Left-click its body to throw sparks,\n"
    "light the flame and put it out; the right button opens the menu (flame\n"
    "colours, wireframe, smooth or lit drawing, exit). Drag from beside the\n"
    "lighter (or with the middle button, or Shift and the left button, from\n"
    "anywhere) to turn it; the wheel brings it nearer or farther.\n"
    "\n"
    "Keys: Space turns the flint wheel (as a click on the body), W, S and L\n"
    "choose Wireframe, Smooth and Lit, C steps the flame colour (Yellow, Red,\n"
    "Green, Blue, Rotate), F toggles full screen, Q and Escape exit. The Left\n"
    "and Right arrows turn the lighter by 15 degrees, Up and Down tilt it, +\n"
    "and - zoom in and out a wheel step, R and Home give back the start view.\n"
    "F12 saves the window as a PNG picture and Shift+F12 starts and ends a\n"
    "clip of it (an animated WebP, 10 seconds at most), named\n"
    "lighter-YYYYMMDD-HHMMSS, in XDG_PICTURES_DIR of user-dirs.dirs, else\n"
    "~/Pictures when it exists, else the directory lighter was started in.\n"
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
    "  --view AZ,EL[,DIST]\n"
    "              start with the camera gone AZ degrees round the lighter\n"
    "              (positive: towards the start picture's right), EL degrees\n"
    "              up (-60 to 80; negative: from below), at DIST times the\n"
    "              start distance (0.125 to 4, and no nearer than the model\n"
    "              allows; default 1); --view 0,0 is the start view\n"
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

// --mode NAME: the entry of "Mesh Modes" to start in.
bool takeModeOption(int argc, const char* const* argv, int& i, CommandLine& line) {
  bool missing = false;
  const char* name = optionValue("--mode", argc, argv, i, missing);
  if (name == nullptr) return false;
  if (missing) {
    line.problem = "option --mode needs a value";
    return true;
  }
  line.meshMode = meshModeNamed(name);
  if (line.meshMode == 0) {
    line.problem = std::string("unknown mode ") + name + " (wireframe, smooth or lit)";
  }
  return true;
}

// --view AZ,EL[,DIST]: the camera to start with.
bool takeViewOption(int argc, const char* const* argv, int& i, CommandLine& line) {
  bool missing = false;
  const char* text = optionValue("--view", argc, argv, i, missing);
  if (text == nullptr) return false;
  if (missing) {
    line.problem = "option --view needs a value";
  } else {
    line.startView = parseView(text, line.problem);
  }
  return true;
}

// The fields of a comma-separated list.
std::vector<std::string> fieldsOf(const std::string& text) {
  std::vector<std::string> fields;
  size_t at = 0;
  for (size_t comma; (comma = text.find(',', at)) != std::string::npos; at = comma + 1) {
    fields.push_back(text.substr(at, comma - at));
  }
  fields.push_back(text.substr(at));
  return fields;
}

// A whole field that is a finite number.
std::optional<double> numberOf(const std::string& field) {
  if (field.empty() || std::isspace(static_cast<unsigned char>(field[0]))) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(field.c_str(), &end);
  if (*end != '\0' || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string shortNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
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
    } else if (takeModeOption(argc, argv, i, line) || takeViewOption(argc, argv, i, line) ||
               takeCaptureOption(argc, argv, i, line)) {
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

std::optional<view::Orbit> parseView(const std::string& text, std::string& problem) {
  const std::vector<std::string> fields = fieldsOf(text);
  std::vector<double> n;
  for (const std::string& field : fields) {
    if (const auto value = numberOf(field)) n.push_back(*value);
  }
  if (fields.size() < 2 || fields.size() > 3 || n.size() != fields.size()) {
    problem = "bad view " + text + " (AZIMUTH,ELEVATION[,DISTANCE]: degrees, and a factor)";
    return std::nullopt;
  }
  const view::Orbit orbit{n[0], n[1], n.size() == 3 ? n[2] : 1.0};
  if (orbit.elevation < view::kLowestElevation || orbit.elevation > view::kHighestElevation) {
    problem = "view elevation " + fields[1] + " is beyond " + shortNumber(view::kLowestElevation) +
              " to " + shortNumber(view::kHighestElevation) + " degrees";
    return std::nullopt;
  }
  if (orbit.distance < view::kClosest || orbit.distance > view::kFarthest) {
    problem = "view distance " + fields[2] + " is beyond " + shortNumber(view::kClosest) + " to " +
              shortNumber(view::kFarthest);
    return std::nullopt;
  }
  return orbit;
}

std::string versionLine() { return std::string("lighter ") + LIGHTER_VERSION; }
