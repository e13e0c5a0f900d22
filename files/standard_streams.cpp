#include "files/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>

namespace {

// errno of the first failed write of standard output that was not a reader
// going away; 0 while there was none.
int gOutputError = 0;
const char* gProgram = "";  // the name the report at exit begins with

// From now on standard output goes nowhere: the reader of the pipe has gone,
// and the program goes on drawing and answering clicks without it.
void dropStandardOutput() {
  const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null >= 0) {
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
  }
  std::clearerr(stdout);
}

// Takes a failed write of stdout; true when it was dealt with (the reader
// went away) and the stream can carry on as if it had been written.
bool writeFailed(int error) {
  if (error == EPIPE) {
    dropStandardOutput();
    return true;
  }
  if (gOutputError == 0) gOutputError = error != 0 ? error : EIO;
  return false;
}

// std::cout's buffer: every character straight into C's stdout, as the
// synchronised standard stream does, so both keep one order; a failed write
// is seen at once, with its errno.
class WatchedStdout : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
      return sync() == 0 ? traits_type::not_eof(c) : traits_type::eof();
    }
    if (std::putc(c, stdout) != EOF || writeFailed(errno)) return c;
    return traits_type::eof();
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    const size_t n = static_cast<size_t>(count);
    if (std::fwrite(text, 1, n, stdout) == n || writeFailed(errno)) return count;
    return 0;
  }
  int sync() override { return std::fflush(stdout) == 0 || writeFailed(errno) ? 0 : -1; }
};

WatchedStdout gWatchedStdout;
std::streambuf* gStandardBuffer = nullptr;  // std::cout's own, put back at exit

// At exit: what is still buffered goes out, and a failure is told once.
// std::cout gets its own buffer back, since the library flushes it after
// gWatchedStdout is gone.
void reportOutputFailure() {
  std::cout.rdbuf(gStandardBuffer);
  if (std::fflush(stdout) != 0) writeFailed(errno);
  if (gOutputError != 0) {
    std::fprintf(stderr, "%s: could not write standard output: %s\n", gProgram,
                 std::strerror(gOutputError));
  }
}

}  // namespace

void keepStandardDescriptorsOpen() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      // The lowest free number: this very one, since those below are open.
      const int null = ::open("/dev/null", O_RDWR);
      if (null >= 0 && null != fd) {
        ::dup2(null, fd);
        ::close(null);
      }
    }
  }
}

void watchStandardOutput(const char* program) {
  gProgram = program;
  std::signal(SIGPIPE, SIG_IGN);
  gStandardBuffer = std::cout.rdbuf(&gWatchedStdout);
  std::atexit(reportOutputFailure);
}

bool standardOutputFailed() {
  std::cout.flush();
  return gOutputError != 0;
}

void bufferStandardOutput() { std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ); }

void lineBufferStandardOutput() {
  if (std::fflush(stdout) != 0) writeFailed(errno);
  // C promises setvbuf only before a stream's first write; glibc also takes
  // it later, and with a buffer of the caller's it starts the stream afresh,
  // in the new mode, once the old buffer is flushed (it is empty by now).
  static char lineBuffer[BUFSIZ];
  std::setvbuf(stdout, lineBuffer, _IOLBF, sizeof lineBuffer);
}
