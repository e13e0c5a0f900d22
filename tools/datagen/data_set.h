// Writing the data set the program runs on.
#pragma once

#include <filesystem>

namespace datagen {

// Writes the shipped data set (the lighter, the shipped pictures) as the data
// directory `dir`, replacing it if it is empty or a data directory already.
// Throws dataset::WriteError when it cannot.
void writeDataSet(const std::filesystem::path& dir);

}  // namespace datagen
