// The importer's stages in order: read, clean, orient, simplify, frame,
// sort, write. The command line only chooses the options.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "framing/frame.h"
#include "importer/orient.h"

namespace importer {

inline constexpr size_t kDefaultMaxFaces = 20000;

struct Options {
  std::string body;
  std::string lid;           // none when empty
  std::string output;        // ./lighter-data-NAME when empty
  std::string texture;       // the shipped surface when empty
  std::optional<UpAxis> up;  // by each file's format when not given
  double turnDegrees = 0.0;
  size_t maxFaces = kDefaultMaxFaces;  // 0: no limit
  bool force = false;
  bool verbose = false;
};

// The directory the options name, or ./lighter-data-NAME after the body's
// file name (characters other than letters, digits, '.', '_' and '-' become '-').
std::filesystem::path outputDirectory(const Options& options);

struct MeshSummary {
  size_t faces = 0;
  size_t vertices = 0;
};

// What Lit shows of the model beyond the brushed silver.
struct LookSummary {
  std::string texture;  // the texture's file name; empty for none
  int width = 0;        // its size as found
  int height = 0;
  bool fromOption = false;  // --texture's image rather than the model's own
  bool throughUvs = false;  // drawn through the model's texture coordinates
  size_t colours = 0;       // material colours given to the vertices
};

struct Summary {
  std::filesystem::path directory;
  MeshSummary body;
  std::optional<MeshSummary> lid;
  framing::PixelBox bodyPicture;
  framing::PixelBox lidPicture;
  LookSummary look;
  // One line each (a texture the model names that cannot be used); the
  // import went on without it.
  std::vector<std::string> warnings;
};

// Runs every stage, printing what each did on `out` (with options.verbose
// the counts of every stage, otherwise only the simplification) and a
// progress line for models over a million faces. Throws ImportError for a
// model, image or directory it cannot use; writes nothing then.
Summary runImport(const Options& options, std::ostream& out);

// The closing lines: what was written, its look, its size on screen, how to
// run it.
void printSummary(const Summary& summary, std::ostream& out);

}  // namespace importer
