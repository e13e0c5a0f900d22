// One entry of the model cache on disk: its manifest written once the import
// is complete, the check against it before the entry is used, its last use,
// and what the size limit needs to know of the entries there. Files only: no
// processes, no locks, no GL.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "lighter/cache_limit.h"

// Writes kManifestFile into the complete data directory `dir`, listing every
// file under it. False, with `why`, when it cannot; a part written is gone.
bool writeManifest(const std::filesystem::path& dir, std::string& why);

enum class EntryState {
  kSound,       // every file its manifest lists is there as listed
  kAbsent,      // no entry of that name
  kNoManifest,  // an entry without a manifest: an older cache's
  kDamaged,     // anything else: `why` says what
};

struct EntryCheck {
  EntryState state = EntryState::kAbsent;
  std::string why;  // for kDamaged: what is wrong, naming the file
};

// Checks `entry` against its manifest: every file listed must be a regular
// file of the listed size and, with `hashes`, of the listed SHA-256; and the
// list must hold lighterBase.m, which makes it a data directory.
EntryCheck checkEntry(const std::filesystem::path& entry, bool hashes);

// Marks `entry` used now (its manifest's modification time), for the limit.
// An entry that cannot be marked (a read-only cache) stays as it was.
void markUsed(const std::filesystem::path& entry);

// The sizes of the regular files under `dir` together.
uint64_t directoryBytes(const std::filesystem::path& dir);

// Every entry in the cache `root` (of any importer's version) but the one
// named `except`, with its size and its last use; an entry without a
// manifest counts as never used, since it would be imported again anyway.
std::vector<CachedEntry> cachedEntries(const std::filesystem::path& root,
                                       const std::string& except);
