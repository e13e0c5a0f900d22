// The mark of a data directory made without a lid.
#pragma once

#include <string>

// The first line of lighterTop.m in a data directory written without a lid.
// The mesh reader skips it like every line that starts with neither v nor f,
// so the lid reads as empty in every mode; start-up sees the mark and takes
// the empty lid as intended, so it says nothing about it.
inline constexpr char kNoLidMarker[] = "# no lid";

// True when the file at `path` starts with the marker line (the whole line,
// ended by a newline or the end of the file). Files that cannot be opened
// as regular files are not marked.
bool isMarkedNoLid(const char* path);

// A lid file's text for a directory without a lid: the marker line alone.
std::string noLidText();
