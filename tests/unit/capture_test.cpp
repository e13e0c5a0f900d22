// Pictures and clips as plain values and files: their names, their folder,
// the clip's frames and pace, the encoders read back by other decoders, and
// files that appear whole or not at all.
#include <gtest/gtest.h>
#include <stb_image.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "capture/capture.h"
#include "tests/support/command.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::tm at(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

TEST(CaptureNames, TheStemIsTheLocalDateAndTimeAndLaterOnesAreNumberedFromTwo) {
  EXPECT_EQ(captureStem(at(2026, 12, 8, 14, 5, 9)), "lighter-20261208-140509");
  EXPECT_EQ(captureStem(at(1999, 1, 31, 0, 0, 0)), "lighter-19990131-000000");
  EXPECT_EQ(numberedName("lighter-20261208-140509", 1, ".png"), "lighter-20261208-140509.png");
  EXPECT_EQ(numberedName("lighter-20261208-140509", 2, ".png"), "lighter-20261208-140509-2.png");
  EXPECT_EQ(numberedName("s", 12, ".webp"), "s-12.webp");
}

TEST(CaptureFolder, UserDirsIsReadAsXdgUserDirReadsIt) {
  const std::string home = "/home/u";
  EXPECT_EQ(picturesDirFromUserDirs("XDG_PICTURES_DIR=\"$HOME/Pictures\"\n", home),
            "/home/u/Pictures");
  EXPECT_EQ(picturesDirFromUserDirs("# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                    "  XDG_PICTURES_DIR = \"/srv/shots/\"\n",
                                    home),
            "/srv/shots");
  // Shell escapes undone; the last assignment counts; $HOME alone is home.
  EXPECT_EQ(picturesDirFromUserDirs("XDG_PICTURES_DIR=\"$HOME/My \\\"Pics\\\"\"", home),
            "/home/u/My \"Pics\"");
  EXPECT_EQ(picturesDirFromUserDirs("XDG_PICTURES_DIR=\"/a\"\nXDG_PICTURES_DIR=\"$HOME\"", home),
            "/home/u");
  // Neither of the two forms, commented out, unterminated, or another key.
  for (const char* text :
       {"XDG_PICTURES_DIR=\"Pictures\"", "#XDG_PICTURES_DIR=\"/p\"", "XDG_PICTURES_DIR=\"/p",
        "XDG_PICTURES_DIRS=\"/p\"", "XDG_PICTURES_DIR=/p", "XDG_PICTURES_DIR=\"$HOMEX/p\"", ""}) {
    EXPECT_EQ(picturesDirFromUserDirs(text, home), std::nullopt) << text;
  }
  EXPECT_EQ(userDirsPath("/c", "/h"), "/c/user-dirs.dirs");
  EXPECT_EQ(userDirsPath("relative", "/h"), "/h/.config/user-dirs.dirs");
  EXPECT_EQ(userDirsPath(nullptr, "/h"), "/h/.config/user-dirs.dirs");
  EXPECT_EQ(userDirsPath(nullptr, nullptr), "");
}

TEST(CaptureFolder, PicturesFolderThenHomesPicturesThenTheWorkingDirectory) {
  FolderFacts facts{"/home/u", std::string("XDG_PICTURES_DIR=\"$HOME/Bilder\"\n"), true, "/w"};
  EXPECT_EQ(chooseCaptureFolder(facts), "/home/u/Bilder");
  facts.userDirs = "XDG_MUSIC_DIR=\"$HOME/Music\"\n";  // no pictures folder set
  EXPECT_EQ(chooseCaptureFolder(facts), "/home/u/Pictures");
  facts.userDirs.reset();
  EXPECT_EQ(chooseCaptureFolder(facts), "/home/u/Pictures");
  facts.homePicturesExists = false;
  EXPECT_EQ(chooseCaptureFolder(facts), "/w");
}

Frame gradient(int width, int height) {
  Frame f{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      f.rgb.insert(f.rgb.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                 static_cast<std::uint8_t>(x + y)});
    }
  }
  return f;
}

TEST(CaptureEncoders, APngDecodesToTheFramesPixels) {
  const Frame frame = gradient(37, 11);
  const std::vector<std::uint8_t> png = encodePng(frame);
  int width = 0, height = 0, channels = 0;
  unsigned char* pixels = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width,
                                                &height, &channels, 3);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(width, 37);
  EXPECT_EQ(height, 11);
  EXPECT_EQ(std::vector<std::uint8_t>(pixels, pixels + frame.rgb.size()), frame.rgb);
  stbi_image_free(pixels);
  EXPECT_THROW(encodePng(Frame{}), CaptureError);
}

TEST(CaptureEncoders, AWebpClipHoldsItsFramesAndKnowsItsExtension) {
  WebpClip clip(16, 8);
  Frame frame = gradient(16, 8);
  for (int i = 0; i < 3; ++i) {
    frame.rgb[0] = static_cast<std::uint8_t>(100 * i);  // each frame differs
    clip.add(frame, 40 * i);
  }
  EXPECT_THROW(clip.add(gradient(8, 8), 200), CaptureError);
  EXPECT_EQ(webpFrameCount(clip.finish(200)), 3);
  EXPECT_EQ(webpFrameCount({1, 2, 3}), 0);
  EXPECT_EQ(clipFormatOf("/a/b.webp"), ClipFormat::kWebp);
  EXPECT_EQ(clipFormatOf("B.WEBP"), ClipFormat::kWebp);
  for (const char* name : {"clip.gif", "clip.mp4", "clip", "a.webp/clip", "webp"}) {
    EXPECT_EQ(clipFormatOf(name), std::nullopt) << name;
  }
}

