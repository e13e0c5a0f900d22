#include "importer/options.h"

#include <getopt.h>

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

// The options: long ones without a short form are told apart by these ids.
enum LongOnly { kLid = 256, kTexture, kUp, kTurn, kMaxFaces, kForce, kVersion };
constexpr char kShortOptions[] = ":o:vh";
const option kLongOptions[] = {
    {"lid", required_argument, nullptr, kLid},
    {"output", required_argument, nullptr, 'o'},
    {"texture", required_argument, nullptr, kTexture},
    {"up", required_argument, nullptr, kUp},
    {"turn", required_argument, nullptr, kTurn},
    {"max-faces", required_argument, nullptr, kMaxFaces},
    {"force", no_argument, nullptr, kForce},
    {"verbose", no_argument, nullptr, 'v'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

CommandLine badUsage(const std::string& message) {
  CommandLine c;
  c.outcome = CommandLine::Outcome::BadUsage;
  c.message = message;
  return c;
}

// Applies the value of the option `id` (see kLongOptions), written as
// `name`; false with `error` set when the value is not one it takes.
bool applyValue(int id, const std::string& name, const std::string& value, Options& o,
                std::string& error) {
  switch (id) {
    case kLid:
      o.lid = value;
      break;
    case 'o':
      o.output = value;
      break;
    case kTexture:
      o.texture = value;
      break;
    case kUp:
      o.up = parseUpAxis(value);
      if (!o.up) error = name + " takes x, y, z, -x, -y or -z, not \"" + value + "\"";
      break;
    case kTurn:
      if (!parseNumber(value, o.turnDegrees))
        error = name + " takes degrees, not \"" + value + "\"";
      break;
    case kMaxFaces:
      if (!parseCount(value, o.maxFaces)) {
        error = name + " takes a number of faces from 0 (no limit) to " +
                std::to_string(kMaxFaceBudget) + ", not \"" + value + "\"";
      }
      break;
  }
  return error.empty();
}

// The option as the user wrote it, without a value joined by "=".
std::string writtenAs(const char* argument, int shortOption) {
  if (argument == nullptr || argument[0] != '-' || argument[1] != '-') {
    return std::string("-") + static_cast<char>(shortOption);
  }
  const std::string text = argument;
  return text.substr(0, text.find('='));
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine c;
  Options& o = c.options;
  // getopt_long permutes the pointers, never the strings; it keeps its place
  // in globals, which optind = 0 starts afresh.
  std::vector<std::string> texts = {"lighter-import"};
  texts.insert(texts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& t : texts) argv.push_back(t.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(texts.size());
  opterr = 0;
  optind = 0;
  for (;;) {
    const int id = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, nullptr);
    if (id == -1) break;
    // The argument the option came from: the last one getopt_long took, or
    // the one before when that was the option's value.
    const bool separateValue = optarg != nullptr && optind >= 2 && argv[optind - 1] == optarg;
    const char* written = argv[static_cast<size_t>(optind - (separateValue ? 2 : 1))];
    switch (id) {
      case 'h':
        c.outcome = CommandLine::Outcome::Help;
        return c;
      case kVersion:
        c.outcome = CommandLine::Outcome::Version;
        return c;
      case kForce:
        o.force = true;
        break;
      case 'v':
        o.verbose = true;
        break;
      case '?':  // optopt: the letter of an unknown short option, 0 for a long one
        return badUsage("unknown option " + (optopt != 0
                                                 ? std::string("-") + static_cast<char>(optopt)
                                                 : writtenAs(written, 0)));
      case ':':
        return badUsage(writtenAs(written, optopt) + " needs a value");
      default: {
        std::string error;
        if (!applyValue(id, writtenAs(written, id), optarg, o, error)) return badUsage(error);
      }
    }
  }
  // What is left, in order, are the models.
  const std::vector<std::string> models(argv.begin() + optind, argv.begin() + argc);
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
         "model framed where the program shows its lighter, with the shipped textures;\n"
         "in Lit, the model's own texture (beside it or embedded) or material colours.\n"
         "\n"
         "  --lid LID          a second model shown as the lid, open beside the body's top\n"
         "  -o, --output DIR   where to write (default ./lighter-data-NAME, NAME from BODY)\n"
         "  --force            replace DIR if it is a data directory already\n"
         "  --up AXIS          the file's up axis: x, y, z, -x, -y or -z\n"
         "                     (default y; z for STL; 3DS files are turned y up as read)\n"
         "  --turn DEGREES     turn the model about its up axis, counter-clockwise from above\n"
         "  --max-faces N      simplify to at most N faces in all (default 20000; 0: no limit)\n"
         "  --texture IMAGE    a PNG, JPEG, TGA or BMP image: drawn in Lit through the\n"
         "                     model's texture coordinates, or without them the surface\n"
         "                     texture of every face\n"
         "  -v, --verbose      say what each stage did and the processor time it took\n"
         "  -h, --help         this text\n"
         "  --version          the version of lighter-import\n"
         "\n"
         "Then: lighter --mode lit DIR (or, in one step without these options: lighter MODEL)\n";
}

}  // namespace importer
