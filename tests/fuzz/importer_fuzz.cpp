// Arbitrary geometry through the importer's own stages, after what a model
// reader would hand them: join, orient, simplify, frame, sort and write, then
// read back with the program's reader. Every face it reads must have a
// normal, and nothing may skip a face; the framing checks itself and throws
// std::logic_error (which aborts here) when the picture misses its place.
//
// Input: byte 0 the number of vertices (3 to 64), byte 1 the up axis, the
// turn, the face budget and whether the shape is also the lid, then x, y, z of each vertex as
// 32-bit floats, then the faces as byte triples (corners taken modulo the vertex count).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "dataset/face_order.h"
#include "dataset/mesh_text.h"
#include "framing/frame.h"
#include "importer/clean.h"
#include "importer/orient.h"
#include "importer/simplify.h"
#include "importer/winding.h"
#include "look/look.h"
#include "mesh/mesh.h"
#include "mesh/reader.h"

namespace {

importer::Mesh meshFrom(const uint8_t* data, size_t size, bool& ok) {
  importer::Mesh mesh;
  ok = false;
  if (size < 2) return mesh;
  const size_t vertices = 3 + data[0] % 62;
  size_t at = 2;
  if (size < at + vertices * 12) return mesh;
  for (size_t i = 0; i < vertices; ++i, at += 12) {
    float value[3];
    std::memcpy(value, data + at, 12);
    for (float c : value) {
      if (!std::isfinite(c)) return mesh;  // the reader refuses those
    }
    mesh.vertices.push_back({value[0], value[1], value[2]});
  }
  for (; at + 3 <= size; at += 3) {
    mesh.faces.push_back({static_cast<int>(data[at] % vertices),
                          static_cast<int>(data[at + 1] % vertices),
                          static_cast<int>(data[at + 2] % vertices)});
  }
  if (data[1] & 128) {
    for (size_t v = 0; v < vertices; ++v) {
      mesh.look.rgb.insert(mesh.look.rgb.end(), {static_cast<uint8_t>(v), 7, 11});
    }
  }
  ok = true;
  return mesh;
}

void checkLook(const dataset::Mesh& mesh, bool coloured) {
  if (mesh.look.rgb.size() != (coloured ? 3 * mesh.vertices.size() : 0)) std::abort();
  if (!coloured) return;
  const std::vector<unsigned char> bytes = encodeLook(mesh.look, mesh.vertices.size());
  std::string why;
  if (!decodeLook(bytes.data(), bytes.size(), mesh.vertices.size(), why)) std::abort();
}

void checkAsTheProgramReadsIt(const dataset::Mesh& mesh, int isBase) {
  MeshState meshes;
  std::istringstream in(dataset::meshText(mesh, "", dataset::Numbers::kShortestFloat));
  std::ostringstream commentary;
  readStream(meshes, in, isBase, "fuzz.m", commentary);
  if (commentary.str().find("face skipped") != std::string::npos) std::abort();
  const auto& faces = isBase ? meshes.lighterBaseTriangles : meshes.lighterTopTriangles;
  if (faces.size() != mesh.faces.size()) std::abort();
  for (const Tri& f : faces) {
    if (!std::isfinite(f.normal.x) || !std::isfinite(f.normal.y) || !std::isfinite(f.normal.z)) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  bool ok = false;
  importer::Mesh mesh = meshFrom(data, size, ok);
  if (!ok) return 0;
  const uint8_t options = data[1];
  try {
    importer::CleanReport cleaned;
    mesh = importer::cleanMesh(mesh, cleaned);
    if (mesh.faces.empty()) return 0;
    importer::Orientation orientation;
    orientation.up = {options % 3, options & 8 ? -1 : 1};
    orientation.turnDegrees = (options & 16) ? 37.0 : 0.0;
    importer::orientMesh(mesh, orientation);
    importer::SimplifyReport simplified;
    mesh = importer::simplifyMesh(mesh, (options & 32) ? 4 : 0, simplified);
    // With a lid: the same shape again, beside the body.
    const bool lid = (options & 64) != 0;
    framing::Request request;
    request.lid = lid ? &mesh : nullptr;
    framing::FramedModel model = framing::frameModel(mesh, request);
    importer::windOutward(model.base);
    importer::windOutward(model.lid);
    dataset::sortNearestFirst(model.base, framing::baseWorld(model.base, model.frame));
    dataset::sortNearestFirst(model.lid, framing::lidWorld(model.lid, model.frame));
    checkAsTheProgramReadsIt(model.base, 1);
    checkLook(model.base, (options & 128) != 0);
    if (lid) {
      checkAsTheProgramReadsIt(model.lid, 0);
      checkLook(model.lid, (options & 128) != 0);
    }
  } catch (const importer::ImportError&) {
    // A model the importer refuses, with its reason: fine.
  } catch (const framing::FrameError&) {
    // Or one that no placement shows whole: fine too.
  }
  return 0;
}
