// Helpers for the tests of what lighter-import writes of a model's look: the
// sidecar and the model's texture read back as the program reads them, and
// where the program shows each vertex.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "look/look.h"
#include "tests/unit/importer_test_support.h"
#include "textures/image.h"
#include "view/view_model.h"

namespace looktest {

namespace fs = std::filesystem;
using Rgb = std::array<std::uint8_t, 3>;

// The body's sidecar, which must describe every vertex of lighterBase.m.
inline MeshLook bodyLook(const fs::path& dir, const importertest::ProgramRun& run) {
  std::string why;
  const auto look =
      readLookFile((dir / kBaseLookFile).c_str(), run.meshes.lighterBaseVertices.size(), why);
  EXPECT_TRUE(look) << "lighterBase.look: " << why;
  return look.value_or(MeshLook{});
}

inline Image readBmp(const fs::path& path) {
  Image image;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  EXPECT_NE(file, nullptr) << path;
  if (file == nullptr) return image;
  EXPECT_EQ(decodeBmp(file, image).failure, BmpFailure::kNone) << path;
  std::fclose(file);
  return image;
}

// The texel at (u, v) in an image stored bottom row first, as OpenGL samples
// it (v = 0 at the bottom), at the nearest edge for coordinates outside.
inline Rgb texel(const Image& image, float u, float v) {
  auto index = [](float t, std::uint32_t size) {
    const long i = static_cast<long>(t * static_cast<float>(size));
    return static_cast<size_t>(std::clamp<long>(i, 0, static_cast<long>(size) - 1));
  };
  const size_t at = (index(v, image.height) * image.width + index(u, image.width)) * 3;
  return {image.data[at], image.data[at + 1], image.data[at + 2]};
}

// Where the program puts each body vertex in the world (x right, y up).
inline std::vector<view::Vec3> bodyWorld(const importertest::ProgramRun& run) {
  std::vector<view::Vec3> world;
  for (const Vector3& v : run.meshes.lighterBaseVertices) {
    world.push_back(view::baseToWorld(run.frame, {v.x, v.y, v.z}));
  }
  return world;
}

// The 0-based corners of the body's faces.
inline std::vector<std::array<size_t, 3>> bodyFaces(const importertest::ProgramRun& run) {
  std::vector<std::array<size_t, 3>> faces;
  for (const Tri& t : run.meshes.lighterBaseTriangles) {
    faces.push_back({static_cast<size_t>(t.corner1 - 1), static_cast<size_t>(t.corner2 - 1),
                     static_cast<size_t>(t.corner3 - 1)});
  }
  return faces;
}

// The quad of four colours as the program shows it: each corner's texture
// coordinates, taken a little towards the middle, find the colour of the
// texture's quarter where the corner shows (red top left, green top right,
// blue bottom left, yellow bottom right).
inline void expectFourColoursInPlace(const fs::path& dir) {
  const importertest::ProgramRun run = importertest::readAsProgram(dir);
  const MeshLook look = bodyLook(dir, run);
  const Image texture = readBmp(dir / kModelTextureFile);
  ASSERT_FALSE(look.uv.empty());
  ASSERT_GT(texture.width, 0u);
  const std::vector<view::Vec3> world = bodyWorld(run);
  view::Vec3 middle;
  float uMiddle = 0.0f, vMiddle = 0.0f;
  size_t corners = 0;
  for (const auto& face : bodyFaces(run)) {
    for (size_t c : face) {
      middle = middle + world[c];
      uMiddle += look.uv[2 * c];
      vMiddle += look.uv[2 * c + 1];
      ++corners;
    }
  }
  ASSERT_GT(corners, 0u);
  middle = (1.0 / static_cast<double>(corners)) * middle;
  uMiddle /= static_cast<float>(corners);
  vMiddle /= static_cast<float>(corners);
  for (const auto& face : bodyFaces(run)) {
    for (size_t c : face) {
      const bool left = world[c].x<middle.x, top = world[c].y> middle.y;
      const Rgb expected = top ? (left ? Rgb{255, 0, 0} : Rgb{0, 255, 0})
                               : (left ? Rgb{0, 0, 255} : Rgb{255, 255, 0});
      const float u = 0.8f * look.uv[2 * c] + 0.2f * uMiddle;
      const float v = 0.8f * look.uv[2 * c + 1] + 0.2f * vMiddle;
      EXPECT_EQ(texel(texture, u, v), expected)
          << "corner " << c << (top ? " top" : " bottom") << (left ? " left" : " right");
    }
  }
}

}  // namespace looktest
