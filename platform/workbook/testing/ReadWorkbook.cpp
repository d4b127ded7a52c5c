#include "platform/workbook/testing/ReadWorkbook.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace qtmv::xlsx::testing {

namespace {

// One record a line, fields separated by tabs (tabs and line breaks inside
// values become blanks; test data has none).
const char* const kScript = R"PY(
import sys, openpyxl
def clean(v):
    return str(v).replace('\t', ' ').replace('\n', ' ')
wb = openpyxl.load_workbook(sys.argv[1])
for ws in wb.worksheets:
    print('sheet\t%s\t%s\t%d' % (clean(ws.title), ws.freeze_panes or '', ws.max_row))
    for letter, dim in ws.column_dimensions.items():
        if dim.width:
            for i in range(dim.min or 0, (dim.max or 0) + 1):
                if i:
                    print('width\t%s\t%s' % (openpyxl.utils.get_column_letter(i), dim.width))
    for row in ws.iter_rows():
        for c in row:
            if c.value is None:
                continue
            t = 'f' if c.data_type == 'f' else ('n' if c.data_type == 'n' else 's')
            print('cell\t%s\t%s\t%s\t%s\t%d' % (c.coordinate, t, clean(c.value), c.number_format, 1 if c.font.b else 0))
)PY";

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string f; std::getline(in, f, '\t');)
        fields.push_back(f);
    return fields;
}

std::string Quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

} // namespace

const Cell& SheetContent::At(const std::string& ref) const
{
    static const Cell empty;
    const auto it = cells.find(ref);
    return it == cells.end() ? empty : it->second;
}

double SheetContent::Number(const std::string& ref) const
{
    const Cell& c = At(ref);
    if (c.type != "n")
        throw std::runtime_error(name + "!" + ref + " is not a number: '" + c.value + "'");
    return std::stod(c.value);
}

std::vector<SheetContent> ReadWorkbook(const std::string& path)
{
    // Debian's own interpreter carries python3-openpyxl; a python3 earlier
    // on the PATH (a virtual environment) may not.
    const char* python = std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    const std::string command = std::string(python) + " -c " + Quoted(kScript) + " " + Quoted(path) + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        throw std::runtime_error("cannot run python3");
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        output.append(buffer, n);
    if (pclose(pipe.release()) != 0)
        throw std::runtime_error("openpyxl cannot read " + path + ": " + output);

    std::vector<SheetContent> sheets;
    std::stringstream in(output);
    for (std::string line; std::getline(in, line);) {
        const auto f = Split(line);
        if (f.size() == 4 && f[0] == "sheet") {
            sheets.push_back({.name = f[1], .frozen = f[2], .widths = {}, .cells = {}, .maxRow = std::stoi(f[3])});
        } else if (f.size() == 3 && f[0] == "width" && !sheets.empty()) {
            sheets.back().widths[f[1]] = std::stod(f[2]);
        } else if (f.size() == 6 && f[0] == "cell" && !sheets.empty()) {
            sheets.back().cells[f[1]] = {.type = f[2], .value = f[3], .format = f[4], .bold = f[5] == "1"};
        } else {
            throw std::runtime_error("unexpected reader output: " + line);
        }
    }
    return sheets;
}

} // namespace qtmv::xlsx::testing
