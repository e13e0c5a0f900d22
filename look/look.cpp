#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "look/look.h"

namespace {

constexpr char kMagic[8] = {'L', 'G', 'H', 'T', 'L', 'O', 'O', 'K'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kHasUv = 1;
constexpr uint32_t kHasRgb = 2;
constexpr size_t kHeaderBytes = sizeof kMagic + 3 * sizeof(uint32_t);

void putU32(std::vector<unsigned char>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back((value >> shift) & 0xff);
}

uint32_t getU32(const unsigned char* at) {
  return uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
}

void putFloat(std::vector<unsigned char>& out, float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  putU32(out, bits);
}

float getFloat(const unsigned char* at) {
  const uint32_t bits = getU32(at);
  float value = 0.0f;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The size the header promises, or nothing when it does not fit in size_t.
std::optional<size_t> bodyBytes(size_t vertices, uint32_t parts) {
  size_t perVertex = 0;
  if (parts & kHasUv) perVertex += 2 * sizeof(float);
  if (parts & kHasRgb) perVertex += 3;
  if (perVertex != 0 && vertices > std::numeric_limits<size_t>::max() / perVertex) return {};
  return vertices * perVertex;
}

std::optional<MeshLook> fail(std::string& why, std::string reason) {
  why = std::move(reason);
  return std::nullopt;
}

}  // namespace

std::vector<unsigned char> encodeLook(const MeshLook& look, size_t vertexCount) {
  const uint32_t parts = (look.uv.empty() ? 0 : kHasUv) | (look.rgb.empty() ? 0 : kHasRgb);
  std::vector<unsigned char> out(kMagic, kMagic + sizeof kMagic);
  putU32(out, kVersion);
  putU32(out, static_cast<uint32_t>(vertexCount));
  putU32(out, parts);
  for (float value : look.uv) putFloat(out, value);
  out.insert(out.end(), look.rgb.begin(), look.rgb.end());
  return out;
}

std::optional<MeshLook> decodeLook(const unsigned char* bytes, size_t size, size_t vertexCount,
                                   std::string& why) {
  if (size < kHeaderBytes || std::memcmp(bytes, kMagic, sizeof kMagic) != 0) {
    return fail(why, "not a look file");
  }
  const uint32_t version = getU32(bytes + 8);
  const uint32_t vertices = getU32(bytes + 12);
  const uint32_t parts = getU32(bytes + 16);
  if (version != kVersion) return fail(why, "format version " + std::to_string(version));
  if ((parts & ~(kHasUv | kHasRgb)) != 0) return fail(why, "unknown parts");
  if (vertices != vertexCount) {
    return fail(why, "describes " + std::to_string(vertices) + " vertices, the mesh has " +
                         std::to_string(vertexCount));
  }
  const std::optional<size_t> body = bodyBytes(vertices, parts);
  if (!body || size - kHeaderBytes != *body) return fail(why, "wrong size");
  MeshLook look;
  const unsigned char* at = bytes + kHeaderBytes;
  if (parts & kHasUv) {
    look.uv.resize(size_t{vertices} * 2);
    for (float& value : look.uv) {
      value = getFloat(at);
      at += sizeof(float);
      if (!std::isfinite(value)) return fail(why, "a texture coordinate is not a finite number");
    }
  }
  if (parts & kHasRgb) look.rgb.assign(at, at + size_t{vertices} * 3);
  return look;
}
