// What a model file says about its look, read from Assimp's scene: each
// material's base colour and the diffuse or base-colour texture the model
// names, beside it or embedded in it. Plain records out; the pipeline joins
// them to its vertices.
#pragma once

#include <assimp/scene.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "textures/picture_import.h"

namespace importer {

// A material as Lit shows it: its colour (0 to 255 per channel) and the
// texture it names, if any.
struct MaterialLook {
  std::uint8_t rgb[3] = {255, 255, 255};
  bool hasColour = false;  // the file gave one (not Assimp's stand-in material)
  std::string texture;     // as the file names it: a path, or "*N" for an embedded one
};

MaterialLook lookOfMaterial(const aiMaterial& material);

// Decodes the texture `named` by a material of the model at `modelPath`:
// embedded in the scene, or a file beside the model (TGA, PNG, JPEG, BMP and
// whatever else stb_image reads). Nothing, with `warning` saying why, when it
// is missing or cannot be read: the model is then shown without it.
std::optional<RgbPicture> loadModelTexture(const aiScene& scene, const std::string& modelPath,
                                           const std::string& named, std::string& warning);

}  // namespace importer
