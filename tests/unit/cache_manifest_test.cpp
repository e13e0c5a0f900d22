// The cache manifest's text: what the writer writes is read back as it was,
// and the reader refuses everything else, saying on which line.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "lighter/cache_manifest.h"

namespace {

const std::string kDigestA(64, 'a');
const std::string kDigestB = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";

std::vector<ManifestFile> twoFiles() {
  return {{"lighterBase.m", 139895, kDigestA}, {"Data/Particle.raw", 3072, kDigestB}};
}

std::string parsedWhy(const std::string& text) {
  std::string why;
  EXPECT_FALSE(parseManifest(text, why).has_value()) << text;
  return why;
}

TEST(CacheManifest, IsWrittenInNameOrderAndReadBackAsItWas) {
  const std::string text = manifestText(twoFiles());
  EXPECT_EQ(text, "lighter cache manifest 1\n" + kDigestB + " 3072 Data/Particle.raw\n" + kDigestA +
                      " 139895 lighterBase.m\nend\n");
  std::string why;
  const auto files = parseManifest(text, why);
  ASSERT_TRUE(files.has_value()) << why;
  ASSERT_EQ(files->size(), 2u);
  EXPECT_EQ((*files)[0].name, "Data/Particle.raw");
  EXPECT_EQ((*files)[0].size, 3072u);
  EXPECT_EQ((*files)[0].sha256, kDigestB);
  EXPECT_EQ((*files)[1].name, "lighterBase.m");
  EXPECT_EQ((*files)[1].size, 139895u);
}

TEST(CacheManifest, TheLimitsThemselvesAreAccepted) {
  std::vector<ManifestFile> files;
  for (size_t i = 0; i < kMaxManifestFiles; ++i) {
    files.push_back({"f" + std::to_string(1000 + i), i == 0 ? kMaxManifestFileBytes : 0, kDigestA});
  }
  files[1].name = "a/b/c/" + std::string(kMaxManifestNameBytes - 6, 'd');
  std::string why;
  const auto read = parseManifest(manifestText(files), why);
  ASSERT_TRUE(read.has_value()) << why;
  EXPECT_EQ(read->size(), kMaxManifestFiles);
}

TEST(CacheManifest, NamesAreRelativePlainAndShallow) {
  for (const char* good : {"lighterBase.m", "Data/Particle.raw", "a-b_c.d", "a/b/c/d"}) {
    EXPECT_TRUE(isManifestName(good)) << good;
  }
  for (const char* bad :
       {"", "/etc/passwd", "../up", "a/../b", "./a", ".hidden", "a/.b", "a//b", "a/", "with space",
        "tab\t", "new\nline", "a/b/c/d/e", "caf\xc3\xa9", "back\\slash"}) {
    EXPECT_FALSE(isManifestName(bad)) << bad;
  }
  EXPECT_FALSE(isManifestName(std::string(kMaxManifestNameBytes + 1, 'n')));
}

TEST(CacheManifest, TheWriterRefusesWhatTheReaderWould) {
  EXPECT_THROW(manifestText({}), std::invalid_argument);
  EXPECT_THROW(manifestText({{"../x", 1, kDigestA}}), std::invalid_argument);
  EXPECT_THROW(manifestText({{"x", 1, "ABC"}}), std::invalid_argument);
  EXPECT_THROW(manifestText({{"x", 1, std::string(64, 'A')}}), std::invalid_argument);
  EXPECT_THROW(manifestText({{"x", kMaxManifestFileBytes + 1, kDigestA}}), std::invalid_argument);
  EXPECT_THROW(manifestText({{"x", 1, kDigestA}, {"x", 2, kDigestB}}), std::invalid_argument);
  EXPECT_THROW(manifestText(std::vector<ManifestFile>(kMaxManifestFiles + 1, {"x", 1, kDigestA})),
               std::invalid_argument);
}

TEST(CacheManifest, TheReaderSaysWhatIsWrongAndWhere) {
  const std::string head = "lighter cache manifest 1\n";
  const std::string line = kDigestA + " 10 lighterBase.m\n";
  EXPECT_EQ(parsedWhy(""), "line 1: empty");
  EXPECT_EQ(parsedWhy("lighter cache manifest 2\n" + line + "end\n"), "line 1: format version 2");
  EXPECT_EQ(parsedWhy("LGHTLOOK\n"), "line 1: not a cache manifest");
  EXPECT_EQ(parsedWhy(head + line), "line 2: cut short (no end line)");
  EXPECT_EQ(parsedWhy(head + line + "end"), "line 3: cut short");
  EXPECT_EQ(parsedWhy(head + line.substr(0, 40)), "line 2: cut short");
  EXPECT_EQ(parsedWhy(head + "end\n"), "line 2: lists no files");
  EXPECT_EQ(parsedWhy(head + line + "end\n\n"), "line 4: text after the end");
  EXPECT_EQ(parsedWhy(head + line + "end\nend\n"), "line 4: text after the end");
  EXPECT_EQ(parsedWhy(head + line + line + "end\n"), "line 3: names out of order or twice");
  EXPECT_EQ(parsedWhy(head + kDigestA + " 1 b\n" + kDigestA + " 1 a\nend\n"),
            "line 3: names out of order or twice");
}

TEST(CacheManifest, TheReaderTakesEachPartOnlyAsTheWriterSpellsIt) {
  const std::string head = "lighter cache manifest 1\n";
  const auto refused = [&](const std::string& fileLine) {
    std::string why;
    EXPECT_FALSE(parseManifest(head + fileLine + "\nend\n", why).has_value()) << fileLine;
    return why;
  };
  const std::string size = "line 2: not a file size";
  const std::string digest = "line 2: not a SHA-256 in lower-case hex";
  const std::string name = "line 2: not a file name an entry holds";
  EXPECT_EQ(refused(kDigestA + " 010 a"), size);
  EXPECT_EQ(refused(kDigestA + " +10 a"), size);
  EXPECT_EQ(refused(kDigestA + " -1 a"), size);
  EXPECT_EQ(refused(kDigestA + "  10 a"), size);
  EXPECT_EQ(refused(kDigestA + " 1e3 a"), size);
  EXPECT_EQ(refused(kDigestA + " 99999999999999999999 a"), size);
  EXPECT_EQ(refused(kDigestA + " " + std::to_string(kMaxManifestFileBytes + 1) + " a"), size);
  EXPECT_EQ(refused(std::string(64, 'A') + " 1 a"), digest);
  EXPECT_EQ(refused(std::string(63, 'a') + " 1 a"), digest);
  EXPECT_EQ(refused(std::string(65, 'a') + " 1 a"), digest);
  EXPECT_EQ(refused(kDigestA + " 1 ../a"), name);
  EXPECT_EQ(refused(kDigestA + " 1 a "), name);
  EXPECT_EQ(refused(kDigestA + " 1 a\r"), name);
  EXPECT_EQ(refused(kDigestA + " 1 "), name);
  EXPECT_EQ(refused(kDigestA + " 1"), "line 2: not a file line (digest, size, name)");
  EXPECT_EQ(refused(""), "line 2: not a file line (digest, size, name)");
}

TEST(CacheManifest, TheReaderStopsAtItsLimits) {
  std::string text = "lighter cache manifest 1\n";
  for (size_t i = 0; i <= kMaxManifestFiles; ++i) {
    text += kDigestA + " 1 f" + std::to_string(1000 + i) + "\n";
  }
  EXPECT_EQ(parsedWhy(text + "end\n"), "line " + std::to_string(kMaxManifestFiles + 2) +
                                           ": more than " + std::to_string(kMaxManifestFiles) +
                                           " files");
  EXPECT_EQ(parsedWhy(std::string(kMaxManifestBytes + 1, '\n')),
            "line 1: longer than " + std::to_string(kMaxManifestBytes) + " bytes");
}

}  // namespace
