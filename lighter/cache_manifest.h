// The manifest of a cache entry: the list of the entry's files with their
// sizes and SHA-256, written last into the entry so that an entry can be
// checked before it is used. Plain text, one file a line:
//
//   lighter cache manifest 1
//   <SHA-256, 64 lower-case hex digits> <size in bytes> <name>
//   ...
//   end
//
// Names are relative, '/' between their parts, each part of letters,
// digits, '.', '_' and '-' and not starting with '.'; the lines are sorted by
// name, with no name twice. The reader takes exactly what the writer writes
// and nothing else, within the limits below. Plain text and plain records:
// no files here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The manifest's name inside an entry.
inline constexpr char kManifestFile[] = "cache.manifest";

// What a reader accepts: a manifest no larger, listing no more files, no
// longer names, no deeper ones and no larger files than these.
inline constexpr size_t kMaxManifestBytes = 64 * 1024;
inline constexpr size_t kMaxManifestFiles = 256;
inline constexpr size_t kMaxManifestNameBytes = 200;
inline constexpr size_t kMaxManifestNameParts = 4;
inline constexpr uint64_t kMaxManifestFileBytes = uint64_t{1} << 40;

struct ManifestFile {
  std::string name;    // relative to the entry, e.g. "Data/Particle.raw"
  uint64_t size = 0;   // in bytes
  std::string sha256;  // 64 lower-case hex digits
};

// True for a name a manifest can hold (see above).
bool isManifestName(std::string_view name);

// The manifest listing `files`, in name order. Throws std::invalid_argument
// for anything the reader would refuse (a bad name or digest, a name twice,
// too many files, a file too large), so what is written can be read back.
std::string manifestText(std::vector<ManifestFile> files);

// The files `text` lists, in its order; nothing, with `why` saying what is
// wrong and on which line, for anything but a manifest as manifestText
// writes it.
std::optional<std::vector<ManifestFile>> parseManifest(std::string_view text, std::string& why);
