#include "lookups/core/LookupRows.h"

#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Value.h"
#include "platform/text/Text.h"

namespace qtmv::lookups {

namespace {

void ReadInto(jet::Recordset& rs, LookupRows& out)
{
    out.headings.clear();
    for (int i = 0; i < rs.fieldCount(); ++i)
        out.headings.push_back(rs.fieldName(i));
    const auto& rows = rs.rows();
    out.rows.clear();
    out.rows.reserve(rows.size());
    for (const auto& row : rows) {
        auto& texts = out.rows.emplace_back();
        texts.reserve(row.size());
        for (const jet::Value& v : row) {
            // Text fields, nearly all of them, are trimmed straight from the
            // stored text: one copy per cell on a list of many thousands.
            if (const std::string* t = v.textIf())
                texts.push_back(qtmv::Trim(*t));
            else
                texts.push_back(v.trimmed());
        }
    }
}

} // namespace

LookupRows LoadLookup(const std::string& connectionString, const LookupQuery& query)
{
    jet::Connection conn;
    conn.open(connectionString);
    LookupRows out;
    jet::Recordset rs;
    rs.open(query.filtered, conn);
    ReadInto(rs, out);
    rs.close();
    if (out.rows.empty() && !query.unfiltered.empty()) {
        rs.open(query.unfiltered, conn);
        ReadInto(rs, out);
        out.fellBack = true;
    }
    return out;
}

} // namespace qtmv::lookups
