#include "platform/workbook/testing/ReadWorkbook.h"

#include <algorithm>
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
values = openpyxl.load_workbook(sys.argv[1], data_only=True)
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
            cached = values[ws.title][c.coordinate].value
            print('cell\t%s\t%s\t%s\t%s\t%d\t%s' % (c.coordinate, t, clean(c.value), c.number_format,
                  1 if c.font.b else 0, '' if cached is None else clean(cached)))
)PY";

// The charts, found as Excel finds them: workbook -> sheet -> drawing ->
// chart, through the parts' relations.
const char* const kChartScript = R"PY(
import sys, zipfile, posixpath, xml.etree.ElementTree as ET
NS = {'m': 'http://schemas.openxmlformats.org/spreadsheetml/2006/main',
      'r': 'http://schemas.openxmlformats.org/officeDocument/2006/relationships',
      'p': 'http://schemas.openxmlformats.org/package/2006/relationships',
      'c': 'http://schemas.openxmlformats.org/drawingml/2006/chart',
      'a': 'http://schemas.openxmlformats.org/drawingml/2006/main'}
z = zipfile.ZipFile(sys.argv[1])
def clean(v):
    return str(v).replace('\t', ' ').replace('\n', ' ')
def rels(part):
    folder, name = posixpath.split(part)
    path = posixpath.join(folder, '_rels', name + '.rels')
    out = {}
    if path in z.namelist():
        for r in ET.fromstring(z.read(path)).findall('p:Relationship', NS):
            target = r.get('Target')
            target = target[1:] if target.startswith('/') else posixpath.normpath(posixpath.join(folder, target))
            out[r.get('Id')] = (r.get('Type').rsplit('/', 1)[1], target)
    return out
def text(e):
    return '' if e is None else ''.join(t.text or '' for t in e.iter('{%s}t' % NS['a']))
def val(e, path):
    x = e.find(path, NS)
    return '' if x is None else x.get('val')
def formula(e, path):
    x = e.find(path, NS)
    return '' if x is None else (x.text or '')
def axis(a):
    fmt = a.find('c:numFmt', NS)
    fmt = '' if fmt is None else fmt.get('formatCode')
    return '%s\t%s\t%s\t%s\t%s' % (a.tag.split('}')[1][:3], val(a, 'c:axPos'), fmt,
                                   clean(text(a.find('c:title', NS))), val(a, 'c:delete') or '0')
book = rels('xl/workbook.xml')
for s in ET.fromstring(z.read('xl/workbook.xml')).find('m:sheets', NS):
    kind, part = book[s.get('{%s}id' % NS['r'])]
    for t, drawing in rels(part).values():
        if t != 'drawing':
            continue
        for t2, chart in sorted(rels(drawing).values()):
            if t2 != 'chart':
                continue
            root = ET.fromstring(z.read(chart)).find('c:chart', NS)
            legend = root.find('c:legend', NS)
            print('chart\t%s\t%s\t%s\t%s' % (clean(s.get('name')), kind, clean(text(root.find('c:title', NS))),
                  '' if legend is None else val(legend, 'c:legendPos')))
            plot = root.find('c:plotArea', NS)
            axes = {val(a, 'c:axId'): a for a in plot if a.tag.endswith('Ax')}
            for a in axes.values():
                print('axis\t' + axis(a))
            for group in plot:
                if not group.tag.endswith('Chart'):
                    continue
                kind = group.tag.split('}')[1][:-5]
                if kind == 'bar':
                    kind = 'column' if val(group, 'c:barDir') == 'col' else 'bar'
                ids = [x.get('val') for x in group.findall('c:axId', NS)]
                value = [axes[i] for i in ids if i in axes and axes[i].tag.endswith('valAx')]
                for ser in group.findall('c:ser', NS):
                    name = formula(ser, 'c:tx/c:v')
                    print('series\t%s\t%s\t%s\t%s\t%s' % (kind, clean(name), formula(ser, 'c:cat//c:f'),
                          formula(ser, 'c:val//c:f'), axis(value[0]) if value else '\t\t\t\t'))
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

namespace {

// What script prints about the workbook at path.
std::string RunPython(const char* script, const std::string& path)
{
    // Debian's own interpreter carries python3-openpyxl; a python3 earlier
    // on the PATH (a virtual environment) may not.
    const char* python = std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    const std::string command = std::string(python) + " -c " + Quoted(script) + " " + Quoted(path) + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        throw std::runtime_error("cannot run python3");
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        output.append(buffer, n);
    if (pclose(pipe.release()) != 0)
        throw std::runtime_error("python3 cannot read " + path + ": " + output);
    return output;
}

AxisContent Axis(const std::vector<std::string>& f, std::size_t at)
{
    return {.kind = f[at], .position = f[at + 1], .format = f[at + 2], .title = f[at + 3], .deleted = f[at + 4] == "1"};
}

} // namespace

std::vector<ChartContent> ReadCharts(const std::string& path)
{
    std::vector<ChartContent> charts;
    std::stringstream in(RunPython(kChartScript, path));
    for (std::string line; std::getline(in, line);) {
        auto f = Split(line);
        f.resize(std::max<std::size_t>(f.size(), 11)); // trailing empty fields
        if (f[0] == "chart")
            charts.push_back({.sheet = f[1], .chartSheet = f[2] == "chartsheet", .title = f[3], .legend = f[4],
                              .series = {}, .axes = {}});
        else if (f[0] == "axis" && !charts.empty())
            charts.back().axes.push_back(Axis(f, 1));
        else if (f[0] == "series" && !charts.empty())
            charts.back().series.push_back(
                {.type = f[1], .name = f[2], .categories = f[3], .values = f[4], .valueAxis = Axis(f, 5)});
        else
            throw std::runtime_error("unexpected reader output: " + line);
    }
    return charts;
}

std::vector<SheetContent> ReadWorkbook(const std::string& path)
{
    std::vector<SheetContent> sheets;
    std::stringstream in(RunPython(kScript, path));
    for (std::string line; std::getline(in, line);) {
        const auto f = Split(line);
        if (f.size() == 4 && f[0] == "sheet") {
            sheets.push_back({.name = f[1], .frozen = f[2], .widths = {}, .cells = {}, .maxRow = std::stoi(f[3])});
        } else if (f.size() == 3 && f[0] == "width" && !sheets.empty()) {
            sheets.back().widths[f[1]] = std::stod(f[2]);
        } else if (f.size() >= 6 && f[0] == "cell" && !sheets.empty()) {
            sheets.back().cells[f[1]] = {
                .type = f[2], .value = f[3], .cached = f.size() > 6 ? f[6] : "", .format = f[4], .bold = f[5] == "1"};
        } else {
            throw std::runtime_error("unexpected reader output: " + line);
        }
    }
    return sheets;
}

} // namespace qtmv::xlsx::testing
