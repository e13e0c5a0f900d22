#include "importer/pipeline.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <sstream>

#include "dataset/data_directory.h"
#include "dataset/face_order.h"
#include "importer/clean.h"
#include "importer/progress.h"
#include "importer/read.h"
#include "importer/simplify.h"
#include "importer/winding.h"

namespace importer {

namespace fs = std::filesystem;

namespace {

UpAxis upFor(const Options& options, const std::string& path) {
  return options.up ? *options.up : defaultUpAxis(path);
}

// One of the model's meshes on its way through the stages it goes through
// alone: the body, then the lid.
struct Part {
  std::string path;
  bool isBody = true;
  Mesh mesh;
  LookReport look;
  size_t share = 0;  // its part of the face budget; 0: no limit
};

Part readPart(const std::string& path, bool isBody, TextureUse use, Progress& progress) {
  Part part{path, isBody, {}, {}, 0};
  ReadReport read;
  part.mesh = readModel(path, read, &part.look, use);
  progress.stage(
      "read",
      path + ": " + std::to_string(read.meshes) + " mesh(es), " + std::to_string(read.faces) +
          " triangles, " + std::to_string(read.vertices) + " vertices" +
          (read.droppedPrimitives > 0
               ? ", " + std::to_string(read.droppedPrimitives) + " points and lines left out"
               : ""));
  return part;
}

// The body, and the lid when there is one. One texture for both: a textured
// lid is drawn with the body's, as one made from the same model shares it.
std::vector<Part> readParts(const Options& options, bool textureGiven, Progress& progress) {
  std::vector<Part> parts;
  parts.push_back(
      readPart(options.body, true, textureGiven ? TextureUse::kGiven : TextureUse::kOwn, progress));
  if (!options.lid.empty()) {
    parts.push_back(readPart(options.lid, false,
                             textureGiven                 ? TextureUse::kGiven
                             : parts.front().look.texture ? TextureUse::kShared
                                                          : TextureUse::kOwn,
                             progress));
  }
  return parts;
}

size_t facesIn(const std::vector<Part>& parts) {
  size_t faces = 0;
  for (const Part& part : parts) faces += part.mesh.faces.size();
  return faces;
}

const Mesh* lidOf(const std::vector<Part>& parts) {
  return parts.size() > 1 ? &parts[1].mesh : nullptr;
}

std::optional<RgbPicture> readGivenTexture(const std::string& path, Progress& progress) {
  if (path.empty()) return std::nullopt;
  std::optional<RgbPicture> given;
  try {
    given = readPicture(path);
  } catch (const PictureError& e) {
    throw ImportError(e.what());
  }
  progress.stage("texture", path + ": " + std::to_string(given->width) + " x " +
                                std::to_string(given->height) + " pixels");
  return given;
}

Mesh clean(const std::string& path, const Mesh& mesh, Progress& progress) {
  CleanReport report;
  Mesh cleaned = cleanMesh(mesh, report);
  progress.stage("clean", path + ": vertices " + std::to_string(report.verticesIn) + " -> " +
                              std::to_string(report.verticesOut) + " (joined by position), faces " +
                              std::to_string(report.facesIn) + " -> " +
                              std::to_string(report.facesOut) + " (without area dropped)");
  if (cleaned.faces.empty()) {
    throw ImportError(path + ": has no triangles with an area (every corner set lies on a line)");
  }
  return cleaned;
}

void clean(Part& part, Progress& progress) { part.mesh = clean(part.path, part.mesh, progress); }

void orient(Part& part, const Options& options, Progress& progress) {
  const Orientation orientation{upFor(options, part.path), options.turnDegrees};
  orientMesh(part.mesh, orientation);
  progress.stage(
      "orient",
      part.path + ": up " + upAxisName(orientation.up) +
          (part.isBody ? ", turned " + format("%g", options.turnDegrees) + " degrees" : ""));
}

// Each mesh's share of the face budget, in proportion to its faces.
size_t shareOf(size_t faces, size_t otherFaces, size_t budget) {
  if (budget == 0 || faces + otherFaces <= budget) return 0;
  if (otherFaces == 0) return budget;
  const double share = static_cast<double>(budget) * static_cast<double>(faces) /
                       static_cast<double>(faces + otherFaces);
  return std::max<size_t>(1, static_cast<size_t>(share));
}

// Gives each part its share of the budget; the lid must keep a face.
void shareTheBudget(std::vector<Part>& parts, size_t budget) {
  const size_t faces = facesIn(parts);
  size_t shares = 0;
  for (Part& part : parts) {
    part.share = shareOf(part.mesh.faces.size(), faces - part.mesh.faces.size(), budget);
    shares += part.share;
  }
  if (parts.size() > 1 && shares > budget) {
    throw ImportError("--max-faces " + std::to_string(budget) +
                      " leaves no face for the lid; allow at least 2");
  }
}

// The simplification is always reported when it happens.
Mesh simplify(const std::string& path, const Mesh& mesh, size_t budget, Progress& progress) {
  SimplifyReport report;
  Mesh simplified = simplifyMesh(mesh, budget, report);
  const bool changed = report.facesOut != report.facesIn;
  progress.stage(
      "simplify",
      path + ": " + std::to_string(report.facesIn) + " -> " + std::to_string(report.facesOut) +
          " faces" +
          (changed ? ", error " + format("%.3g", 100.0 * report.error) + " % of the model's size"
                   : " (within the budget)") +
          (report.sloppy ? " (by grid clustering: the model's borders kept the "
                           "shape-keeping simplifier from going further)"
                         : ""),
      changed);
  return simplified;
}

void simplify(Part& part, Progress& progress) {
  part.mesh = simplify(part.path, part.mesh, part.share, progress);
}

// The texture drawn through the model's texture coordinates and the image
// for every face's surface, as the options and the model decide: --texture
// goes through the coordinates when the model has them and is the surface
// otherwise; without it, the body's own texture, or else the lid's.
struct Textures {
  std::optional<Image> model;    // modelTexture.bmp
  std::optional<Image> surface;  // silverTexture.bmp
  LookSummary summary;
};

Textures choose(const std::optional<RgbPicture>& given, const std::vector<Part>& parts) {
  const LookReport& body = parts.front().look;
  const LookReport* lid = parts.size() > 1 ? &parts[1].look : nullptr;
  Textures out;
  const bool uvs = body.uvs || (lid != nullptr && lid->uvs);
  const RgbPicture* picture = given                            ? &*given
                              : body.texture                   ? &*body.texture
                              : lid != nullptr && lid->texture ? &*lid->texture
                                                               : nullptr;
  if (picture != nullptr) {
    out.summary = {picture->name, picture->width, picture->height, given.has_value(), uvs, 0};
    if (uvs) {
      out.model = modelTexture(*picture);
    } else {
      out.surface = surfaceTexture(*picture);
    }
  }
  out.summary.colours = body.colours + (lid != nullptr ? lid->colours : 0);
  return out;
}

std::string lookText(const LookSummary& look) {
  std::string text;
  if (!look.texture.empty()) {
    text = "texture " + look.texture + ", " + std::to_string(look.width) + "\u00d7" +
           std::to_string(look.height) + (look.fromOption ? " (--texture)" : "") +
           (look.throughUvs ? ", drawn in Lit through the model's texture coordinates"
                            : ", on every face as the surface: the model has no texture "
                              "coordinates");
  }
  if (look.colours > 0) {
    text += (text.empty() ? "" : "; ") + std::to_string(look.colours) + " material colour" +
            (look.colours == 1 ? "" : "s") + ", shown in Lit";
  }
  return text;
}

std::string boxText(const framing::PixelBox& b) {
  return format("%.0f", b.width()) + " x " + format("%.0f", b.height()) + " pixels at x " +
         format("%.0f", b.left) + ".." + format("%.0f", b.right) + ", y " +
         format("%.0f", b.bottom) + ".." + format("%.0f", b.top);
}

// The directory as a shell word; one starting with "-" goes through "./" so
// that the program does not take it for an option.
std::string shellWord(const std::string& path) {
  const std::string text = path.rfind('-', 0) == 0 ? "./" + path : path;
  bool plain = !text.empty();
  for (char c : text)
    plain = plain && (std::isalnum(static_cast<unsigned char>(c)) ||
                      std::string("._-/+,:@%").find(c) != std::string::npos);
  if (plain) return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The data directory's writer, its failures reported as the importer's.
void checkOutputDirectory(const fs::path& dir, bool force) {
  try {
    dataset::checkOutputDirectory(dir, force);
  } catch (const dataset::WriteError& e) {
    throw ImportError(e.what());
  }
}

void writeOutput(const fs::path& dir, const dataset::DataSet& data, bool force) {
  try {
    dataset::writeDataDirectory(dir, data, force);
  } catch (const dataset::WriteError& e) {
    throw ImportError(e.what());
  }
}

// The stages of the model as a whole: framed, wound, sorted and written.

framing::FramedModel frame(const std::vector<Part>& parts, Progress& progress) {
  framing::Request request;
  request.lid = lidOf(parts);
  framing::FramedModel model;
  try {
    model = framing::frameModel(parts.front().mesh, request);
  } catch (const framing::FrameError& e) {
    throw ImportError(e.what());
  }
  progress.stage("frame", "body " + boxText(model.body) +
                              (model.depthMarkers > 0 ? ", 2 depth vertices added" : "") +
                              (model.facesDropped > 0 ? ", " + std::to_string(model.facesDropped) +
                                                            " faces too small for floats dropped"
                                                      : ""));
  if (request.lid != nullptr) {
    // A lid made smaller is always reported.
    progress.stage(
        "frame",
        "lid " + boxText(model.cover) +
            (model.lidScale < 1.0
                 ? ", shrunk to " + format("%.0f", 100.0 * model.lidScale) + " % to fit the window"
                 : ""),
        model.lidScale < 1.0);
  }
  if (model.tooDeep) {
    progress.stage("note",
                   "the body is much deeper than it is high or wide, and the program scales it by "
                   "its depth, so it shows smaller than the click rectangle; --turn 90 shows its "
                   "long side",
                   true);
  }
  return model;
}

void wind(framing::FramedModel& model, Progress& progress) {
  const size_t turned = windOutward(model.base) + windOutward(model.lid);
  progress.stage("wind", "faces wound outward, " + std::to_string(turned) + " turned over");
}

// Nearest first from the program's viewpoint, as the shipped data set is,
// so that the depth test hides what lies behind.
void sortFaces(framing::FramedModel& model, Progress& progress) {
  dataset::sortNearestFirst(model.base, framing::baseWorld(model.base, model.frame));
  dataset::sortNearestFirst(model.lid, framing::lidWorld(model.lid, model.frame));
  progress.stage("sort", "faces nearest first");
}

void writeData(const fs::path& dir, const framing::FramedModel& model, bool withLid,
               const Textures& textures, bool force, Progress& progress) {
  dataset::DataSet data;
  data.body = &model.base;
  data.lid = withLid ? &model.lid : nullptr;
  data.surface = textures.surface ? &*textures.surface : nullptr;
  data.modelTexture = textures.model ? &*textures.model : nullptr;
  writeOutput(dir, data, force);
  progress.stage("write", dir.string());
}

Summary summaryOf(const fs::path& dir, const framing::FramedModel& model,
                  const std::vector<Part>& parts, const Textures& textures) {
  Summary summary;
  summary.directory = dir;
  summary.body = {model.base.faces.size(), model.base.vertices.size()};
  if (parts.size() > 1)
    summary.lid = MeshSummary{model.lid.faces.size(), model.lid.vertices.size()};
  summary.bodyPicture = model.body;
  summary.lidPicture = model.cover;
  summary.look = textures.summary;
  for (const Part& part : parts) {
    if (!part.look.warning.empty()) summary.warnings.push_back(part.look.warning);
  }
  return summary;
}

}  // namespace

fs::path outputDirectory(const Options& options) {
  if (!options.output.empty()) return options.output;
  std::string name = fs::path(options.body).stem().string();
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-') c = '-';
  }
  return fs::path(".") / ("lighter-data-" + (name.empty() ? std::string("model") : name));
}

Summary runImport(const Options& options, std::ostream& out) {
  const fs::path dir = outputDirectory(options);
  checkOutputDirectory(dir, options.force);
  Progress progress(out, options.verbose);
  const std::optional<RgbPicture> given = readGivenTexture(options.texture, progress);
  std::vector<Part> parts = readParts(options, given.has_value(), progress);
  const Textures textures = choose(given, parts);
  progress.startLarge(facesIn(parts));

  progress.step("cleaning");
  for (Part& part : parts) clean(part, progress);
  for (Part& part : parts) orient(part, options, progress);
  progress.step("simplifying");
  shareTheBudget(parts, options.maxFaces);
  for (Part& part : parts) simplify(part, progress);
  progress.step("framing");
  framing::FramedModel model = frame(parts, progress);
  wind(model, progress);
  progress.step("sorting");
  sortFaces(model, progress);
  progress.step("writing");
  writeData(dir, model, parts.size() > 1, textures, options.force, progress);
  progress.done();
  return summaryOf(dir, model, parts, textures);
}

void printSummary(const Summary& summary, std::ostream& out) {
  out << "Wrote " << summary.directory.string() << ": body " << summary.body.faces << " faces, "
      << summary.body.vertices << " vertices";
  if (summary.lid) {
    out << "; lid " << summary.lid->faces << " faces, " << summary.lid->vertices << " vertices";
  } else {
    out << "; no lid";
  }
  out << ".\n";
  const std::string look = lookText(summary.look);
  if (!look.empty()) out << "Look: " << look << ".\n";
  out << "On screen the body is " << boxText(summary.bodyPicture) << " (y up from the bottom)";
  if (summary.lid) out << ", the lid " << boxText(summary.lidPicture);
  out << ".\n";
  out << "Run it:  lighter --mode lit " << shellWord(summary.directory.string()) << "\n";
}

}  // namespace importer
