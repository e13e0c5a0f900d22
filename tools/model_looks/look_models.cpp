#include "tools/model_looks/look_models.h"

#include <assimp/material.h>
#include <assimp/scene.h>
#include <stb_image_write.h>

#include <algorithm>
#include <assimp/Exporter.hpp>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

namespace looks {

namespace {

constexpr double kPi = 3.14159265358979323846;

// One mesh of a model: corners with their texture coordinates, and the
// material (by number) it is drawn with.
struct Part {
  std::vector<aiVector3D> positions;
  std::vector<aiVector3D> uv;
  std::vector<unsigned> indices;
  unsigned material = 0;

  unsigned add(aiVector3D p, float u, float v) {
    positions.push_back(p);
    uv.emplace_back(u, v, 0.0f);
    return static_cast<unsigned>(positions.size() - 1);
  }
  void quad(unsigned a, unsigned b, unsigned c, unsigned d) {
    indices.insert(indices.end(), {a, b, c, a, c, d});
  }
};

struct Material {
  aiColor3D colour{1.0f, 1.0f, 1.0f};
  std::string texture;  // empty for none
};

std::string extensionOf(const std::string& path) {
  std::string extension = path.substr(std::min(path.size(), path.rfind('.') + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

std::string stemOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.substr(0, name.rfind('.'));
}

std::string directoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

void appendBytes(void* context, void* data, int size) {
  auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
  const auto* from = static_cast<const std::uint8_t*>(data);
  bytes->insert(bytes->end(), from, from + size);
}

std::vector<std::uint8_t> encodePng(const Picture& picture) {
  std::vector<std::uint8_t> bytes;
  if (stbi_write_png_to_func(appendBytes, &bytes, picture.width, picture.height, 3,
                             picture.rgb.data(), picture.width * 3) == 0) {
    throw std::runtime_error("cannot encode a PNG");
  }
  return bytes;
}

void writeImage(const Picture& picture, const std::string& path) {
  const bool tga = extensionOf(path) == "tga";
  const int written =
      tga ? stbi_write_tga(path.c_str(), picture.width, picture.height, 3, picture.rgb.data())
          : stbi_write_png(path.c_str(), picture.width, picture.height, 3, picture.rgb.data(),
                           picture.width * 3);
  if (written == 0) throw std::runtime_error("cannot write " + path);
}

aiMesh* meshOf(const Part& part) {
  auto* m = new aiMesh();
  m->mMaterialIndex = part.material;
  m->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
  m->mNumVertices = static_cast<unsigned>(part.positions.size());
  m->mVertices = new aiVector3D[part.positions.size()];
  std::copy(part.positions.begin(), part.positions.end(), m->mVertices);
  m->mNumUVComponents[0] = 2;
  m->mTextureCoords[0] = new aiVector3D[part.uv.size()];
  std::copy(part.uv.begin(), part.uv.end(), m->mTextureCoords[0]);
  m->mNumFaces = static_cast<unsigned>(part.indices.size() / 3);
  m->mFaces = new aiFace[m->mNumFaces];
  for (unsigned f = 0; f < m->mNumFaces; ++f) {
    m->mFaces[f].mNumIndices = 3;
    m->mFaces[f].mIndices =
        new unsigned[3]{part.indices[3 * f], part.indices[3 * f + 1], part.indices[3 * f + 2]};
  }
  return m;
}

aiMaterial* materialOf(const Material& look, unsigned number) {
  auto* material = new aiMaterial();
  const aiString name("look" + std::to_string(number));
  material->AddProperty(&name, AI_MATKEY_NAME);
  material->AddProperty(&look.colour, 1, AI_MATKEY_COLOR_DIFFUSE);
  if (!look.texture.empty()) {
    const aiString texture(look.texture);
    material->AddProperty(&texture, AI_MATKEY_TEXTURE_DIFFUSE(0));
  }
  return material;
}

// An embedded texture as glTF keeps one: the PNG file's bytes.
aiTexture* embeddedPng(const Picture& picture) {
  const std::vector<std::uint8_t> png = encodePng(picture);
  auto* texture = new aiTexture();
  texture->mWidth = static_cast<unsigned>(png.size());
  texture->mHeight = 0;
  std::strcpy(texture->achFormatHint, "png");
  texture->pcData = new aiTexel[(png.size() + sizeof(aiTexel) - 1) / sizeof(aiTexel)];
  std::memcpy(texture->pcData, png.data(), png.size());
  return texture;
}

// The scene owns what it points to and frees it in its destructor.
std::unique_ptr<aiScene> sceneOf(const std::vector<Part>& parts,
                                 const std::vector<Material>& materials) {
  auto scene = std::make_unique<aiScene>();
  scene->mRootNode = new aiNode("model");
  scene->mRootNode->mNumMeshes = static_cast<unsigned>(parts.size());
  scene->mRootNode->mMeshes = new unsigned[parts.size()];
  scene->mNumMeshes = static_cast<unsigned>(parts.size());
  scene->mMeshes = new aiMesh*[parts.size()];
  for (unsigned i = 0; i < parts.size(); ++i) {
    scene->mRootNode->mMeshes[i] = i;
    scene->mMeshes[i] = meshOf(parts[i]);
  }
  scene->mNumMaterials = static_cast<unsigned>(materials.size());
  scene->mMaterials = new aiMaterial*[materials.size()];
  for (unsigned i = 0; i < materials.size(); ++i)
    scene->mMaterials[i] = materialOf(materials[i], i);
  return scene;
}

// Writes the model, and its texture where the format keeps it: beside an
// OBJ (PNG), a Collada file (TGA) or a glTF file (PNG), inside a GLB.
void writeModel(const std::string& path, std::vector<Part> parts, std::vector<Material> materials,
                const Picture* texture, bool textureFile) {
  const std::string extension = extensionOf(path);
  const std::map<std::string, std::string> formats = {
      {"obj", "obj"}, {"dae", "collada"}, {"gltf", "gltf2"}, {"glb", "glb2"}};
  const auto format = formats.find(extension);
  if (format == formats.end()) throw std::runtime_error("no exporter for ." + extension);
  std::string textureName;
  if (texture != nullptr) {
    textureName = extension == "glb" ? "*0" : stemOf(path) + (extension == "dae" ? ".tga" : ".png");
    for (Material& m : materials) {
      if (m.texture == "TEXTURE") m.texture = textureName;
    }
  }
  std::unique_ptr<aiScene> scene = sceneOf(parts, materials);
  if (texture != nullptr && extension == "glb") {
    scene->mNumTextures = 1;
    scene->mTextures = new aiTexture* [1] { embeddedPng(*texture) };
  } else if (texture != nullptr && textureFile) {
    writeImage(*texture, directoryOf(path) + "/" + textureName);
  }
  Assimp::Exporter exporter;
  if (exporter.Export(scene.get(), format->second, path) != AI_SUCCESS) {
    throw std::runtime_error("cannot write " + path + ": " + exporter.GetErrorString());
  }
}

// An axis-aligned box, outward-facing, from `low` to `high`.
Part boxPart(aiVector3D low, aiVector3D high, unsigned material) {
  Part part;
  part.material = material;
  const float x0 = low.x, y0 = low.y, z0 = low.z, x1 = high.x, y1 = high.y, z1 = high.z;
  // Each side's corners counter-clockwise seen from outside.
  const aiVector3D sides[6][4] = {
      {{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}},
      {{x1, y0, z0}, {x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}},
      {{x1, y0, z1}, {x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}},
      {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}},
      {{x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}, {x0, y1, z0}},
      {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}},
  };
  for (const auto& s : sides) {
    part.quad(part.add(s[0], 0, 0), part.add(s[1], 1, 0), part.add(s[2], 1, 1),
              part.add(s[3], 0, 1));
  }
  return part;
}

// A cylinder of `radius` and `height` standing on y = 0, with its caps; the
// texture's u runs once round it (the seam's column doubled, so that it
// does not run back across the texture), v up its side.
Part candlePart(float radius, float height, unsigned segments) {
  Part part;
  std::vector<unsigned> bottom, top;
  for (unsigned k = 0; k <= segments; ++k) {
    const double a = 2.0 * kPi * k / segments;
    const auto x = static_cast<float>(radius * std::sin(a));
    const auto z = static_cast<float>(radius * std::cos(a));
    const float u = static_cast<float>(k) / static_cast<float>(segments);
    bottom.push_back(part.add({x, 0.0f, z}, u, 0.0f));
    top.push_back(part.add({x, height, z}, u, 1.0f));
  }
  for (unsigned k = 0; k < segments; ++k) part.quad(bottom[k], bottom[k + 1], top[k + 1], top[k]);
  // The caps take the texture's top and bottom rows.
  const unsigned topCentre = part.add({0.0f, height, 0.0f}, 0.5f, 1.0f);
  const unsigned bottomCentre = part.add({0.0f, 0.0f, 0.0f}, 0.5f, 0.0f);
  for (unsigned k = 0; k < segments; ++k) {
    part.indices.insert(part.indices.end(), {top[k], top[k + 1], topCentre});
    part.indices.insert(part.indices.end(), {bottom[k + 1], bottom[k], bottomCentre});
  }
  return part;
}

Picture stripes() {
  Picture picture{128, 128, {}};
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const bool red = ((x + y) / 16) % 2 == 0;
      const std::uint8_t rgb[3] = {static_cast<std::uint8_t>(red ? 200 : 245),
                                   static_cast<std::uint8_t>(red ? 30 : 232),
                                   static_cast<std::uint8_t>(red ? 40 : 205)};
      picture.rgb.insert(picture.rgb.end(), rgb, rgb + 3);
    }
  }
  return picture;
}

}  // namespace

Picture fourColours() { return {2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0}}; }

void writeTexturedQuad(const std::string& path, bool textureFile) {
  Part quad;
  quad.quad(quad.add({-1, -1, 0}, 0, 0), quad.add({1, -1, 0}, 1, 0), quad.add({1, 1, 0}, 1, 1),
            quad.add({-1, 1, 0}, 0, 1));
  const Picture texture = fourColours();
  writeModel(path, {quad}, {{{1, 1, 1}, "TEXTURE"}}, &texture, textureFile);
}

void writeTwoColourBoxes(const std::string& path) {
  const std::vector<Part> parts = {boxPart({-1, 0, -1}, {1, 2, 1}, 0),
                                   boxPart({-1, 2, -1}, {1, 4, 1}, 1)};
  writeModel(path, parts, {{{0.85f, 0.1f, 0.1f}, ""}, {{0.1f, 0.2f, 0.9f}, ""}}, nullptr, false);
}

void writeStripedCandle(const std::string& path) {
  const Picture texture = stripes();
  writeModel(path, {candlePart(2.0f, 9.0f, 48)}, {{{1, 1, 1}, "TEXTURE"}}, &texture, true);
}

}  // namespace looks
