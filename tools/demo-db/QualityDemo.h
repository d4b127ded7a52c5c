#pragma once
// The demo plant's quality settings: the acceptable defect rate of the
// inspected process kinds and the target colours of its colour numbers.
#include <sqlite3.h>

namespace qtmv::demo {

// Fills 品檢允收不良率 and 色號目標值 (the colour numbers the printing data
// uses, all but the gold, which has no target).
void WriteQualitySettings(sqlite3* db);

} // namespace qtmv::demo
