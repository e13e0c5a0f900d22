// The GL side of the textures: each function binds a name and uploads.
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>

#include "textures/textures.h"

namespace {

constexpr GLint kComponents = 3;  // internal format given as a component count
constexpr GLsizei kParticleSize = 32;
constexpr GLsizei kCheckerSize = 64;

// Rows of width x 3 bytes start on 4-byte boundaries only when the width is
// a multiple of 4; otherwise unpack byte-aligned and put the default back.
void uploadImage(const Image& image) {
  const bool aligned = image.width % 4 == 0;
  if (!aligned) glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, kComponents, static_cast<GLsizei>(image.width),
               static_cast<GLsizei>(image.height), 0, GL_RGB, GL_UNSIGNED_BYTE, image.data.data());
  if (!aligned) glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

}  // namespace

int LoadGLTextures(TextureState& textures) {
  const std::vector<unsigned char> bytes = readParticleImage("Data/Particle.raw");
  glGenTextures(1, &textures.texture);
  glBindTexture(GL_TEXTURE_2D, textures.texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, kComponents, kParticleSize, kParticleSize, 0, GL_RGB,
               GL_UNSIGNED_BYTE, bytes.data());
  return 1;
}

void init_tex(const TextureState& textures) {
  // Only ever built 64 by 64; anything smaller would be read past its end.
  if (textures.pixel.size() < size_t{kCheckerSize} * kCheckerSize * 3) return;
  glBindTexture(GL_TEXTURE_2D, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, kComponents, kCheckerSize, kCheckerSize, 0, GL_RGB,
               GL_UNSIGNED_BYTE, textures.pixel.data());
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}

void LoadTexture(TextureState& textures, const char* path, int name) {
  try {
    textures.TextureImage = std::make_unique<Image>();
  } catch (const std::bad_alloc&) {
    std::printf("Error allocating space for image");
    std::exit(1);
  }
  std::cout << "trying to load " << path << std::endl;
  if (!ImageLoad(path, textures.TextureImage.get())) std::exit(1);  // it said why
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(name));
  uploadImage(*textures.TextureImage);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}