TEST(ClipFrames, LargeFramesAreHalvedUntilTheyFitAndKeepTheirMeanColour) {
  Frame big{2560, 2048, std::vector<std::uint8_t>(2560u * 2048 * 3, 0)};
  for (size_t i = 0; i < big.rgb.size(); i += 6) big.rgb[i] = 200;  // every other pixel red
  const Frame fitted = fitForClip(big);
  EXPECT_EQ(fitted.width, 1280);
  EXPECT_EQ(fitted.height, 1024);
  EXPECT_EQ(fitted.rgb[0], 100);
  const Frame small = gradient(800, 600);
  EXPECT_EQ(fitForClip(small).rgb, small.rgb);
  EXPECT_EQ(fitForClip(gradient(1300, 100)).width, 650);
}

TEST(ClipFrames, AFrameOfAnotherSizeIsCentredOnTheClipsCanvas) {
  const Frame small = gradient(2, 2);
  const Frame padded = onCanvas(small, 4, 2);
  ASSERT_EQ(padded.rgb.size(), 4u * 2 * 3);
  EXPECT_EQ(padded.rgb[0], 0);  // black beside it
  EXPECT_EQ(std::vector<std::uint8_t>(&padded.rgb[3], &padded.rgb[9]),
            std::vector<std::uint8_t>(&small.rgb[0], &small.rgb[6]));
  const Frame cut = onCanvas(gradient(4, 4), 2, 2);  // the middle four pixels
  EXPECT_EQ(cut.rgb[0], 1);
  EXPECT_EQ(cut.rgb[1], 1);
  EXPECT_EQ(onCanvas(gradient(3, 3), 3, 3).rgb, gradient(3, 3).rgb);
}

TEST(ClipPace, AtMostOneFrameEachPeriodUntilTheClipsLength) {
  ClipPacer pacer(1000);
  EXPECT_TRUE(pacer.keep(0));
  EXPECT_FALSE(pacer.keep(kClipFrameMs - 1));
  EXPECT_TRUE(pacer.keep(kClipFrameMs + 5));
  EXPECT_FALSE(pacer.keep(2 * kClipFrameMs));  // counted from the last kept
  EXPECT_TRUE(pacer.keep(2 * kClipFrameMs + 5));
  EXPECT_FALSE(pacer.over(999));
  EXPECT_TRUE(pacer.over(1000));
  EXPECT_FALSE(pacer.keep(1000));
}

std::vector<std::string> namesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CaptureFiles, ASecondSaveInTheSameSecondIsNumberedAndNoTemporaryFileStays) {
  const support::TempDir dir("capture-files");
  const std::vector<std::uint8_t> a{1, 2, 3}, b{4, 5};
  EXPECT_EQ(saveNumbered(dir.path(), "lighter-x", ".png", a, "the picture"),
            dir.path() + "/lighter-x.png");
  EXPECT_EQ(saveNumbered(dir.path(), "lighter-x", ".png", b, "the picture"),
            dir.path() + "/lighter-x-2.png");
  EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"lighter-x-2.png", "lighter-x.png"}));
  std::ifstream first(dir.path() + "/lighter-x.png", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(first), {}), "\x01\x02\x03");
  saveAs(dir.path() + "/lighter-x.png", b, "the picture");  // a named file is replaced
  EXPECT_EQ(fs::file_size(dir.path() + "/lighter-x.png"), 2u);
  EXPECT_EQ(namesIn(dir.path()).size(), 2u);
}

TEST(CaptureFiles, AFolderThatCannotTakeTheFileIsRefusedWithItsReason) {
  const support::TempDir dir("capture-files");
  const std::string plain = dir.path() + "/plain";
  std::ofstream(plain) << "x";
  const auto message = [](const std::string& folder) {
    try {
      checkFolder(folder, "the picture");
    } catch (const CaptureError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_EQ(message(dir.path()), "");
  EXPECT_EQ(message(plain), "cannot save the picture in " + plain + ": Not a directory");
  EXPECT_EQ(message(dir.path() + "/none"),
            "cannot save the picture in " + dir.path() + "/none: No such file or directory");
  EXPECT_THROW(saveNumbered(plain, "s", ".png", {1}, "the picture"), CaptureError);
  EXPECT_THROW(saveAs(dir.path() + "/none/f.png", {1}, "the picture"), CaptureError);
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"plain"});
}

TEST(ClipRecording, FramesHandedOverBecomeOneFileAndAnUnendedClipWritesNone) {
  const support::TempDir dir("capture-clip");
  static std::string written;
  ClipOutcome outcome;
  {
    ClipRecorder recorder;
    Frame frame = gradient(20, 10);
    for (int i = 0; i < 3; ++i) {
      frame.rgb[0] = static_cast<std::uint8_t>(50 * i);
      ASSERT_TRUE(support::waitUntil([&] { return recorder.hasRoom(); }, support::Seconds(60)));
      recorder.add(frame, 100 * i);
    }
    recorder.finish(
        500,
        [](const std::vector<std::uint8_t>& bytes, const std::string& where) {
          saveAs(where, bytes, "the clip");
          return written = where;
        },
        dir.path() + "/c.webp");
    outcome = recorder.wait();
    EXPECT_TRUE(recorder.finished());
  }
  EXPECT_EQ(outcome.error, "");
  EXPECT_EQ(outcome.path, dir.path() + "/c.webp");
  EXPECT_EQ(outcome.frames, 3);
  EXPECT_EQ(outcome.lengthMs, 500);
  { ClipRecorder abandoned; }  // never finished: no file, no hang
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"c.webp"});
}

}  // namespace
