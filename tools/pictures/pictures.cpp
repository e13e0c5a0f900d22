// lighter_pictures: the README's and the docs' pictures and the icons, made
// by the real program under the e2e harness's private X server. What an
// option can ask for the program makes itself (--screenshot, --record,
// --strike, --mode); the harness picks "Rotate" from the menu for the colour
// cycle and turns the lighter with the arrow keys for the views, as a user
// would.
//
//   lighter_pictures readme|views|candle|icons OUTPUT_DIR
//
// readme: lighter-at-rest.png, lighter-flame.png, lighter-smooth.png,
// lighter-wireframe.png, lighter.webp and lighter-colours.webp; views:
// lighter-view-{front,side,above,behind}.png and imported-candle-behind.png;
// candle: imported-candle.png; icons: NxN/lighter.png at the hicolor sizes.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/support/command.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using e2e::Lighter;
using support::Seconds;

// The bytes an animation in the README may take.
constexpr std::uintmax_t kAnimationBudget = 3 * 1024 * 1024;
// A flame lit by --strike 3 burns from 1.5 s on; its first particles carry
// the start-up spread of colours for a while.
const std::vector<std::string> kLitFlame = {"--strike", "3", "--seconds", "3.5"};

void say(const std::string& text) { std::printf("pictures: %s\n", text.c_str()); }

