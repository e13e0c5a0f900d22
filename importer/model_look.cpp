#include "importer/model_look.h"

#include <assimp/material.h>

namespace importer {

namespace {

std::uint8_t channel(float value) {
  const float clamped = value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
  return static_cast<std::uint8_t>(clamped * 255.0f + 0.5f);
}

// An embedded texture Assimp has already decoded: texels of blue, green,
// red and alpha.
RgbPicture fromTexels(const aiTexture& texture, const std::string& name) {
  const int width = static_cast<int>(texture.mWidth);
  const int height = static_cast<int>(texture.mHeight);
  if (!pictureSizeAccepted(width, height) || texture.pcData == nullptr) {
    throw PictureError(name + ": an embedded texture of an unusable size");
  }
  RgbPicture picture{width, height, {}, name};
  picture.rgb.reserve(size_t(width) * size_t(height) * 3);
  for (size_t i = 0; i < size_t(width) * size_t(height); ++i) {
    const aiTexel& t = texture.pcData[i];
    picture.rgb.insert(picture.rgb.end(), {t.r, t.g, t.b});
  }
  return picture;
}

std::string directoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string baseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Models made on other systems name their textures with backslashes.
std::string besideModel(const std::string& modelPath, std::string named) {
  for (char& c : named) {
    if (c == '\\') c = '/';
  }
  if (named.rfind("file://", 0) == 0) named.erase(0, 7);
  return !named.empty() && named[0] == '/' ? named : directoryOf(modelPath) + "/" + named;
}

RgbPicture texture(const aiScene& scene, const std::string& modelPath, const std::string& named) {
  const auto [embedded, index] = scene.GetEmbeddedTextureAndIndex(named.c_str());
  if (embedded != nullptr) {
    const std::string name = named[0] == '*' || named.empty()
                                 ? "embedded texture " + std::to_string(index)
                                 : baseName(named);
    if (embedded->mHeight != 0) return fromTexels(*embedded, name);
    return decodePicture(reinterpret_cast<const unsigned char*>(embedded->pcData), embedded->mWidth,
                         name);
  }
  if (!named.empty() && named[0] == '*') {
    throw PictureError("the model names embedded texture " + named + ", which it does not hold");
  }
  RgbPicture picture = readPicture(besideModel(modelPath, named));
  picture.name = baseName(named);
  return picture;
}

}  // namespace

MaterialLook lookOfMaterial(const aiMaterial& material) {
  MaterialLook look;
  aiColor4D colour;
  aiString name;
  const bool standIn = material.Get(AI_MATKEY_NAME, name) == AI_SUCCESS &&
                       std::string(name.C_Str()) == AI_DEFAULT_MATERIAL_NAME;
  // glTF gives a base colour, the older formats a diffuse one.
  if (!standIn && (material.Get(AI_MATKEY_BASE_COLOR, colour) == AI_SUCCESS ||
                   material.Get(AI_MATKEY_COLOR_DIFFUSE, colour) == AI_SUCCESS)) {
    look.rgb[0] = channel(colour.r);
    look.rgb[1] = channel(colour.g);
    look.rgb[2] = channel(colour.b);
    look.hasColour = true;
  }
  aiString texture;
  for (aiTextureType type : {aiTextureType_BASE_COLOR, aiTextureType_DIFFUSE}) {
    if (material.GetTextureCount(type) > 0 &&
        material.GetTexture(type, 0, &texture) == AI_SUCCESS && texture.length > 0) {
      look.texture = texture.C_Str();
      break;
    }
  }
  return look;
}

std::optional<RgbPicture> loadModelTexture(const aiScene& scene, const std::string& modelPath,
                                           const std::string& named, std::string& warning) {
  try {
    return texture(scene, modelPath, named);
  } catch (const PictureError& e) {
    warning = "the model's texture cannot be used: " + std::string(e.what());
    return std::nullopt;
  }
}

}  // namespace importer
