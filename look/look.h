// What Lit shows of an imported mesh beyond its shape: a texture coordinate
// and a colour per vertex, kept in a sidecar file beside the mesh file. Only
// Lit reads them, so the `.m` files stay what every mode reads. Plain bytes
// and plain records; no GL here.
//
// A sidecar, all numbers little-endian:
//   8 bytes  "LGHTLOOK"
//   uint32   format version, 1
//   uint32   vertex count N: the mesh file's vertex lines, in their order
//   uint32   what follows: bit 0 texture coordinates, bit 1 colours
//   N x 2 float32  (u, v) per vertex, when bit 0 is set; finite
//   N x 3 uint8    red, green, blue per vertex, when bit 1 is set
// and nothing after that.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The sidecars beside lighterBase.m and lighterTop.m, and the model's own
// texture (a 24-bit BMP the program's BMP reader loads).
inline constexpr char kBaseLookFile[] = "lighterBase.look";
inline constexpr char kTopLookFile[] = "lighterTop.look";
inline constexpr char kModelTextureFile[] = "modelTexture.bmp";

struct MeshLook {
  std::vector<float> uv;           // u, v per vertex; empty when the mesh has none
  std::vector<unsigned char> rgb;  // red, green, blue per vertex; empty when none
  bool empty() const { return uv.empty() && rgb.empty(); }
};

// The bytes of a sidecar for `vertexCount` vertices. `look`'s arrays must be
// empty or hold exactly 2 (uv) and 3 (rgb) entries per vertex.
std::vector<unsigned char> encodeLook(const MeshLook& look, size_t vertexCount);

// Decodes a sidecar that must describe exactly `vertexCount` vertices.
// Nothing, with `why` saying what is wrong, for anything short, long,
// damaged or describing another mesh.
std::optional<MeshLook> decodeLook(const unsigned char* bytes, size_t size, size_t vertexCount,
                                   std::string& why);

// Reads the sidecar at `path` for a mesh of `vertexCount` vertices. Nothing
// when there is no such file (`why` left empty: a mesh without a look is the
// usual case) or when it cannot be used (`why` says why).
std::optional<MeshLook> readLookFile(const char* path, size_t vertexCount, std::string& why);
