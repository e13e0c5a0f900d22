#include "render/lit_look.h"

#include <new>
#include <string>

#include "files/data_file.h"
#include "textures/image.h"

namespace {

const char* why(const BmpResult& result) {
  switch (result.failure) {
    case BmpFailure::kNone:
      break;
    case BmpFailure::kPlanes:
      return "not a BMP picture of one plane";
    case BmpFailure::kBitsPerPixel:
      return "not 24 bits per pixel";
    case BmpFailure::kTooLarge:
      return "picture too large";
    case BmpFailure::kNoMemory:
      return "not enough memory for the picture";
    case BmpFailure::kShortPixels:
      return "the pixels are cut short";
  }
  return "";
}

// One mesh's sidecar; `part` names the mesh in the message.
void loadMeshLook(const char* path, size_t vertexCount, const char* part, LitMesh& mesh,
                  std::ostream& err) {
  if (mesh.indices.empty()) return;  // nothing drawn, nothing to dress
  std::string reason;
  std::optional<MeshLook> look;
  try {
    look = readLookFile(path, vertexCount, reason);
  } catch (const std::bad_alloc&) {
    reason = "not enough memory to read it";
  }
  if (look && attachLook(mesh, vertexCount, std::move(*look))) return;
  if (look) reason = "the mesh was not built for it";
  if (!reason.empty()) {
    err << "lighter: " << path << ": " << reason << ", so " << part << " is drawn silver in Lit\n";
  }
}

// False, with `reason`, when the texture cannot be had.
bool loadModelTexture(Image& image, std::string& reason) {
  const FileHandle file = openDataStream(kModelTextureFile, reason);
  if (!file) return false;
  const BmpResult result = decodeBmp(file.get(), image);
  if (result.failure == BmpFailure::kNone) return true;
  reason = why(result);
  image = Image{};
  return false;
}

}  // namespace

bool attachLook(LitMesh& mesh, size_t vertexCount, MeshLook&& look) {
  if (mesh.positions.size() != 3 * vertexCount) return false;
  mesh.uv = std::move(look.uv);
  mesh.rgb = std::move(look.rgb);
  return true;
}

void loadLitLooks(const MeshState& meshes, LitState& lit, std::ostream& err) {
  loadMeshLook(kBaseLookFile, meshes.lighterBaseVertices.size(), "the body", lit.body, err);
  loadMeshLook(kTopLookFile, meshes.lighterTopVertices.size(), "the lid", lit.lid, err);
  if (lit.body.uv.empty() && lit.lid.uv.empty()) return;
  std::string reason;
  if (!loadModelTexture(lit.modelImage, reason)) {
    err << "lighter: " << kModelTextureFile << ": " << reason
        << ", so the model is drawn without its texture in Lit\n";
  }
}
