#include "lighter/cache_manifest.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr std::string_view kHeader = "lighter cache manifest 1";
constexpr std::string_view kHeaderPrefix = "lighter cache manifest ";
constexpr std::string_view kEnd = "end";
constexpr size_t kDigestDigits = 64;
constexpr size_t kMaxSizeDigits = 13;  // kMaxManifestFileBytes has 13

bool isNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '_' || c == '-';
}

bool isDigest(std::string_view text) {
  return text.size() == kDigestDigits && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

// A size as the writer spells it: decimal, no sign, no leading zero.
std::optional<uint64_t> parseSize(std::string_view text) {
  if (text.empty() || text.size() > kMaxSizeDigits || (text[0] == '0' && text.size() > 1)) {
    return std::nullopt;
  }
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');  // 13 digits cannot overflow
  }
  if (value > kMaxManifestFileBytes) return std::nullopt;
  return value;
}

// One "DIGEST SIZE NAME" line; `why` says which part is wrong.
std::optional<ManifestFile> parseFileLine(std::string_view line, std::string& why) {
  const size_t first = line.find(' ');
  const size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
  if (second == std::string_view::npos) {
    why = "not a file line (digest, size, name)";
    return std::nullopt;
  }
  const std::string_view digest = line.substr(0, first);
  const std::string_view size = line.substr(first + 1, second - first - 1);
  const std::string_view name = line.substr(second + 1);
  if (!isDigest(digest)) {
    why = "not a SHA-256 in lower-case hex";
    return std::nullopt;
  }
  const std::optional<uint64_t> bytes = parseSize(size);
  if (!bytes) {
    why = "not a file size";
    return std::nullopt;
  }
  if (!isManifestName(name)) {
    why = "not a file name an entry holds";
    return std::nullopt;
  }
  return ManifestFile{std::string(name), *bytes, std::string(digest)};
}

std::optional<std::vector<ManifestFile>> refuse(std::string& why, size_t line,
                                                const std::string& reason) {
  why = "line " + std::to_string(line) + ": " + reason;
  return std::nullopt;
}

}  // namespace

bool isManifestName(std::string_view name) {
  if (name.empty() || name.size() > kMaxManifestNameBytes) return false;
  size_t parts = 0;
  size_t start = 0;
  for (;;) {
    const size_t slash = name.find('/', start);
    const std::string_view part = name.substr(start, slash - start);
    if (part.empty() || part[0] == '.' || ++parts > kMaxManifestNameParts ||
        !std::all_of(part.begin(), part.end(), isNameCharacter)) {
      return false;
    }
    if (slash == std::string_view::npos) return true;
    start = slash + 1;
  }
}

std::string manifestText(std::vector<ManifestFile> files) {
  if (files.empty() || files.size() > kMaxManifestFiles) {
    throw std::invalid_argument("a manifest lists from 1 to " + std::to_string(kMaxManifestFiles) +
                                " files");
  }
  std::sort(files.begin(), files.end(),
            [](const ManifestFile& a, const ManifestFile& b) { return a.name < b.name; });
  std::string text = std::string(kHeader) + "\n";
  for (size_t i = 0; i < files.size(); ++i) {
    const ManifestFile& f = files[i];
    if (!isManifestName(f.name)) throw std::invalid_argument("no manifest name: " + f.name);
    if (!isDigest(f.sha256)) throw std::invalid_argument("no SHA-256 for " + f.name);
    if (f.size > kMaxManifestFileBytes) throw std::invalid_argument("too large: " + f.name);
    if (i > 0 && files[i - 1].name == f.name) throw std::invalid_argument("twice: " + f.name);
    text += f.sha256 + " " + std::to_string(f.size) + " " + f.name + "\n";
  }
  text += std::string(kEnd) + "\n";
  if (text.size() > kMaxManifestBytes) throw std::invalid_argument("the manifest is too long");
  return text;
}

std::optional<std::vector<ManifestFile>> parseManifest(std::string_view text, std::string& why) {
  if (text.size() > kMaxManifestBytes) {
    return refuse(why, 1, "longer than " + std::to_string(kMaxManifestBytes) + " bytes");
  }
  std::vector<ManifestFile> files;
  size_t lineNumber = 0;
  size_t start = 0;
  bool ended = false;
  while (start < text.size()) {
    ++lineNumber;
    const size_t newline = text.find('\n', start);
    if (newline == std::string_view::npos) return refuse(why, lineNumber, "cut short");
    const std::string_view line = text.substr(start, newline - start);
    start = newline + 1;
    if (ended) return refuse(why, lineNumber, "text after the end");
    if (lineNumber == 1) {
      if (line == kHeader) continue;
      if (line.substr(0, kHeaderPrefix.size()) == kHeaderPrefix) {
        return refuse(why, 1, "format version " + std::string(line.substr(kHeaderPrefix.size())));
      }
      return refuse(why, 1, "not a cache manifest");
    }
    if (line == kEnd) {
      ended = true;
      continue;
    }
    std::string reason;
    std::optional<ManifestFile> file = parseFileLine(line, reason);
    if (!file) return refuse(why, lineNumber, reason);
    if (!files.empty() && !(files.back().name < file->name)) {
      return refuse(why, lineNumber, "names out of order or twice");
    }
    if (files.size() == kMaxManifestFiles) {
      return refuse(why, lineNumber, "more than " + std::to_string(kMaxManifestFiles) + " files");
    }
    files.push_back(std::move(*file));
  }
  if (lineNumber == 0) return refuse(why, 1, "empty");
  if (!ended) return refuse(why, lineNumber, "cut short (no end line)");
  if (files.empty()) return refuse(why, lineNumber, "lists no files");
  return files;
}
