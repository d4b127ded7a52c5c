#pragma once
// Where a print to a file goes by default.
namespace qtmv {

class Clock;

// Every preview's print to a file proposes a file in the session's export
// folder (ExcelFolder, where the workbooks go), named after the document
// and the time ("生產明細表_20261207-1530.pdf"), never one that is there, so
// no earlier print is replaced unasked. The clock must live as long as the
// program.
void InstallPrintFileNamer(const Clock& clock);

} // namespace qtmv
