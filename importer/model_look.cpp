#include "importer/model_look.h"

#include <assimp/material.h>
#include <stb_image.h>
#include <unistd.h>

#include <memory>

#include "files/data_file.h"

namespace importer {

namespace {

// Larger images are refused before they are decoded.
constexpr int kMaxSide = 1 << 15;
constexpr long long kMaxPixels = 1LL << 26;
// An embedded or neighbouring image file is read whole; none is this large.
constexpr size_t kMaxFileBytes = size_t{1} << 28;

struct StbFree {
  void operator()(unsigned char* pixels) const { stbi_image_free(pixels); }
};

std::uint8_t channel(float value) {
  const float clamped = value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
  return static_cast<std::uint8_t>(clamped * 255.0f + 0.5f);
}

std::string stbReason() {
  const char* reason = stbi_failure_reason();
  return reason != nullptr ? reason : "unknown reason";
}

bool sizeAccepted(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         static_cast<long long>(width) * height <= kMaxPixels;
}

std::optional<RgbPicture> decode(const unsigned char* bytes, size_t size, std::string name,
                                 std::string& warning) {
  int width = 0, height = 0, channels = 0;
  if (size > static_cast<size_t>(INT32_MAX) ||
      stbi_info_from_memory(bytes, static_cast<int>(size), &width, &height, &channels) == 0) {
    warning = name + ": not an image stb_image can read (" + stbReason() + ")";
    return std::nullopt;
  }
  if (!sizeAccepted(width, height)) {
    warning = name + ": the image is too large (" + std::to_string(width) + " by " +
              std::to_string(height) + ")";
    return std::nullopt;
  }
  std::unique_ptr<unsigned char, StbFree> pixels(
      stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 3));
  if (!pixels) {
    warning = name + ": cannot decode the image (" + stbReason() + ")";
    return std::nullopt;
  }
  RgbPicture picture{width, height, {}, std::move(name)};
  picture.rgb.assign(pixels.get(), pixels.get() + size_t(width) * size_t(height) * 3);
  return picture;
}

// An embedded texture Assimp has already decoded: texels of blue, green,
// red and alpha.
std::optional<RgbPicture> fromTexels(const aiTexture& texture, std::string name,
                                     std::string& warning) {
  const int width = static_cast<int>(texture.mWidth);
  const int height = static_cast<int>(texture.mHeight);
  if (!sizeAccepted(width, height) || texture.pcData == nullptr) {
    warning = name + ": an embedded texture of an unusable size";
    return std::nullopt;
  }
  RgbPicture picture{width, height, {}, std::move(name)};
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

bool readWhole(const std::string& path, std::vector<unsigned char>& bytes, std::string& why) {
  DataFile file = openDataFile(path.c_str());
  if (file.fd < 0) {
    why = file.reason;
    return false;
  }
  unsigned char chunk[1 << 16];
  ssize_t got = 0;
  while ((got = ::read(file.fd, chunk, sizeof chunk)) > 0) {
    if (bytes.size() + static_cast<size_t>(got) > kMaxFileBytes) {
      ::close(file.fd);
      why = "too large";
      return false;
    }
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  ::close(file.fd);
  if (got < 0) why = "cannot be read";
  return got == 0;
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
  const auto [embedded, index] = scene.GetEmbeddedTextureAndIndex(named.c_str());
  if (embedded != nullptr) {
    std::string name = named[0] == '*' || named.empty()
                           ? "embedded texture " + std::to_string(index)
                           : baseName(named);
    if (embedded->mHeight != 0) return fromTexels(*embedded, std::move(name), warning);
    return decode(reinterpret_cast<const unsigned char*>(embedded->pcData), embedded->mWidth,
                  std::move(name), warning);
  }
  if (!named.empty() && named[0] == '*') {
    warning = "the model names embedded texture " + named + ", which it does not hold";
    return std::nullopt;
  }
  const std::string path = besideModel(modelPath, named);
  std::vector<unsigned char> bytes;
  std::string why;
  if (!readWhole(path, bytes, why)) {
    warning = "the model's texture " + path + " cannot be used: " + why;
    return std::nullopt;
  }
  return decode(bytes.data(), bytes.size(), baseName(named), warning);
}

}  // namespace importer
