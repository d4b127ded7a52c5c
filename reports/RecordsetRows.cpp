#include "reports/RecordsetRows.h"

#include "platform/jet/Recordset.h"
#include "platform/jet/Value.h"

namespace qtmv::reports {

namespace {

report::Value ReportValue(const jet::Value& v)
{
    if (const std::string* t = v.textIf())
        return report::Value(*t);
    if (const std::int64_t* i = v.integerIf())
        return report::Value(static_cast<long long>(*i));
    if (const double* r = v.realIf())
        return report::Value(*r);
    return report::Value();
}

} // namespace

report::DataTable TableOf(const jet::Recordset& rs)
{
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(rs.fieldCount()));
    for (int i = 0; i < rs.fieldCount(); ++i)
        names.push_back(rs.fieldName(i));
    report::DataTable t(std::move(names));
    t.reserve(rs.rows().size());
    for (const std::vector<jet::Value>& row : rs.rows()) {
        std::vector<report::Value> values;
        values.reserve(row.size());
        for (const jet::Value& v : row)
            values.push_back(ReportValue(v));
        t.addRow(std::move(values));
    }
    return t;
}

} // namespace qtmv::reports
