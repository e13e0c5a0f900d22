// Sidecar files: what the importer writes reads back; anything short,
// damaged or meant for another mesh is refused with a reason.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "look/look.h"
#include "tests/support/temp_dir.h"

namespace {

MeshLook twoVertices() {
  MeshLook look;
  look.uv = {0.0f, 1.0f, 0.25f, -3.5f};
  look.rgb = {255, 0, 10, 1, 2, 3};
  return look;
}

std::optional<MeshLook> decode(const std::vector<unsigned char>& bytes, size_t vertices,
                               std::string& why) {
  return decodeLook(bytes.data(), bytes.size(), vertices, why);
}

TEST(Look, ReadsBackWhatWasWrittenWithEitherPartAlone) {
  MeshLook both = twoVertices();
  MeshLook uvOnly = both;
  uvOnly.rgb.clear();
  MeshLook rgbOnly = both;
  rgbOnly.uv.clear();
  for (const MeshLook& look : {both, uvOnly, rgbOnly}) {
    std::string why;
    const auto read = decode(encodeLook(look, 2), 2, why);
    ASSERT_TRUE(read) << why;
    EXPECT_EQ(read->uv, look.uv);
    EXPECT_EQ(read->rgb, look.rgb);
  }
  // Twenty bytes of header, 16 of coordinates, 6 of colours, nothing more.
  EXPECT_EQ(encodeLook(both, 2).size(), 42u);
}

TEST(Look, RefusesShortLongAndForeignFiles) {
  const std::vector<unsigned char> good = encodeLook(twoVertices(), 2);
  std::string why;
  for (size_t size = 0; size < good.size(); ++size) {
    EXPECT_FALSE(decodeLook(good.data(), size, 2, why)) << size << " bytes";
    EXPECT_FALSE(why.empty());
  }
  std::vector<unsigned char> longer = good;
  longer.push_back(0);
  EXPECT_FALSE(decode(longer, 2, why));
  EXPECT_EQ(why, "wrong size");
  EXPECT_FALSE(decode(good, 3, why));
  EXPECT_EQ(why, "describes 2 vertices, the mesh has 3");
  std::vector<unsigned char> badMagic = good;
  badMagic[0] = 'X';
  EXPECT_FALSE(decode(badMagic, 2, why));
  std::vector<unsigned char> newer = good;
  newer[8] = 2;
  EXPECT_FALSE(decode(newer, 2, why));
  std::vector<unsigned char> unknownPart = good;
  unknownPart[16] |= 4;
  EXPECT_FALSE(decode(unknownPart, 2, why));
}

TEST(Look, RefusesCoordinatesThatAreNotNumbersAndCountsThatOverflow) {
  std::vector<unsigned char> bytes = encodeLook(twoVertices(), 2);
  const uint32_t nan = 0x7fc00000;
  std::memcpy(&bytes[20], &nan, 4);  // little-endian on the machines we build for
  std::string why;
  EXPECT_FALSE(decode(bytes, 2, why));
  // A count whose body would overflow the size cannot match any real file.
  std::vector<unsigned char> huge = encodeLook(MeshLook{}, 0xffffffffu);
  huge[16] = 3;
  EXPECT_FALSE(decode(huge, 0xffffffffu, why));
}

TEST(LookFile, NoFileIsNoLookAndNoComplaint) {
  support::TempDir dir("look");
  const std::string path = dir.path() + "/lighterBase.look";
  std::string why = "stale";
  EXPECT_FALSE(readLookFile(path.c_str(), 2, why));
  EXPECT_TRUE(why.empty());
  std::ofstream(path, std::ios::binary) << "LGHTLOOK";
  EXPECT_FALSE(readLookFile(path.c_str(), 2, why));
  EXPECT_EQ(why, "not a look file");
  EXPECT_FALSE(readLookFile(dir.path().c_str(), 2, why));
  EXPECT_FALSE(why.empty());  // a directory is named, not read
}

}  // namespace
