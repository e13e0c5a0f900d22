#include "importer/progress.h"

#include <cstdio>

namespace importer {

std::string format(const char* pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

}  // namespace importer
