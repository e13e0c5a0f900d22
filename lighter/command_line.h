// The program's command line: GLUT's options, a data directory, --mode,
// --view, --screenshot, --record, --seconds, --strike, --help and --version.
// Plain values, no GL: the program acts on the result.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "view/camera.h"

enum class CommandAction { kRun, kHelp, kVersion, kBadUsage };

struct CommandLine {
  CommandAction action = CommandAction::kRun;
  // The directory to run in; empty for the working directory.
  std::string dataDir;
  // argv[0] and GLUT's own options with their values, in their order, for
  // glutInit.
  std::vector<std::string> glutArgs;
  // What is wrong, for kBadUsage.
  std::string problem;
  // The "Mesh Modes" entry --mode picks at start (1 wireframe, 2 smooth,
  // 3 lit); 0 without the option, for the usual start.
  int meshMode = 0;
  // --screenshot FILE and --record FILE, as given (at most one of them).
  std::string screenshotFile;
  std::string recordFile;
  // --seconds N in milliseconds: the clip's length, or when the picture is
  // taken; -1 without the option.
  int secondsMs = -1;
  // --strike N: turns of the flint wheel at the start.
  int strikes = 0;
  // The camera --view starts at; none for the start view.
  std::optional<view::Orbit> startView;
};

// The longest --seconds, and the most --strike turns.
inline constexpr int kMostSeconds = 60;
inline constexpr int kMostStrikes = 20;

// --view's AZIMUTH,ELEVATION[,DISTANCE]: degrees, and a factor of the start
// distance (1 without it). None, with the reason in `problem`, for anything
// else: a number missing, left over or not finite, an elevation beyond the
// camera's limits, a distance beyond [kClosest, kFarthest].
std::optional<view::Orbit> parseView(const std::string& text, std::string& problem);

// The menu value of a --mode name, 0 for a name it does not have.
int meshModeNamed(const char* name);

// Sorts the arguments. The first --help or --version decides alone. When
// more than one directory is named, the last one counts: the installed
// launcher names the shipped data set first, so one the user gives wins.
CommandLine parseCommandLine(int argc, const char* const* argv);

// GLUT's -display value among `line`'s GLUT options, or empty.
std::string displayOption(const CommandLine& line);

// The text of --help, and of a usage error after its one line.
extern const char kUsage[];

// "lighter 1.0.0": the name and the project's version.
std::string versionLine();
