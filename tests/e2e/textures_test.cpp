// The real program when a texture file is missing or bad.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/unit/bmp_builder.h"

namespace {

using bmptest::Bytes;

// A working directory with the three BMP files and the particle image,
// less the files named in `without`; meshes are not needed to get this far.
class TextureData {
 public:
  explicit TextureData(const std::vector<std::string>& without = {}) {
    const auto wanted = [&](const std::string& name) {
      for (const auto& w : without) {
        if (w == name) return false;
      }
      return true;
    };
    const struct {
      const char* name;
      uint32_t width, height;
    } bmps[] = {{"topTexture.bmp", 8, 8}, {"baseTexture.bmp", 6, 4}, {"silverTexture.bmp", 4, 4}};
    for (const auto& b : bmps) {
      if (wanted(b.name))
        write(b.name, bmptest::bmp(b.width, b.height, bmptest::pattern(b.width, b.height)));
    }
    mkdir((dir() + "/Data").c_str(), 0755);
    if (wanted("Data/Particle.raw")) write("Data/Particle.raw", Bytes(kParticleBytes, 128));
  }
  const std::string& dir() const { return temp_.path(); }
  void write(const std::string& name, const Bytes& bytes) const {
    bmptest::writeFile(dir() + "/" + name, bytes);
  }

 private:
  static constexpr size_t kParticleBytes = 3072;
  bmptest::TempDir temp_{"lighter-textures-e2e"};
};

TEST(TextureFailure, AMissingBaseTextureEndsTheProgramBeforeTheSilverOne) {
  TextureData data({"baseTexture.bmp"});
  e2e::Lighter lighter({data.dir()});
  EXPECT_EQ(lighter.waitForExit(), 1);
  EXPECT_EQ(lighter.output(),
            "trying to load topTexture.bmp\n"
            "trying to load baseTexture.bmp\n"
            "File Not Found : baseTexture.bmp\n");
}

// The particle image is not essential: its absence is reported and the
// program runs on with black texels in its place.
TEST(ParticleImage, AMissingFileIsReportedAndTheProgramRunsOn) {
  TextureData data({"Data/Particle.raw"});
  e2e::Lighter lighter({data.dir()});
  ASSERT_TRUE(lighter.waitForWindow());
  ASSERT_TRUE(lighter.waitForOutput("trying to load silverTexture.bmp\n"));
  const std::string out = lighter.output();
  EXPECT_EQ(
      out.rfind("Could not read all 3072 bytes of Data/Particle.raw (got 0); the rest is black\n"
                "trying to load topTexture.bmp\n"
                "trying to load baseTexture.bmp\n"
                "trying to load silverTexture.bmp\n",
                0),
      0u)
      << out;
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

}  // namespace
