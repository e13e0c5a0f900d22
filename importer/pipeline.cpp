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

Mesh readFile(const std::string& path, Progress& progress, LookReport& look, TextureUse use) {
  ReadReport read;
  Mesh mesh = readModel(path, read, &look, use);
  progress.stage(
      "read",
      path + ": " + std::to_string(read.meshes) + " mesh(es), " + std::to_string(read.faces) +
          " triangles, " + std::to_string(read.vertices) + " vertices" +
          (read.droppedPrimitives > 0
               ? ", " + std::to_string(read.droppedPrimitives) + " points and lines left out"
               : ""));
  return mesh;
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

// Each mesh's share of the face budget, in proportion to its faces.
size_t shareOf(size_t faces, size_t otherFaces, size_t budget) {
  if (budget == 0 || faces + otherFaces <= budget) return 0;
  if (otherFaces == 0) return budget;
  const double share = static_cast<double>(budget) * static_cast<double>(faces) /
                       static_cast<double>(faces + otherFaces);
  return std::max<size_t>(1, static_cast<size_t>(share));
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

// The texture drawn through the model's texture coordinates and the image
// for every face's surface, as the options and the model decide: --texture
// goes through the coordinates when the model has them and is the surface
// otherwise; without it, the body's own texture, or else the lid's.
struct Textures {
  std::optional<Image> model;    // modelTexture.bmp
  std::optional<Image> surface;  // silverTexture.bmp
  LookSummary summary;
};

Textures choose(const std::optional<RgbPicture>& given, const LookReport& body,
                const LookReport* lid) {
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

  std::optional<RgbPicture> given;
  if (!options.texture.empty()) {
    try {
      given = readPicture(options.texture);
    } catch (const PictureError& e) {
      throw ImportError(e.what());
    }
    progress.stage("texture", options.texture + ": " + std::to_string(given->width) + " x " +
                                  std::to_string(given->height) + " pixels");
  }
  LookReport bodyLook, lidLook;
  Mesh body =
      readFile(options.body, progress, bodyLook, given ? TextureUse::kGiven : TextureUse::kOwn);
  std::optional<Mesh> lid;
  if (!options.lid.empty()) {
    // One texture for both: a textured lid is drawn with the body's, as one
    // made from the same model shares it.
    lid = readFile(options.lid, progress, lidLook,
                   given              ? TextureUse::kGiven
                   : bodyLook.texture ? TextureUse::kShared
                                      : TextureUse::kOwn);
  }
  const Textures textures = choose(given, bodyLook, lid ? &lidLook : nullptr);
  progress.startLarge(body.faces.size() + (lid ? lid->faces.size() : 0));

  progress.step("cleaning");
  body = clean(options.body, body, progress);
  if (lid) lid = clean(options.lid, *lid, progress);

  const Orientation bodyOrientation{upFor(options, options.body), options.turnDegrees};
  orientMesh(body, bodyOrientation);
  progress.stage("orient", options.body + ": up " + upAxisName(bodyOrientation.up) + ", turned " +
                               format("%g", options.turnDegrees) + " degrees");
  if (lid) {
    const Orientation lidOrientation{upFor(options, options.lid), options.turnDegrees};
    orientMesh(*lid, lidOrientation);
    progress.stage("orient", options.lid + ": up " + upAxisName(lidOrientation.up));
  }

  progress.step("simplifying");
  const size_t lidFaces = lid ? lid->faces.size() : 0;
  const size_t bodyShare = shareOf(body.faces.size(), lidFaces, options.maxFaces);
  const size_t lidShare = shareOf(lidFaces, body.faces.size(), options.maxFaces);
  if (lid && bodyShare + lidShare > options.maxFaces) {
    throw ImportError("--max-faces " + std::to_string(options.maxFaces) +
                      " leaves no face for the lid; allow at least 2");
  }
  body = simplify(options.body, body, bodyShare, progress);
  if (lid) lid = simplify(options.lid, *lid, lidShare, progress);

  progress.step("framing");
  framing::Request request;
  request.lid = lid ? &*lid : nullptr;
  framing::FramedModel model;
  try {
    model = framing::frameModel(body, request);
  } catch (const framing::FrameError& e) {
    throw ImportError(e.what());
  }
  progress.stage("frame", "body " + boxText(model.body) +
                              (model.depthMarkers > 0 ? ", 2 depth vertices added" : "") +
                              (model.facesDropped > 0 ? ", " + std::to_string(model.facesDropped) +
                                                            " faces too small for floats dropped"
                                                      : ""));
  if (lid) {
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
  const size_t turned = windOutward(model.base) + windOutward(model.lid);
  progress.stage("wind", "faces wound outward, " + std::to_string(turned) + " turned over");
  progress.step("sorting");
  // Nearest first from the program's viewpoint, as the shipped data set is,
  // so that the depth test hides what lies behind.
  dataset::sortNearestFirst(model.base, framing::baseWorld(model.base, model.frame));
  dataset::sortNearestFirst(model.lid, framing::lidWorld(model.lid, model.frame));
  progress.stage("sort", "faces nearest first");

  progress.step("writing");
  dataset::DataSet data;
  data.body = &model.base;
  data.lid = lid ? &model.lid : nullptr;
  data.surface = textures.surface ? &*textures.surface : nullptr;
  data.modelTexture = textures.model ? &*textures.model : nullptr;
  writeOutput(dir, data, options.force);
  progress.stage("write", dir.string());
  progress.done();

  Summary summary;
  summary.directory = dir;
  summary.body = {model.base.faces.size(), model.base.vertices.size()};
  if (lid) summary.lid = MeshSummary{model.lid.faces.size(), model.lid.vertices.size()};
  summary.bodyPicture = model.body;
  summary.lidPicture = model.cover;
  summary.look = textures.summary;
  for (const std::string& warning : {bodyLook.warning, lidLook.warning}) {
    if (!warning.empty()) summary.warnings.push_back(warning);
  }
  return summary;
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
