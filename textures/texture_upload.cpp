// The GL side of the textures: each function binds a name and uploads.
#include <GL/gl.h>

#include <cstdlib>

#include "textures/textures.h"

namespace {

constexpr GLint kComponents = 3;  // internal format given as a component count

// Rows of width x 3 bytes start on 4-byte boundaries only when the width is
// a multiple of 4; otherwise unpack byte-aligned and put the default back.
void uploadImage(const Image& image) {
  const bool aligned = image.width % 4 == 0;
  if (!aligned) glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, kComponents, static_cast<GLsizei>(image.width),
               static_cast<GLsizei>(image.height), 0, GL_RGB, GL_UNSIGNED_BYTE, image.data.data());
  if (!aligned) glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

// A record whose bytes do not cover its size would be read past its end.
bool complete(const Image& image) {
  return image.width > 0 && image.data.size() == size_t{image.width} * image.height * 3;
}

}  // namespace

int LoadGLTextures(TextureState& textures, std::ostream& out, std::ostream& err) {
  textures.particleImage = readParticleImage("Data/Particle.raw", out, err);
  glGenTextures(1, &textures.texture);
  glBindTexture(GL_TEXTURE_2D, textures.texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, kComponents, kParticleImageSize, kParticleImageSize, 0, GL_RGB,
               GL_UNSIGNED_BYTE, textures.particleImage.data());
  return 1;
}

unsigned int uploadParticleImageUnderOwnName(const TextureState& textures) {
  if (textures.particleImage.size() != kParticleImageBytes) return 0;
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, kComponents, kParticleImageSize, kParticleImageSize, 0, GL_RGB,
               GL_UNSIGNED_BYTE, textures.particleImage.data());
  return name;
}

unsigned int uploadImageUnderOwnName(const Image& image) {
  if (!complete(image)) return 0;
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  uploadImage(image);
  return name;
}

void init_tex(const TextureState& textures) {
  if (!complete(textures.pixel)) return;
  glBindTexture(GL_TEXTURE_2D, 0);
  uploadImage(textures.pixel);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}

void LoadTexture(TextureState& textures, const char* path, int name, std::ostream& out,
                 std::ostream& err) {
  if (!loadTextureImage(textures, path, out, err)) std::exit(1);  // it said why
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(name));
  uploadImage(*textures.TextureImage);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}
