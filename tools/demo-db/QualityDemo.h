#pragma once
// The demo plant's quality settings: the acceptable defect rate of the
// inspected process kinds and the target colours of its colour numbers.
#include <sqlite3.h>

#include <string_view>

namespace qtmv::demo {

// A colour number's target as the plant keeps it in 色號目標值.
struct ColourTargetRow {
    const char* number;
    double l, a, b;
    const char* note;
    double tolerance;                  // ΔE00
    double density, densityTolerance;  // 0: none
};
// The plant's target of a colour number; nullptr when it has none.
const ColourTargetRow* FindColourTarget(std::string_view number);

// Fills 品檢允收不良率 and 色號目標值 (the colour numbers the printing data
// uses, all but the gold, which has no target).
void WriteQualitySettings(sqlite3* db);

} // namespace qtmv::demo
