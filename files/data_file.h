// Opening a data file for reading: only regular files are read.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

// An open descriptor, or -1 and the reason it could not be had.
struct DataFile {
  int fd = -1;           // the caller's to close
  std::string reason;    // strerror's text, or which kind of file was refused
  bool refused = false;  // it opened, but is not a regular file
};

// Opens `path` for reading without ever waiting: the open itself does not
// block (a FIFO with no writer would block it), and a FIFO, a device, a
// socket or a directory is refused, since reading one could hang, never end
// or fail on the first read.
DataFile openDataFile(const char* path);

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The same as a C stream opened "rb"; null with `reason` set on failure.
FileHandle openDataStream(const char* path, std::string& reason);
