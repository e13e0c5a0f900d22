// libstdc++'s stdio_filebuf, which the mesh reader reads an open descriptor
// through, for the web build: Emscripten's C++ library (libc++) has no such
// extension. Reading only, as the reader uses it; it closes the descriptor.
#pragma once

#include <unistd.h>

#include <array>
#include <cstddef>
#include <ios>
#include <streambuf>

namespace __gnu_cxx {

template <typename CharT>
class stdio_filebuf;

template <>
class stdio_filebuf<char> : public std::streambuf {
 public:
  stdio_filebuf(int fd, std::ios_base::openmode /*mode*/) : fd_(fd) {}
  stdio_filebuf(const stdio_filebuf&) = delete;
  stdio_filebuf& operator=(const stdio_filebuf&) = delete;
  ~stdio_filebuf() override {
    if (fd_ >= 0) ::close(fd_);
  }

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
    if (got <= 0) return traits_type::eof();
    setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
    return traits_type::to_int_type(*gptr());
  }

 private:
  int fd_;
  std::array<char, 8192> buffer_{};
};

}  // namespace __gnu_cxx
