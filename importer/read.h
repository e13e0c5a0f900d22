// Stage 1: a model file, in any format Assimp reads, to one list of triangles.
#pragma once

#include <optional>
#include <string>

#include "importer/model_look.h"
#include "importer/records.h"

namespace importer {

struct ReadReport {
  size_t meshes = 0;             // meshes with triangles, after flattening the scene
  size_t faces = 0;              // triangles
  size_t vertices = 0;           // as the file's meshes hold them, before joining
  size_t droppedPrimitives = 0;  // points and lines, which the program cannot draw
};

// What a model's look came to: the texture drawn through its texture
// coordinates, or its materials' colours, or neither.
struct LookReport {
  std::optional<RgbPicture> texture;  // the model's own, decoded (top row first)
  bool uvs = false;                   // the vertices carry texture coordinates
  size_t colours = 0;                 // distinct material colours the vertices carry
  std::string warning;                // a texture the model names that cannot be used
};

// Reads `path` with its node transforms applied, polygons triangulated, and
// points, lines and faces with repeated corners left out. Throws ImportError
// when the file cannot be opened or read, holds no triangle or holds a
// coordinate that is not a finite number.
//
// With `look`, the mesh also carries the model's look. Texture coordinates
// (the first set) are kept only when a texture is drawn through them (see
// TextureUse). Otherwise each vertex carries its material's colour, when
// the materials have colours of their own (not Assimp's stand-in, nor one
// white or default grey for all). Without either the mesh is read exactly
// as without `look`.
enum class TextureUse {
  kOwn,     // the model's own: the first material's that names one, loaded into `look`
  kGiven,   // one the caller has (--texture), for any model with texture coordinates
  kShared,  // the body's, for a lid whose materials name a texture (not loaded)
};
Mesh readModel(const std::string& path, ReadReport& report, LookReport* look = nullptr,
               TextureUse use = TextureUse::kOwn);

}  // namespace importer
