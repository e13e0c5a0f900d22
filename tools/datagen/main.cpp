// Makes the lighter's data set: datagen OUTPUT_DIRECTORY
#include <cstdio>
#include <exception>

#include "tools/datagen/data_set.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
    return 2;
  }
  try {
    datagen::writeDataSet(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "datagen: %s\n", e.what());
    return 1;
  }
  return 0;
}
