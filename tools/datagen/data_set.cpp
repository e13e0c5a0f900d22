#include "tools/datagen/data_set.h"

#include "dataset/data_directory.h"
#include "tools/datagen/lighter_model.h"

namespace datagen {

void writeDataSet(const std::filesystem::path& dir) {
  const Lighter lighter = buildLighter();
  dataset::DataSet data;
  data.body = &lighter.base;
  data.lid = &lighter.lid;
  data.bodyTitle = "lighter body";
  data.lidTitle = "lighter lid";
  data.numbers = dataset::Numbers::kSixDecimals;
  dataset::writeDataDirectory(dir, data, true);
}

}  // namespace datagen
