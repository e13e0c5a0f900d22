#include "importer/read.h"

#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/DefaultIOSystem.h>
#include <unistd.h>

#include <assimp/Importer.hpp>
#include <cmath>
#include <limits>
#include <memory>

#include "importer/input_file.h"

namespace importer {

namespace {

// What the program draws is positions and faces; everything else a file may
// carry is dropped before vertices are joined, so that they join by position.
constexpr int kDroppedComponents =
    aiComponent_NORMALS | aiComponent_TANGENTS_AND_BITANGENTS | aiComponent_COLORS |
    aiComponent_TEXCOORDS | aiComponent_BONEWEIGHTS | aiComponent_ANIMATIONS |
    aiComponent_TEXTURES | aiComponent_LIGHTS | aiComponent_CAMERAS | aiComponent_MATERIALS;

// The loader's scene checked (face indices within their mesh, among other
// things), node transforms flattened into the vertices, polygons cut into
// triangles, points and lines sorted out and dropped, faces whose corners
// repeat a position dropped. Without materials every mesh shares the default
// one, so flattening merges them. (FindInvalidData would only drop a mesh
// whose vertices all coincide, which the clean stage finds anyway.)
constexpr unsigned kPostProcessing =
    aiProcess_ValidateDataStructure | aiProcess_PreTransformVertices | aiProcess_Triangulate |
    aiProcess_SortByPType | aiProcess_FindDegenerates | aiProcess_RemoveComponent;

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// Assimp's own file access, but a file that is not a regular one neither
// exists nor opens: a model may name further files (an OBJ its materials, a
// glTF its buffers), and a FIFO or a device among them would be waited on
// or read without end. (Assimp tests existence by opening the file.)
class RegularFilesOnly : public Assimp::DefaultIOSystem {
 public:
  bool Exists(const char* path) const override {
    const DataFile file = openDataFile(path);
    if (file.fd < 0) return false;
    ::close(file.fd);
    return true;
  }
  Assimp::IOStream* Open(const char* path, const char* mode) override {
    return Exists(path) ? DefaultIOSystem::Open(path, mode) : nullptr;
  }
};

bool isFinite(const aiVector3D& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

std::string describe(const aiVector3D& v) {
  char text[96];
  std::snprintf(text, sizeof text, "%g %g %g", static_cast<double>(v.x), static_cast<double>(v.y),
                static_cast<double>(v.z));
  return text;
}

// Before any processing: the file must hold a polygon and no coordinate that
// is not a number or infinite (processing would silently drop such meshes).
// Returns the number of points and lines, which the program cannot draw.
size_t checkContent(const std::string& path, const aiScene& scene) {
  size_t polygons = 0;
  size_t others = 0;
  for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
    const aiMesh& mesh = *scene.mMeshes[m];
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
      ++(mesh.mFaces[f].mNumIndices >= 3 ? polygons : others);
    }
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
      if (!isFinite(mesh.mVertices[v])) {
        throw ImportError(path + ": has a coordinate that is not a finite number (vertex " +
                          std::to_string(v + 1) + " of mesh " + std::to_string(m + 1) + " is " +
                          describe(mesh.mVertices[v]) + ")");
      }
    }
  }
  if (polygons == 0) {
    throw ImportError(path + ": has no triangles (" +
                      (others > 0 ? "only points or lines" : "no geometry at all") + ")");
  }
  return others;
}

void append(const std::string& path, const aiMesh& mesh, SourceMesh& out, ReadReport& report) {
  const size_t base = out.vertexCount();
  // Corners are written as int in the program's format.
  if (base + mesh.mNumVertices > static_cast<size_t>(std::numeric_limits<int>::max())) {
    throw ImportError(path + ": has more vertices than the program's format can number");
  }
  for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
    const aiVector3D& p = mesh.mVertices[v];
    if (!isFinite(p)) {
      throw ImportError(path + ": a node transform takes a vertex beyond the finite numbers (" +
                        describe(p) + ")");
    }
    out.positions.insert(out.positions.end(), {p.x, p.y, p.z});
  }
  for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
    const aiFace& face = mesh.mFaces[f];
    if (face.mNumIndices != 3) continue;
    for (unsigned k = 0; k < 3; ++k) {
      // Assimp's validation has checked this; a loader fault must not make
      // the importer read outside the vertices all the same.
      if (face.mIndices[k] >= mesh.mNumVertices) {
        throw ImportError(path + ": a face names a vertex the mesh does not have");
      }
      out.indices.push_back(static_cast<std::uint32_t>(base + face.mIndices[k]));
    }
  }
  report.vertices += mesh.mNumVertices;
}

}  // namespace

SourceMesh readModel(const std::string& path, ReadReport& report) {
  report = {};
  // The file must open as a regular file before Assimp sees it, so that a
  // missing, unreadable or endless file is reported as such.
  openInput(path, "a model file");
  Assimp::Importer assimp;
  assimp.SetIOHandler(std::make_unique<RegularFilesOnly>().release());  // Assimp owns it now
  assimp.SetPropertyInteger(AI_CONFIG_PP_RVC_FLAGS, kDroppedComponents);
  assimp.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE, aiPrimitiveType_POINT | aiPrimitiveType_LINE);
  assimp.SetPropertyBool(AI_CONFIG_PP_FD_REMOVE, true);
  // Assimp's area test drops triangles under a fixed area of 1e-6, which
  // would empty a model made in metres; faces without area are found later.
  assimp.SetPropertyBool(AI_CONFIG_PP_FD_CHECKAREA, false);

  const aiScene* scene = assimp.ReadFile(path, 0);
  if (scene == nullptr) {
    throw ImportError(path + ": cannot read it (Assimp: " + quoted(assimp.GetErrorString()) + ")");
  }
  report.droppedPrimitives = checkContent(path, *scene);
  scene = assimp.ApplyPostProcessing(kPostProcessing);
  if (scene == nullptr) {
    throw ImportError(path + ": no triangle is left once those without corners of their own " +
                      "are dropped (Assimp: " + quoted(assimp.GetErrorString()) + ")");
  }

  SourceMesh out;
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    const aiMesh& mesh = *scene->mMeshes[m];
    if ((mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) == 0) continue;
    append(path, mesh, out, report);
    ++report.meshes;
  }
  report.faces = out.faceCount();
  if (out.indices.empty()) {
    throw ImportError(path + ": has no triangles with an area (all their corners coincide)");
  }
  return out;
}

}  // namespace importer
