#pragma once
// A page document read as lines: the texts of each page that share a top
// edge, left to right, joined with "|" (empty texts left out).
#include "platform/report/Report.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace qtmv::reports::test {

inline std::vector<std::string> PageLines(const report::PageDocument& doc)
{
    std::vector<std::string> out;
    for (const report::Page& page : doc.pages) {
        std::map<long, std::vector<const report::PlacedText*>> rows;
        for (const report::PlacedText& t : page.texts)
            if (!t.text.isEmpty())
                rows[std::lround(t.rect.top() * 10)].push_back(&t);
        for (auto& [top, texts] : rows) {
            std::sort(texts.begin(), texts.end(),
                      [](const auto* a, const auto* b) { return a->rect.left() < b->rect.left(); });
            std::string line;
            for (const auto* t : texts)
                line += (line.empty() ? "" : "|") + t->text.toStdString();
            out.push_back(line);
        }
    }
    return out;
}

// The lines that begin with prefix.
inline std::vector<std::string> LinesStarting(const report::PageDocument& doc, const std::string& prefix)
{
    std::vector<std::string> out;
    for (const std::string& l : PageLines(doc))
        if (l.rfind(prefix, 0) == 0)
            out.push_back(l);
    return out;
}

} // namespace qtmv::reports::test