void require(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

void run(const std::vector<std::string>& argv) {
  int status = -1;
  std::string errors;
  support::run(argv, &status, &errors);
  require(status == 0, argv.front() + " failed: " + errors);
}

// The program in `data` with `args`, left to end by itself (a picture or a
// clip asked for on its command line ends it).
void program(const std::vector<std::string>& args, const std::string& data = e2e::dataDir()) {
  e2e::Program p{"", /*captureErrors=*/true};
  p.args = args;
  Lighter lighter({data}, p);
  const auto status = lighter.waitForExit(Seconds(120));
  require(status == 0, "the program failed: " + lighter.errors());
}

void wrote(const std::string& path) {
  say("wrote " + path + ", " + std::to_string(fs::file_size(path)) + " bytes");
}

// The colour cycle: "Flame Colors", "Rotate" picked once both sparks are
// out, while the program records.
void colourCycle(const std::string& out) {
  e2e::Program p{"", /*captureErrors=*/true};
  p.args = {"--mode", "lit", "--strike", "3", "--record", out, "--seconds", "6"};
  Lighter lighter({}, p);
  require(lighter.waitForWindow(), "no window");
  require(lighter.waitForOutput("spark!!\n", 2), "no sparks");
  lighter.pickMenu({0, 4});
  require(lighter.waitForExit(Seconds(120)) == 0, "the clip failed: " + lighter.errors());
}

void readme(const std::string& dir) {
  const auto lit = [](std::vector<std::string> args) {
    args.insert(args.begin(), {"--mode", "lit"});
    return args;
  };
  const auto with = [](std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  program(lit({"--screenshot", dir + "/lighter-at-rest.png"}));
  program(with(lit({"--screenshot", dir + "/lighter-flame.png"}), kLitFlame));
  program(with({"--mode", "smooth", "--screenshot", dir + "/lighter-smooth.png"}, kLitFlame));
  program({"--mode", "wireframe", "--screenshot", dir + "/lighter-wireframe.png"});
  program(lit({"--strike", "3", "--record", dir + "/lighter.webp", "--seconds", "6"}));
  colourCycle(dir + "/lighter-colours.webp");
  for (const char* name : {"lighter-at-rest.png", "lighter-flame.png", "lighter-smooth.png",
                           "lighter-wireframe.png", "lighter.webp", "lighter-colours.webp"}) {
    wrote(dir + "/" + name);
  }
  for (const char* name : {"lighter.webp", "lighter-colours.webp"}) {
    require(fs::file_size(dir + "/" + name) <= kAnimationBudget,
            std::string(name) + " is over " + std::to_string(kAnimationBudget) + " bytes");
  }
}

// The project's striped candle (look_gen, a Collada file and its texture)
// imported with lighter-import into `scratch`; its data directory.
std::string importedCandle(const support::TempDir& scratch) {
  const std::string model = scratch.path() + "/candle.dae";
  const std::string data = scratch.path() + "/lighter-data-candle";
  run({LIGHTER_LOOK_GEN, "striped-candle", model});
  run({LIGHTER_IMPORT_BINARY, model, "-o", data});
  return data;
}

// In Lit, the flame lit with Space (each spark waited out) and burnt long
// enough for most of its start-up colours to go, then turned by `keys`.
void view(const std::string& file, const std::string& data, const std::vector<std::string>& keys) {
  e2e::Program p;
  p.args = {"--mode", "lit"};
  Lighter lighter({data}, p);
  require(lighter.waitForWindow(), "no window");
  for (int spark = 1; spark <= 2; ++spark) {
    lighter.key("space");
    require(lighter.waitForOutput("spark!!\n", spark), "no spark");
    require(lighter.waitForTimers(e2e::kShortFlame), "the spark's timers did not fire");
  }
  lighter.key("space");
  std::this_thread::sleep_for(std::chrono::seconds(9));
  for (const auto& key : keys) lighter.key(key);
  require(lighter.waitForFrames(5), "no frames after the keys");
  lighter.screenshot().savePng(file);
  wrote(file);
}

std::vector<std::string> times(int n, const std::string& key) {
  return std::vector<std::string>(static_cast<size_t>(n), key);
}

std::vector<std::string> then(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void views(const std::string& dir) {
  const std::string data = e2e::dataDir();
  view(dir + "/lighter-view-front.png", data, {});
  view(dir + "/lighter-view-side.png", data, then(times(5, "Right"), {"Down"}));
  view(dir + "/lighter-view-above.png", data, then({"Left"}, times(4, "Down")));
  view(dir + "/lighter-view-behind.png", data, then(times(11, "Right"), {"Down"}));
  const support::TempDir scratch("lighter-pictures");
  view(dir + "/imported-candle-behind.png", importedCandle(scratch),
       then(times(12, "Right"), {"Down"}));
}

// The candle in Lit, in its own colours, its flame lit for six seconds: by
// then few of the sparks' stray particles are left.
void candle(const std::string& dir) {
  const support::TempDir scratch("lighter-pictures");
  const std::string data = importedCandle(scratch);
  program({"--mode", "lit", "--strike", "3", "--seconds", "7.5", "--screenshot",
           dir + "/imported-candle.png"},
          data);
  wrote(dir + "/imported-candle.png");
}

// The icon: the lighter with its flame lit, as the program draws it at the
// start, cropped to the square that holds the body, the open lid and the
// flame's foot, and cut to a rounded tile, at the hicolor sizes. No time
// stamps in the files, so the same picture gives the same file.
void icons(const std::string& dir) {
  const support::TempDir scratch("lighter-pictures");
  const std::string lit = scratch.path() + "/lit.png";
  const std::string tile = scratch.path() + "/tile.png";
  // A few seconds give every particle a life in the flame colour.
  program({"--strike", "3", "--seconds", "5.5", "--screenshot", lit});
  const int side = 520;
  const int corner = 64;
  const std::string edge = std::to_string(side - 1);
  run({"convert",
       lit,
       "-crop",
       "520x520+205+80",
       "+repage",
       "(",
       "-size",
       std::to_string(side) + "x" + std::to_string(side),
       "xc:black",
       "-fill",
       "white",
       "-draw",
       "roundrectangle 0,0 " + edge + "," + edge + " " + std::to_string(corner) + "," +
           std::to_string(corner),
       ")",
       "-alpha",
       "off",
       "-compose",
       "CopyOpacity",
       "-composite",
       tile});
  for (int size : {48, 128, 256}) {
    const std::string square = std::to_string(size) + "x" + std::to_string(size);
    fs::create_directories(dir + "/" + square);
    const std::string file = dir + "/" + square + "/lighter.png";
    run({"convert", tile, "-resize", square, "-strip", "-define", "png:exclude-chunks=date,time",
         file});
    wrote(file);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s readme|views|candle|icons OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const std::string what = argv[1];
  fs::create_directories(argv[2]);
  const std::string dir = fs::canonical(argv[2]).string();
  try {
    if (what == "readme") {
      readme(dir);
    } else if (what == "views") {
      views(dir);
    } else if (what == "candle") {
      candle(dir);
    } else if (what == "icons") {
      icons(dir);
    } else {
      std::fprintf(stderr, "pictures: no pictures named %s (readme, views, candle, icons)\n",
                   what.c_str());
      return 2;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pictures: %s\n", e.what());
    return 1;
  }
  return 0;
}
