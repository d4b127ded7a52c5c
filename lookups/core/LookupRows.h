#pragma once
// Running a lookup's statement: the headings (the result's field names, as
// the grid shows them) and every row as texts, with the window's fall-back
// statement when the filtered one finds nothing.
#include <string>
#include <vector>

namespace qtmv::lookups {

// A lookup's statements: the one with the typed filter and the one it falls
// back to when that finds nothing ("" when the window has no fall-back).
struct LookupQuery {
    std::string filtered;
    std::string unfiltered;
};

struct LookupRows {
    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> rows;   // each row has one text per heading
    bool fellBack = false;                         // the filter found nothing: the unfiltered list
};

// One connection for the operation, released at the end. Fields are taken
// as text, trimmed, null as "". Throws jet::Error.
LookupRows LoadLookup(const std::string& connectionString, const LookupQuery& query);

} // namespace qtmv::lookups
