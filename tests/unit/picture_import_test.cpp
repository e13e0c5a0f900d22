// Images read for lighter-import's textures: decoded top row first and named
// by their file, and refused (with the reason) before anything large or
// unreadable is decoded.
#include <gtest/gtest.h>
#include <stb_image_write.h>
#include <sys/stat.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "textures/picture_import.h"

namespace {

std::string refusal(const std::string& path) {
  try {
    readPicture(path);
  } catch (const PictureError& e) {
    return e.what();
  }
  return "(read)";
}

TEST(PictureImport, ReadsAnImageTopRowFirstNamedByItsFile) {
  const support::TempDir dir("picture");
  const std::string path = dir.path() + "/three.png";
  const std::vector<std::uint8_t> rgb = {255, 0, 0, 0,  255, 0,  0,   0,   255,  // top row
                                         9,   9, 9, 99, 99,  99, 200, 200, 200};
  ASSERT_NE(stbi_write_png(path.c_str(), 3, 2, 3, rgb.data(), 9), 0);
  const RgbPicture picture = readPicture(path);
  EXPECT_EQ(picture.width, 3);
  EXPECT_EQ(picture.height, 2);
  EXPECT_EQ(picture.rgb, rgb);
  EXPECT_EQ(picture.name, "three.png");
}

// A 24-bit BMP header claiming 40000 by 1 pixels, with one row of 4 pixels.
TEST(PictureImport, RefusesAnImageLargerThanTheLimitBeforeDecodingIt) {
  std::vector<unsigned char> bmp = {'B', 'M', 66, 0,    0,    0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                                    0,   0,   0,  0x40, 0x9c, 0, 0, 1, 0, 0, 0,  1, 0, 24, 0};
  bmp.resize(66, 0);
  try {
    decodePicture(bmp.data(), bmp.size(), "wide.bmp");
    FAIL() << "decoded";
  } catch (const PictureError& e) {
    EXPECT_NE(std::string(e.what()).find("wide.bmp: the image is 40000 by 1 pixels"),
              std::string::npos)
        << e.what();
  }
}

TEST(PictureImport, SaysWhyItCannotReadAFile) {
  const support::TempDir dir("picture");
  const std::string base = dir.path();
  std::ofstream(base + "/text.png") << "v 0 0 0\n";
  ASSERT_EQ(mkfifo((base + "/pipe.png").c_str(), 0600), 0);
  EXPECT_EQ(refusal(base), base + ": is a directory, not an image");
  EXPECT_EQ(refusal(base + "/pipe.png"), base + "/pipe.png: is not a regular file (a FIFO)");
  EXPECT_EQ(refusal(base + "/none.png").rfind(base + "/none.png: cannot open it: ", 0), 0u);
  EXPECT_EQ(refusal(base + "/text.png").rfind(base + "/text.png: not an image", 0), 0u);
}

}  // namespace
