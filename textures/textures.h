// The GL side of the textures: each function binds a name and uploads.
#pragma once

#include <ostream>

#include "textures/texture_state.h"

// Loads "Data/Particle.raw" into a newly generated texture name kept in
// `texture`. Returns 1; a missing or short file gives black texels and a line
// on `out` (and why it could not be opened on `err`).
int LoadGLTextures(TextureState& textures, std::ostream& out, std::ostream& err);

// Uploads the particle image kept in `textures` under a newly generated name
// that no fixed-name load redefines, with linear filtering, and returns the
// name; 0 when no particle image was read. Leaves that name bound.
unsigned int uploadParticleImageUnderOwnName(const TextureState& textures);

// Uploads `image` under a newly generated name, with linear filtering and
// repeating texture coordinates, and returns the name; 0 when the record
// holds no complete picture. Leaves that name bound.
unsigned int uploadImageUnderOwnName(const Image& image);

// Uploads the checkerboard in `pixel` into texture name 0.
void init_tex(const TextureState& textures);

// Loads the BMP file at `path` into the fixed texture name `name`. Returns only
// on success; on any failure the process ends with status 1, after the
// reason is written to `out` (and the system's reason for a file that cannot
// be opened to `err`).
void LoadTexture(TextureState& textures, const char* path, int name, std::ostream& out,
                 std::ostream& err);
