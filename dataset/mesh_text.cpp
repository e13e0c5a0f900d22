#include "dataset/mesh_text.h"

#include <algorithm>
#include <charconv>

namespace dataset {

namespace {

// Text written straight into a buffer that grows by doubling: a million
// faces make tens of megabytes of lines.
class TextBuffer {
 public:
  explicit TextBuffer(size_t expected) { text_.resize(expected); }
  // Room for one line of at most `length` characters.
  void reserveLine(size_t length) {
    if (size_ + length > text_.size()) text_.resize(2 * text_.size() + length);
  }
  void put(char c) { text_[size_++] = c; }
  void put(const std::string& text) {
    reserveLine(text.size());
    std::copy(text.begin(), text.end(), at());
    size_ += text.size();
  }
  void put(double value, Numbers numbers) {
    const auto written =
        numbers == Numbers::kShortestFloat
            ? std::to_chars(at(), end(), static_cast<float>(value), std::chars_format::fixed)
            : std::to_chars(at(), end(), value, std::chars_format::fixed, 6);
    size_ = static_cast<size_t>(written.ptr - text_.data());
  }
  void put(int value) {
    size_ = static_cast<size_t>(std::to_chars(at(), end(), value).ptr - text_.data());
  }
  std::string take() {
    text_.resize(size_);
    return std::move(text_);
  }

 private:
  char* at() { return text_.data() + size_; }
  char* end() { return text_.data() + text_.size(); }
  std::string text_;
  size_t size_ = 0;
};

// The longest lines: a number in fixed notation takes at most 318 characters
// (a sign, 309 digits of the largest double, a point and six decimals; a
// float's shortest form is shorter), an int 11.
constexpr size_t kVertexLine = 2 + 3 * 319 + 1;
constexpr size_t kFaceLine = 2 + 3 * 12 + 1;

}  // namespace

std::string meshText(const Mesh& mesh, const std::string& title, Numbers numbers) {
  TextBuffer text(mesh.vertices.size() * 36 + mesh.faces.size() * 24 + kVertexLine);
  if (!title.empty()) {
    text.put("# " + title + ": " + std::to_string(mesh.vertices.size()) + " vertices, " +
             std::to_string(mesh.faces.size()) + " faces\n");
  }
  for (const Vec3& v : mesh.vertices) {
    text.reserveLine(kVertexLine);
    text.put('v');
    for (double c : {v.x, v.y, v.z}) {
      text.put(' ');
      text.put(c, numbers);
    }
    text.put('\n');
  }
  for (const Face& f : mesh.faces) {
    text.reserveLine(kFaceLine);
    text.put('f');
    for (int c : f) {
      text.put(' ');
      text.put(c + 1);
    }
    text.put('\n');
  }
  return text.take();
}

}  // namespace dataset
