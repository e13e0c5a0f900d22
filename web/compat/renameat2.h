// renameat2 for the web build's data set writer (dataset/data_directory.cpp),
// which runs under Node while the page is built: Emscripten's C library has
// renameat but not Linux's renameat2. Only RENAME_NOREPLACE is asked for:
// a rename that fails with EEXIST where the target exists. (The check and
// the rename are two steps here; the build is the only writer.)
#pragma once

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE 1

static inline int renameat2(int fromDir, const char* from, int toDir, const char* to,
                            unsigned int flags) {
  struct stat existing;
  if ((flags & RENAME_NOREPLACE) != 0 && fstatat(toDir, to, &existing, AT_SYMLINK_NOFOLLOW) == 0) {
    errno = EEXIST;
    return -1;
  }
  return renameat(fromDir, from, toDir, to);
}
#endif
