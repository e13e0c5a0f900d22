#include "importer/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace importer {

namespace {

// The largest face budget accepted: far above what any renderer draws.
constexpr unsigned long long kMaxFaceBudget = 1000000000ULL;

bool parseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && *end == '\0' && std::isfinite(value);
}

bool parseCount(const std::string& text, size_t& value) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long long n = std::strtoull(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || n > kMaxFaceBudget) return false;
  value = static_cast<size_t>(n);
  return true;
}

CommandLine badUsage(const std::string& message) {
  CommandLine c;
  c.outcome = CommandLine::Outcome::BadUsage;
  c.message = message;
  return c;
}

// Applies one option that takes a value; false with `error` set otherwise.
bool applyValue(const std::string& name, const std::string& value, Options& o, std::string& error) {
  if (name == "--lid") {
    o.lid = value;
  } else if (name == "-o" || name == "--output") {
    o.output = value;
  } else if (name == "--texture") {
    o.texture = value;
  } else if (name == "--up") {
    o.up = parseUpAxis(value);
    if (!o.up) error = "--up takes x, y, z, -x, -y or -z, not \"" + value + "\"";
  } else if (name == "--turn") {
    if (!parseNumber(value, o.turnDegrees)) error = "--turn takes degrees, not \"" + value + "\"";
  } else if (name == "--max-faces") {
    if (!parseCount(value, o.maxFaces)) {
      error = "--max-faces takes a number of faces from 0 (no limit) to " +
              std::to_string(kMaxFaceBudget) + ", not \"" + value + "\"";
    }
  } else {
    error = "unknown option " + name;
  }
  return error.empty();
}

bool takesValue(const std::string& name) {
  return name == "--lid" || name == "-o" || name == "--output" || name == "--texture" ||
         name == "--up" || name == "--turn" || name == "--max-faces";
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine c;
  Options& o = c.options;
  std::vector<std::string> models;
  bool optionsEnd = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& arg = arguments[i];
    if (optionsEnd || arg.empty() || arg[0] != '-' || arg == "-") {
      models.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "-h" || arg == "--help") {
      c.outcome = CommandLine::Outcome::Help;
      return c;
    } else if (arg == "--version") {
      c.outcome = CommandLine::Outcome::Version;
      return c;
    } else if (arg == "--force") {
      o.force = true;
    } else if (arg == "-v" || arg == "--verbose") {
      o.verbose = true;
    } else {
      const size_t eq = arg.find('=');
      const std::string name = arg.substr(0, eq);
      if (!takesValue(name)) return badUsage("unknown option " + name);
      std::string value;
      if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
      } else if (i + 1 < arguments.size()) {
        value = arguments[++i];
      } else {
        return badUsage(name + " needs a value");
      }
      std::string error;
      if (!applyValue(name, value, o, error)) return badUsage(error);
    }
  }
  if (models.size() > 1) return badUsage("one body model at a time (the lid goes with --lid)");
  if (models.empty()) {
    if (o.lid.empty()) return badUsage("no model named");
    c.outcome = CommandLine::Outcome::BadRequest;
    c.message = o.lid + ": a lid needs a body: lighter-import BODY --lid " + o.lid;
    return c;
  }
  o.body = models.front();
  return c;
}

std::string usageText() {
  return "usage: lighter-import BODY [--lid LID] [-o DIR] [options]\n"
         "\n"
         "Makes a data directory the lighter program runs in from a 3D model file in any\n"
         "format Assimp reads (OBJ, STL, PLY, OFF, glTF/GLB, 3DS, Collada, ...): the\n"
         "model framed where the program shows its lighter, with the shipped textures.\n"
         "\n"
         "  --lid LID          a second model shown as the lid, open beside the body's top\n"
         "  -o, --output DIR   where to write (default ./lighter-data-NAME, NAME from BODY)\n"
         "  --force            replace DIR if it is a data directory already\n"
         "  --up AXIS          the file's up axis: x, y, z, -x, -y or -z\n"
         "                     (default y; z for STL; 3DS files are turned y up as read)\n"
         "  --turn DEGREES     turn the model about its up axis, counter-clockwise from above\n"
         "  --max-faces N      simplify to at most N faces in all (default 20000; 0: no limit)\n"
         "  --texture IMAGE    a PNG, JPEG, TGA or BMP image as the surface texture\n"
         "  -v, --verbose      say what each stage did and the processor time it took\n"
         "  -h, --help         this text\n"
         "  --version          the version of lighter-import\n"
         "\n"
         "Then: lighter DIR\n";
}

}  // namespace importer
