// Models with a look of their own, made by the project for the importer's
// tests and the README: texture coordinates, textures beside the model or
// embedded in it, and material colours. No third-party model or image file
// is needed anywhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace looks {

// A picture, the top row first, red-green-blue.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// Two by two texels: red top left, green top right, blue bottom left,
// yellow bottom right.
Picture fourColours();

// A square facing +z (y up), its texture coordinates running from (0, 0)
// at the bottom left to (1, 1) at the top right, textured with fourColours.
// Written as .obj (with .mtl and a PNG), .dae (with a TGA), .gltf (with a
// PNG) or .glb (the PNG embedded), by the path's extension. `textureFile`
// false leaves the texture out while the model still names it.
void writeTexturedQuad(const std::string& path, bool textureFile = true);

// Two boxes, one on the other: the lower one red, the upper one blue, as
// two materials with colours and no texture.
void writeTwoColourBoxes(const std::string& path);

// A church candle with red and cream stripes wound round it, textured.
void writeStripedCandle(const std::string& path);

}  // namespace looks
