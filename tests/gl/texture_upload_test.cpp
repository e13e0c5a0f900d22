// The five start-up textures as GL holds them after the real start-up.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "tests/gl/gl_fixture.h"
#include "tests/unit/bmp_builder.h"
#include "textures/textures.h"

namespace {

using bmptest::Bytes;

struct BmpTexture {
  const char* file;
  GLuint name;
  uint32_t width;
  uint32_t height;
  Bytes picture() const { return bmptest::pattern(width, height, name); }
};

// Widths that are and are not a multiple of 4, so both upload paths run.
const BmpTexture kBmps[] = {
    {"topTexture.bmp", 1, 8, 4}, {"baseTexture.bmp", 2, 5, 3}, {"silverTexture.bmp", 3, 4, 2}};

Bytes particleImage() {
  Bytes raw = bmptest::pattern(32, 32, 40);
  raw[0] = 255;
  raw[1] = 0;
  raw[2] = 0;
  return raw;
}

// One data set per process: when the whole binary runs in one process the
// start-up happens once, so every texture test shares this directory.
const std::string& textureDataDir() {
  static const bmptest::TempDir temp("lighter-textures-gl");
  static const std::string dir = [] {
    const std::string& d = temp.path();
    for (const BmpTexture& t : kBmps) {
      bmptest::writeFile(d + "/" + t.file, bmptest::bmp(t.width, t.height, t.picture()));
    }
    mkdir((d + "/Data").c_str(), 0755);
    bmptest::writeFile(d + "/Data/Particle.raw", particleImage());
    return d;
  }();
  return dir;
}

// Starts the program on the texture data set; false when start-up already ran
// elsewhere in this process (another test file went first).
bool startOnTextureData() {
  gltest::startLighter(textureDataDir());
  char cwd[PATH_MAX] = {};
  return getcwd(cwd, sizeof cwd) && textureDataDir() == cwd;
}

#define START_OR_SKIP()                                     \
  if (!startOnTextureData())                                \
  GTEST_SKIP() << "start-up ran in another directory; run " \
                  "the texture tests in a process of their own"

GLint levelParameter(GLenum which) {
  GLint value = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, which, &value);
  return value;
}

GLint parameter(GLenum which) {
  GLint value = -1;
  glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
  return value;
}

Bytes texels(GLint width, GLint height) {
  Bytes rgb(size_t(std::max(width, 0)) * std::max(height, 0) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return rgb;
}

// Binds `name` for the checks and puts the previous binding back afterwards.
class Bound {
 public:
  explicit Bound(GLuint name) {
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous_);
    glBindTexture(GL_TEXTURE_2D, name);
  }
  ~Bound() { glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous_)); }

 private:
  GLint previous_ = 0;
};

TEST(TextureState, LeavesNameThreeBoundAndTheUnpackAlignmentAtItsDefault) {
  START_OR_SKIP();
  GLint bound = -1, alignment = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(bound, 3);
  EXPECT_EQ(alignment, 4);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  const TextureState& textures = gltest::startLighter().textures;
  ASSERT_TRUE(textures.TextureImage);  // the record of the file loaded last
  EXPECT_EQ(textures.TextureImage->width, 4u);
  EXPECT_EQ(textures.TextureImage->height, 2u);
}

TEST(BmpTextures, FillTheFixedNamesWithTheFilesPicturesUpright) {
  START_OR_SKIP();
  for (const BmpTexture& t : kBmps) {
    Bound bound(t.name);
    const GLint width = levelParameter(GL_TEXTURE_WIDTH);
    const GLint height = levelParameter(GL_TEXTURE_HEIGHT);
    EXPECT_EQ(width, static_cast<GLint>(t.width)) << t.file;
    EXPECT_EQ(height, static_cast<GLint>(t.height)) << t.file;
    EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST) << t.file;
    EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST) << t.file;
    // Row 0 of the texture is the first row stored in the file.
    EXPECT_EQ(texels(width, height), t.picture()) << t.file;
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(CheckerboardTexture, LivesInNameZeroClampedAndNearest) {
  START_OR_SKIP();
  Bound bound(0);
  ASSERT_EQ(levelParameter(GL_TEXTURE_WIDTH), 64);
  ASSERT_EQ(levelParameter(GL_TEXTURE_HEIGHT), 64);
  EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_CLAMP);
  EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_CLAMP);
  EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
  EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
  const Bytes rgb = texels(64, 64);
  EXPECT_EQ(Bytes(rgb.begin(), rgb.begin() + 3), (Bytes{0, 0, 0}));              // (0, 0)
  EXPECT_EQ(Bytes(rgb.begin() + 24, rgb.begin() + 27), (Bytes{255, 255, 255}));  // (0, 8)
  EXPECT_EQ(rgb, gltest::startLighter().textures.pixel.data);
}

// The particle image goes into a generated name, with linear filters and its
// bytes in file order. Checked on a name of its own: the first name GL hands
// out is 1, which start-up then refills with topTexture.bmp.
TEST(ParticleTexture, HoldsTheRawImageUnchangedWithLinearFilters) {
  START_OR_SKIP();
  TextureState fresh;
  std::ostringstream printed;
  EXPECT_EQ(LoadGLTextures(fresh, printed, printed), 1);
  EXPECT_EQ(printed.str(), "");  // the file is complete
  Bound bound(fresh.texture);
  EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), 32);
  EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), 32);
  EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
  EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
  const Bytes rgb = texels(32, 32);
  EXPECT_EQ(Bytes(rgb.begin(), rgb.begin() + 3), (Bytes{255, 0, 0}));
  EXPECT_EQ(rgb, particleImage());
  glDeleteTextures(1, &fresh.texture);
}

}  // namespace
