// Decoding 24-bit BMP files: layout, row order, colour order, row padding.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "tests/unit/bmp_builder.h"
#include "textures/image.h"

namespace {

using bmptest::Bytes;

Bytes decodeFile(const Bytes& file) {
  Image image;
  const BmpResult result = decodeBmp(file.data(), file.size(), image);
  EXPECT_EQ(result.failure, BmpFailure::kNone);
  return image.data;
}

class BmpFiles : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const Bytes& bytes) {
    const std::string path = dir_ + "/" + name;
    bmptest::writeFile(path, bytes);
    return path;
  }
  bmptest::TempDir temp_{"bmp-decode"};
  const std::string dir_ = temp_.path();
};

TEST(BmpDecode, SwapsBlueAndRedAndKeepsTheStoredRowOrder) {
  Bytes file = bmptest::header(4, 2);
  for (int i = 0; i < 24; ++i) file.push_back(static_cast<unsigned char>(100 + i));
  file[54] = 16;
  file[55] = 32;
  file[56] = 48;
  file[75] = 1;  // last stored pixel of the second row: blue, green, red
  file[76] = 2;
  file[77] = 3;
  Image image;
  ASSERT_EQ(decodeBmp(file.data(), file.size(), image).failure, BmpFailure::kNone);
  EXPECT_EQ(image.width, 4u);
  EXPECT_EQ(image.height, 2u);
  ASSERT_EQ(image.data.size(), 24u);
  EXPECT_EQ(Bytes(image.data.begin(), image.data.begin() + 3), (Bytes{48, 32, 16}));
  EXPECT_EQ(Bytes(image.data.end() - 3, image.data.end()), (Bytes{3, 2, 1}));
  // The first pixel of the file's second row starts the second row of data.
  EXPECT_EQ(Bytes(image.data.begin() + 12, image.data.begin() + 15), (Bytes{114, 113, 112}));
}

TEST(BmpDecode, IgnoresTheSignatureAndThePixelDataOffset) {
  const Bytes picture = bmptest::pattern(4, 3);
  Bytes file = bmptest::bmp(4, 3, picture);
  file[0] = 'X';
  file[1] = 'Y';
  bmptest::put32(file, 10, 1078);  // where a palette would end
  EXPECT_EQ(decodeFile(file), picture);
}

TEST(BmpDecode, IgnoresBytesAfterThePixels) {
  const Bytes picture = bmptest::pattern(8, 2);
  Bytes file = bmptest::bmp(8, 2, picture);
  file.insert(file.end(), 100, 0x5A);
  EXPECT_EQ(decodeFile(file), picture);
}

// Rows of widths that are not a multiple of 4 are stored padded to 4 bytes;
// reading them as if packed would shift every row after the first.
TEST(BmpDecode, SkipsThePaddingOfRowsWhoseWidthIsNotAMultipleOfFour) {
  for (uint32_t width : {1u, 2u, 3u, 5u, 6u, 7u, 8u}) {
    const Bytes picture = bmptest::pattern(width, 3, width);
    const Bytes decoded = decodeFile(bmptest::bmp(width, 3, picture));
    EXPECT_EQ(decoded, picture) << "width " << width;
  }
}

TEST(BmpDecode, NeedsNoPaddingAfterTheLastRow) {
  const Bytes picture = bmptest::pattern(5, 2);
  Bytes file = bmptest::bmp(5, 2, picture);
  file.resize(file.size() - 1);  // 15 bytes of the last row, its padding byte gone
  EXPECT_EQ(decodeFile(file), picture);
}

// A stream whose length is unknown up front, as a pipe is.
std::FILE* pipeOf(const Bytes& bytes) {
  int ends[2];
  if (pipe(ends) != 0) return nullptr;
  const bool written = write(ends[1], bytes.data(), bytes.size()) ==
                       static_cast<ssize_t>(bytes.size());  // small: fits the pipe buffer
  close(ends[1]);
  if (!written) {
    close(ends[0]);
    return nullptr;
  }
  return fdopen(ends[0], "rb");
}

TEST(BmpDecode, ReadsAPictureFromAStreamOfUnknownLength) {
  const Bytes picture = bmptest::pattern(7, 5);
  std::FILE* stream = pipeOf(bmptest::bmp(7, 5, picture));
  ASSERT_NE(stream, nullptr);
  Image image;
  EXPECT_EQ(decodeBmp(stream, image).failure, BmpFailure::kNone);
  std::fclose(stream);
  EXPECT_EQ(image.data, picture);
}

// 60000 x 20000 pixels would be 3.6 GB; the stream holds a few bytes. The
// decoder must find that out without first allocating the whole block.
TEST(BmpDecode, RejectsAHugeClaimOnAShortStreamOfUnknownLength) {
  Bytes file = bmptest::header(60000, 20000);
  file.insert(file.end(), 300, 7);
  std::FILE* stream = pipeOf(file);
  ASSERT_NE(stream, nullptr);
  Image image;
  EXPECT_EQ(decodeBmp(stream, image).failure, BmpFailure::kShortPixels);
  std::fclose(stream);
  EXPECT_LT(image.data.capacity(), size_t{1} << 20);
}

long peakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// The same for a regular file: its size is known, so a header claiming
// 600 MB over a file of a few hundred bytes fails before any allocation.
TEST(BmpDecode, DoesNotAllocateWhatASmallFileCannotHold) {
  Bytes file = bmptest::header(20000, 10000);
  file.insert(file.end(), 300, 7);
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  std::fwrite(file.data(), 1, file.size(), stream);
  std::rewind(stream);
  const long before = peakResidentKiB();
  Image image;
  EXPECT_EQ(decodeBmp(stream, image).failure, BmpFailure::kShortPixels);
  std::fclose(stream);
  EXPECT_LT(peakResidentKiB() - before, 64 * 1024);
  EXPECT_EQ(image.data.capacity(), 0u);
}

