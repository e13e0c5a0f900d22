// Opening the files the importer reads (models, images) without ever
// waiting on one: a FIFO or a device is refused before anything reads it.
#pragma once

#include <string>

#include "files/data_file.h"

namespace importer {

// `path` open for reading, or an ImportError that names it and says why not
// ("is a directory, not a KIND", "is not a regular file (a FIFO)", "cannot
// open it: ...").
FileHandle openInput(const std::string& path, const std::string& kind);

}  // namespace importer
