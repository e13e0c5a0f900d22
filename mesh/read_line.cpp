// Vertex and face lines of the `.m` format, appended to a mesh as they come.
#include "mesh/read_line.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <vector>

#include "mesh/measure.h"

namespace {

// A face field is handled as at most this many characters; longer fields are
// converted from their first kFieldMax characters.
constexpr size_t kFieldMax = 99;

// The arrays and the centre sum of the mesh a line belongs to.
struct MeshRefs {
  std::vector<Vector3>& vertices;
  std::vector<Tri>& faces;
  Vector3& centre;
};

MeshRefs meshOf(MeshState& m, int isBase) {
  if (isBase != 0) {
    return {m.lighterBaseVertices, m.lighterBaseTriangles, m.centerBase};
  }
  return {m.lighterTopVertices, m.lighterTopTriangles, m.centerTop};
}

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The end of a plain decimal number at `at` (optional sign, digits with at
// most one point, no exponent), or nullptr when the text is anything else.
const char* plainNumberEnd(const char* at) {
  if (*at == '+' || *at == '-') ++at;
  bool digits = false;
  while (isDigit(*at)) ++at, digits = true;
  if (*at == '.') {
    ++at;
    while (isDigit(*at)) ++at, digits = true;
  }
  return digits ? at : nullptr;
}

// "v x y z" with three plain decimal numbers, each followed by whitespace or
// the end of the line: what mesh files hold. For this form strtof gives the
// very floats that sscanf's %g gives (both round correctly), at a fraction of
// sscanf's cost. False, with v untouched, for anything else.
bool readPlainVertex(const char* line, Vector3& v) {
  float values[3];
  const char* at = line + 1;  // past the "v"
  for (float& value : values) {
    while (isSpace(*at)) ++at;
    const char* end = plainNumberEnd(at);
    if (end == nullptr || (*end != '\0' && !isSpace(*end))) return false;
    value = std::strtof(at, nullptr);
    at = end;
  }
  v = {values[0], values[1], values[2]};
  return true;
}

void readVertex(MeshState& m, const char* line, int isBase, std::ostream& out) {
  // A coordinate the line does not supply stays 0; the vertex is added all
  // the same so that later vertex numbers follow the "v" lines of the file.
  Vector3 v;
  if (!readPlainVertex(line, v) && std::sscanf(line, "v %g %g %g", &v.x, &v.y, &v.z) < 3) {
    out << "an error occurred in reading vertices\n";
  }
  MeshRefs mesh = meshOf(m, isBase);
  mesh.vertices.push_back(v);
  mesh.centre.x += v.x;
  mesh.centre.y += v.y;
  mesh.centre.z += v.z;
  widenBox(m, v);
}

// The next field of a line split at runs of spaces (a tab is no separator),
// NUL-terminated in place; nullptr when the line is used up.
char* nextField(char*& cursor) {
  while (*cursor == ' ') ++cursor;
  if (*cursor == '\0') return nullptr;
  char* field = cursor;
  while (*cursor != ' ' && *cursor != '\0') ++cursor;
  if (*cursor == ' ') *cursor++ = '\0';
  return field;
}

// A field's number: the text before its first "/", at most kFieldMax
// characters of it, converted as strtol converts it.
struct FieldValue {
  long value;
  bool fitsInt;  // false also when strtol itself overflowed
};

FieldValue convertField(char* field) {
  size_t length = std::strcspn(field, "/");
  if (length > kFieldMax) length = kFieldMax;
  field[length] = '\0';
  errno = 0;
  const long value = std::strtol(field, nullptr, 10);
  const bool fits = errno != ERANGE && value >= INT_MIN && value <= INT_MAX;
  return {value, fits};
}

// What "j is %d" prints for a field: its value, or the nearest int when the
// value does not fit one (as strtol itself saturates at the limits of long).
int printedValue(const FieldValue& f) {
  if (f.fitsInt) return static_cast<int>(f.value);
  return f.value < 0 ? INT_MIN : INT_MAX;
}

bool namesVertex(const FieldValue& f, size_t vertexCount) {
  return f.fitsInt && f.value >= 1 && static_cast<unsigned long>(f.value) <= vertexCount;
}

// Checks the first three corners; prints why the face is skipped if it is.
bool cornersValid(const FieldValue* corners, size_t count, size_t vertexCount,
                  const LineSource& src, std::ostream& out) {
  if (count < 3) {
    out << src.name << ":" << src.number << ": face skipped: it names " << count << " corner"
        << (count == 1 ? "" : "s") << ", a face needs 3\n";
    return false;
  }
  for (size_t k = 0; k < 3; ++k) {
    if (namesVertex(corners[k], vertexCount)) {
      continue;
    }
    out << src.name << ":" << src.number << ": face skipped: corner " << corners[k].value
        << " is not a vertex read so far ";
    if (vertexCount == 0) {
      out << "(none read yet)\n";
    } else {
      out << "(1 to " << vertexCount << ")\n";
    }
    return false;
  }
  return true;
}

// The reader's commentary on a face, gathered and written to the stream in
// one piece: the same bytes as one write per line, a few times faster, which
// matters at millions of faces.
class FaceLog {
 public:
  explicit FaceLog(std::ostream& out) : out_(out) {}
  FaceLog(const FaceLog&) = delete;
  FaceLog& operator=(const FaceLog&) = delete;
  void line(const char* text) {
    append(text);
    append("\n");
  }
  // `prefix`, the number in decimal as %d prints it, `suffix`.
  void number(const char* prefix, long value, const char* suffix) {
    append(prefix);
    char digits[24];
    char* end = digits + sizeof digits;
    char* at = end;
    unsigned long magnitude =
        value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
      *--at = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--at = '-';
    write(at, static_cast<size_t>(end - at));
    append(suffix);
  }
  void flush() {
    out_.write(text_, static_cast<std::streamsize>(size_));
    size_ = 0;
  }
  ~FaceLog() { flush(); }

 private:
  void append(const char* text) { write(text, std::strlen(text)); }
  void write(const char* text, size_t n) {
    if (size_ + n > sizeof text_) flush();
    std::memcpy(text_ + size_, text, n);  // n is far below the buffer's size
    size_ += n;
  }
  std::ostream& out_;
  char text_[1024];
  size_t size_ = 0;
};

// The face's normal (see faceNormal), with the commentary of its steps.
Vector3 loggedFaceNormal(const Vector3& p1, const Vector3& p2, const Vector3& p3, int isBase,
                         FaceLog& log) {
  if (isBase == 0) log.line("vectorA set for TOP...");
  if (isBase == 0) log.line("vectorB set for TOP...");
  log.line("vectors set and ready...");
  return faceNormal(p1, p2, p3);
}

void readFace(MeshState& m, char* line, int isBase, const LineSource& src, std::ostream& out) {
  char* cursor = line;
  nextField(cursor);  // the letter, or a word that begins with it
  FieldValue corners[3] = {};
  size_t count = 0;
  FaceLog log(out);
  while (char* field = nextField(cursor)) {
    const FieldValue f = convertField(field);
    log.number("j is ", printedValue(f), "\n");
    if (count < 3) corners[count] = f;
    ++count;
  }
  MeshRefs mesh = meshOf(m, isBase);
  log.flush();  // the message about a skipped face comes after the fields
  if (!cornersValid(corners, count, mesh.vertices.size(), src, out)) {
    return;
  }
  log.line("calculating center and normal...");
  log.number("int isBase is ", isBase, "...\n");
  Tri face;
  face.corner1 = static_cast<int>(corners[0].value);
  face.corner2 = static_cast<int>(corners[1].value);
  face.corner3 = static_cast<int>(corners[2].value);
  const std::vector<Vector3>& v = mesh.vertices;
  face.normal =
      loggedFaceNormal(v[face.corner1 - 1], v[face.corner2 - 1], v[face.corner3 - 1], isBase, log);
  log.line("finished calculations");
  mesh.faces.push_back(face);
}

}  // namespace

void readLine(MeshState& meshes, char* line, int isBase, const LineSource& source,
              std::ostream& out) {
  if (line[0] == 'v') {
    readVertex(meshes, line, isBase, out);
  } else if (line[0] == 'f') {
    readFace(meshes, line, isBase, source, out);
  }
}
