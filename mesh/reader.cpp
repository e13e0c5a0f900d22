// Cuts a `.m` stream into lines: whitespace before a line is skipped, at most
// 255 characters of a line are kept and the rest of it, line feed included, is
// discarded up to 9999 characters. Anything beyond that reads as a further line.
#include "mesh/reader.h"

#include <ext/stdio_filebuf.h>

#include <new>

#include "files/data_file.h"
#include "mesh/read_line.h"

namespace {

constexpr std::streamsize kLineBuffer = 256;  // 255 characters and the NUL
constexpr int kDiscardLimit = 9999;

// The whitespace of the default locale.
bool isSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Skips whitespace, counting the line feeds it passes. False at the end of
// the stream or on a read error.
bool skipWhitespace(std::istream& in, long& lineNumber) {
  for (;;) {
    const int c = in.peek();
    if (c == std::char_traits<char>::eof()) {
      return false;
    }
    if (!isSpace(c)) {
      return true;
    }
    if (c == '\n') {
      ++lineNumber;
    }
    in.ignore();
  }
}

// Discards the rest of the line after the kept part, line feed included, at
// most kDiscardLimit characters.
void discardRest(std::istream& in, long& lineNumber) {
  // The usual case, a line that fit: only its line feed is left.
  if (in.peek() == '\n') {
    in.ignore();
    ++lineNumber;
    return;
  }
  // A long line, character by character so that the line count stays right
  // when the line feed is exactly the last character the limit allows.
  for (int n = 0; n < kDiscardLimit; ++n) {
    const int c = in.get();
    if (c == std::char_traits<char>::eof()) {
      return;
    }
    if (c == '\n') {
      ++lineNumber;
      return;
    }
  }
}

}  // namespace

void readStream(MeshState& meshes, std::istream& in, int isBase, const char* name,
                std::ostream& out) {
  long lineNumber = 1;
  char line[kLineBuffer];
  while (!in.fail()) {
    if (!skipWhitespace(in, lineNumber)) {
      return;
    }
    in.get(line, kLineBuffer);  // stops before the line feed
    if (in.gcount() == 0) {
      return;  // a read error: nothing was read
    }
    const LineSource source{name, lineNumber};
    discardRest(in, lineNumber);
    try {
      readLine(meshes, line, isBase, source, out);
    } catch (const std::bad_alloc&) {
      throw meshMemoryError(meshes, isBase, name, source.number);
    }
    if (in.eof() || in.bad()) {
      return;
    }
  }
}

MeshMemoryError meshMemoryError(const MeshState& m, int isBase, const char* file, long line) {
  return isBase != 0 ? MeshMemoryError(file, line, m.lighterBaseVertices.size(),
                                       m.lighterBaseTriangles.size())
                     : MeshMemoryError(file, line, m.lighterTopVertices.size(),
                                       m.lighterTopTriangles.size());
}

bool ReadFile(MeshState& meshes, const char* name, int isBase, std::ostream& out,
              std::ostream& err) {
  out << "Reading coordinates from " << name << "\n";
  // Only a regular file is read: a FIFO, /dev/zero or a directory would hang
  // the start-up, never end or fail on the first read.
  const DataFile file = openDataFile(name);
  if (file.fd < 0) {
    out << "Could not open file " << name << "\n";
    err << name << ": " << file.reason << "\n";
    return false;
  }
  __gnu_cxx::stdio_filebuf<char> buffer(file.fd, std::ios::in);  // closes the descriptor
  std::istream in(&buffer);
  readStream(meshes, in, isBase, name, out);
  if (in.bad()) {
    out << name << ": read error, the mesh keeps the lines read before it\n";
  }
  return true;
}
