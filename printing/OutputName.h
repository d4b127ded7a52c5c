#pragma once
// The names the exports and prints to a file get by default: in the export
// folder, after the report and the time, and never one that is taken, so an
// earlier export or print is never replaced unasked.
#include "common/Clock.h"

#include <string>

namespace qtmv::daily::printing {

// folder/<name>_<yyyymmdd>-<HHMM><extension> ("/home/wang/生產明細表_20261207-1530.xlsx"),
// with (2), (3) ... before the extension while a file (or anything else) is
// at that path. Characters a file name cannot hold become "_"; a folder
// without its closing "/" gets one; an empty name is "列印".
std::string NewOutputPath(const std::string& folder, const std::string& name, const std::string& extension,
                          const DateTime& now);

} // namespace qtmv::daily::printing