// --- ImageLoad: the exact message for each bad file, and the file closed ---

size_t openDescriptors() {
  size_t count = 0;
  for (int fd = 0; fd < 1024; ++fd) count += fcntl(fd, F_GETFD) != -1;
  return count;
}

struct BadFile {
  const char* defect;
  Bytes bytes;
  const char* message;  // %s stands for the path
};

Bytes truncated(Bytes file, size_t size) {
  file.resize(size);
  return file;
}

Bytes withHeight(uint32_t width, uint32_t height) {
  Bytes file = bmptest::header(width, height);
  file.insert(file.end(), 64, 1);
  return file;
}

const Bytes kGood = bmptest::bmp(4, 2, bmptest::pattern(4, 2));

TEST_F(BmpFiles, EachBadFileGetsItsMessageAndNothingIsLeftOpen) {
  const BadFile cases[] = {
      {"eight_bit", bmptest::header(4, 4, 1, 8), "Bpp from %s is not 24: 8\n"},
      {"thirty_two_bit", bmptest::header(4, 4, 1, 32), "Bpp from %s is not 24: 32\n"},
      {"no_planes", bmptest::header(4, 4, 0), "Planes from %s is not 1: 0\n"},
      {"zero_width", withHeight(0, 4), "Error reading image data from %s.\n"},
      {"zero_height", withHeight(4, 0), "Error reading image data from %s.\n"},
      {"empty", Bytes{}, "Planes from %s is not 1: 65279\n"},
      {"ends_at_26", truncated(kGood, 26), "Planes from %s is not 1: 65279\n"},
      {"ends_at_27", truncated(kGood, 27), "Planes from %s is not 1: 65281\n"},
      {"ends_at_28", truncated(kGood, 28), "Bpp from %s is not 24: 65279\n"},
      {"ends_at_54", truncated(kGood, 54), "Error reading image data from %s.\n"},
      {"ends_inside_pixels", truncated(kGood, kGood.size() - 1),
       "Error reading image data from %s.\n"},
      {"ends_inside_row_padding", truncated(bmptest::bmp(5, 2, bmptest::pattern(5, 2)), 54 + 15),
       "Error reading image data from %s.\n"},
      {"huge_claim_tiny_file", withHeight(60000, 20000), "Error reading image data from %s.\n"},
      {"beyond_32_bits", withHeight(65536, 65536),
       "Image size of %s is too large: 65536 x 65536\n"},
      {"just_beyond_32_bits", withHeight(0x55555556, 1),
       "Image size of %s is too large: 1431655766 x 1\n"},
      {"top_down", withHeight(4, static_cast<uint32_t>(-2)),
       "Image size of %s is too large: 4 x 4294967294\n"},
      {"top_down_zero_width", withHeight(0, 0x80000000u),
       "Image size of %s is too large: 0 x 2147483648\n"},
  };
  for (const BadFile& c : cases) {
    const std::string path = write(std::string(c.defect) + ".bmp", c.bytes);
    const size_t before = openDescriptors();
    Image image;
    std::ostringstream printed;
    const int loaded = ImageLoad(path.c_str(), &image, printed, printed);
    const std::string out = printed.str();
    char expected[512];
    std::snprintf(expected, sizeof expected, c.message, path.c_str());
    EXPECT_EQ(loaded, 0) << c.defect;
    EXPECT_EQ(out, expected) << c.defect;
    EXPECT_EQ(openDescriptors(), before) << c.defect;
  }
}

TEST_F(BmpFiles, AMissingFileIsNotFoundAndTheSystemSaysWhy) {
  Image image;
  std::ostringstream printed;
  std::ostringstream reason;
  EXPECT_EQ(ImageLoad("no/such/picture.bmp", &image, printed, reason), 0);
  EXPECT_EQ(printed.str(), "File Not Found : no/such/picture.bmp\n");
  EXPECT_EQ(reason.str(), "no/such/picture.bmp: No such file or directory\n");
}

// Only regular files are read: a directory would fail on its first read, a
// FIFO would hang the open, a device never end. Each is not found, with the
// reason, and nothing is left open.
TEST_F(BmpFiles, ADirectoryOrAFifoIsNotFoundAndNothingWaits) {
  const std::string fifo = dir_ + "/fifo.bmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  const struct {
    std::string path, reason;
  } cases[] = {{dir_, "Is a directory"},
               {fifo, "not a regular file (a FIFO)"},
               {"/dev/zero", "not a regular file (a character device)"}};
  for (const auto& c : cases) {
    Image image;
    const size_t before = openDescriptors();
    std::ostringstream printed;
    std::ostringstream reason;
    EXPECT_EQ(ImageLoad(c.path.c_str(), &image, printed, reason), 0);
    EXPECT_EQ(printed.str(), "File Not Found : " + c.path + "\n");
    EXPECT_EQ(reason.str(), c.path + ": " + c.reason + "\n");
    EXPECT_EQ(openDescriptors(), before);
  }
}

TEST_F(BmpFiles, AGoodFileLoadsSilently) {
  const Bytes picture = bmptest::pattern(5, 3);
  const std::string path = write("good.bmp", bmptest::bmp(5, 3, picture));
  const size_t before = openDescriptors();
  Image image;
  std::ostringstream printed;
  EXPECT_EQ(ImageLoad(path.c_str(), &image, printed, printed), 1);
  EXPECT_EQ(printed.str(), "");
  EXPECT_EQ(image.width, 5u);
  EXPECT_EQ(image.height, 3u);
  EXPECT_EQ(image.data, picture);
  EXPECT_EQ(openDescriptors(), before);
}

}  // namespace
