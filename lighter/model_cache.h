// The cache of imported models: `lighter MODEL` imports a model file once
// into a data directory kept under the user's cache directory, named by the
// file's content and the importer's version, and runs there. Plain values
// and file reading, no processes and no GL.
#pragma once

#include <optional>
#include <string>

// True when `path` names a regular file (through symbolic links): a model
// to import rather than a data directory.
bool isModelFile(const std::string& path);

// $XDG_CACHE_HOME/lighter, or $HOME/.cache/lighter when XDG_CACHE_HOME is
// unset, empty or relative (the XDG rules ignore a relative one); empty when
// neither gives an absolute directory.
std::string cacheRoot(const char* xdgCacheHome, const char* home);

// The SHA-256 of the file's bytes in lower-case hex; nothing, with the
// system's reason, when it cannot be read.
std::optional<std::string> fileDigest(const std::string& path, std::string& reason);
// The same for what is left to read of an open file.
std::optional<std::string> descriptorDigest(int fd, std::string& reason);

// The name of the data directory imported from content with `digest` by
// this version of lighter-import. A changed file, or a new importer, gets a
// new name, so an entry once complete is never stale.
std::string cacheEntryName(const std::string& digest);

// True for a name cacheEntryName gives, of this importer's version or another.
bool isCacheEntryName(const std::string& name);
