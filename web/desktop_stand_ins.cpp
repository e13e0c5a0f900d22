// What the desktop program asks of its machine and a web page cannot give,
// in place of lighter/pointer.cpp and lighter/model_cache.cpp and
// model_import.cpp, which need an X server, processes and nettle.
//
// The pointer: the desktop asks the X server where it is to tell a real
// pick of "Exit" from a stray click; the page's menu has no "Exit".
// Model files: the page runs with no command line, on the data set packed
// with it, so nothing it is given names a model to import.
// Pictures and clips: the page has no files to write; its menu's "Save
// picture" downloads the canvas (web/shell.html), and F12 is the browser's.
#include <optional>
#include <ostream>
#include <string>

#include "lighter/keeping.h"
#include "lighter/model_cache.h"
#include "lighter/model_import.h"
#include "lighter/pointer.h"

void setPointerDisplay(std::string /*name*/) {}

std::optional<ScreenPoint> pointerOnScreen() { return std::nullopt; }

bool isModelFile(const std::string& /*path*/) { return false; }

std::string openModel(const std::string& model, std::ostream& err) {
  err << "lighter: " << model << ": a web page opens no model files\n";
  return {};
}

bool prepareKeeping(const CommandLine& /*line*/, const std::string& /*callerDir*/,
                    std::ostream& /*err*/) {
  return true;
}

void keepDrawnFrame(int /*width*/, int /*height*/) {}

void askForPicture() {}

void startOrStopClip() {}

bool keepingFrames() { return false; }
