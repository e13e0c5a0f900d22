#include "importer/read.h"

#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/DefaultIOSystem.h>
#include <unistd.h>

#include <array>
#include <assimp/Importer.hpp>
#include <cmath>
#include <limits>
#include <memory>
#include <set>

#include "importer/input_file.h"

namespace importer {

namespace {

// What the program draws is positions and faces; everything else a file may
// carry is dropped before vertices are joined, so that they join by position.
// A model with a look keeps its texture coordinates or its materials (see
// droppedFor).
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

// What is kept of a model's look, decided before processing.
struct KeptLook {
  bool uvs = false;
  bool colours = false;
  std::vector<MaterialLook> materials;  // by material index
};

int droppedFor(const KeptLook& kept) {
  int dropped = kDroppedComponents;
  if (kept.uvs) dropped &= ~aiComponent_TEXCOORDS;
  // Without materials, flattening merges every mesh, and each vertex's
  // material would be lost.
  if (kept.colours) dropped &= ~aiComponent_MATERIALS;
  return dropped;
}

bool hasUvs(const aiScene& scene) {
  for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
    if (scene.mMeshes[m]->HasTextureCoords(0)) return true;
  }
  return false;
}

// The first material, in the order the meshes use them, that names a texture.
const MaterialLook* firstTextured(const aiScene& scene,
                                  const std::vector<MaterialLook>& materials) {
  for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
    const unsigned index = scene.mMeshes[m]->mMaterialIndex;
    if (index < materials.size() && !materials[index].texture.empty()) return &materials[index];
  }
  return nullptr;
}

// A material that names a texture takes its look from it, its colour being a
// tint at most: when the texture cannot be used, the model is shown silver.
bool ownColour(const MaterialLook& material) {
  return material.hasColour && material.texture.empty();
}

size_t distinctColours(const aiScene& scene, const std::vector<MaterialLook>& materials) {
  std::set<std::array<std::uint8_t, 3>> colours;
  for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
    const unsigned index = scene.mMeshes[m]->mMaterialIndex;
    if (index < materials.size() && ownColour(materials[index])) {
      const std::uint8_t* c = materials[index].rgb;
      colours.insert({c[0], c[1], c[2]});
    }
  }
  // One colour that is white, or the grey Assimp gives a material a file
  // names but does not describe (an OBJ without its MTL), is no look of the
  // model's own: it shows silver.
  const std::set<std::array<std::uint8_t, 3>> placeholders = {{255, 255, 255}, {153, 153, 153}};
  if (colours.size() == 1 && placeholders.count(*colours.begin()) > 0) return 0;
  return colours.size();
}

// Reads the look from the scene as loaded (embedded textures are still in
// it): texture coordinates when a texture is drawn through them, otherwise
// material colours, otherwise nothing.
KeptLook readLook(const std::string& path, const aiScene& scene, TextureUse use, LookReport& look) {
  KeptLook kept;
  for (unsigned i = 0; i < scene.mNumMaterials; ++i) {
    const aiMaterial* material = scene.mMaterials[i];
    kept.materials.push_back(material != nullptr ? lookOfMaterial(*material) : MaterialLook{});
  }
  if (hasUvs(scene)) {
    const MaterialLook* textured = firstTextured(scene, kept.materials);
    if (use == TextureUse::kOwn && textured != nullptr) {
      look.texture = loadModelTexture(scene, path, textured->texture, look.warning);
    }
    kept.uvs = use == TextureUse::kGiven || look.texture.has_value() ||
               (use == TextureUse::kShared && textured != nullptr);
  }
  if (!kept.uvs) {
    look.colours = distinctColours(scene, kept.materials);
    kept.colours = look.colours > 0;
  }
  look.uvs = kept.uvs;
  return kept;
}

void appendLook(const aiMesh& mesh, const KeptLook& kept, MeshLook& out) {
  const MaterialLook none;
  const MaterialLook& material =
      mesh.mMaterialIndex < kept.materials.size() ? kept.materials[mesh.mMaterialIndex] : none;
  for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
    if (kept.uvs) {
      // A mesh without coordinates, beside others with them, shows the
      // texture's corner; a coordinate that is not a number, too.
      aiVector3D uv = mesh.HasTextureCoords(0) ? mesh.mTextureCoords[0][v] : aiVector3D();
      if (!std::isfinite(uv.x) || !std::isfinite(uv.y)) uv = aiVector3D();
      out.uv.insert(out.uv.end(), {uv.x, uv.y});
    }
    if (kept.colours) {
      static const std::uint8_t white[3] = {255, 255, 255};
      const std::uint8_t* rgb = ownColour(material) ? material.rgb : white;
      out.rgb.insert(out.rgb.end(), rgb, rgb + 3);
    }
  }
}

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

void append(const std::string& path, const aiMesh& mesh, const KeptLook& kept, Mesh& out,
            ReadReport& report) {
  const size_t base = out.vertices.size();
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
    out.vertices.push_back({p.x, p.y, p.z});
  }
  appendLook(mesh, kept, out.look);
  for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
    const aiFace& face = mesh.mFaces[f];
    if (face.mNumIndices != 3) continue;
    dataset::Face corners{};
    for (unsigned k = 0; k < 3; ++k) {
      // Assimp's validation has checked this; a loader fault must not make
      // the importer read outside the vertices all the same.
      if (face.mIndices[k] >= mesh.mNumVertices) {
        throw ImportError(path + ": a face names a vertex the mesh does not have");
      }
      corners[k] = static_cast<int>(base + face.mIndices[k]);
    }
    out.faces.push_back(corners);
  }
  report.vertices += mesh.mNumVertices;
}

}  // namespace

Mesh readModel(const std::string& path, ReadReport& report, LookReport* look, TextureUse use) {
  report = {};
  // The file must open as a regular file before Assimp sees it, so that a
  // missing, unreadable or endless file is reported as such.
  openInput(path, "a model file");
  Assimp::Importer assimp;
  assimp.SetIOHandler(std::make_unique<RegularFilesOnly>().release());  // Assimp owns it now
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
  KeptLook kept;
  if (look != nullptr) {
    *look = {};
    kept = readLook(path, *scene, use, *look);
  }
  assimp.SetPropertyInteger(AI_CONFIG_PP_RVC_FLAGS, droppedFor(kept));
  scene = assimp.ApplyPostProcessing(kPostProcessing);
  if (scene == nullptr) {
    throw ImportError(path + ": no triangle is left once those without corners of their own " +
                      "are dropped (Assimp: " + quoted(assimp.GetErrorString()) + ")");
  }

  Mesh out;
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    const aiMesh& mesh = *scene->mMeshes[m];
    if ((mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) == 0) continue;
    append(path, mesh, kept, out, report);
    ++report.meshes;
  }
  report.faces = out.faces.size();
  if (out.faces.empty()) {
    throw ImportError(path + ": has no triangles with an area (all their corners coincide)");
  }
  return out;
}

}  // namespace importer
