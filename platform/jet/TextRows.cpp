#include "platform/jet/TextRows.h"

#include "platform/jet/Backend.h"
#include "platform/jet/Connection.h"

namespace jet {

TextRows::TextRows(Connection& conn, const std::string& jetSql) : backend_(conn.backend())
{
    cursor_ = backend_->query(Translate(jetSql, backend_->dialect()), jetSql);
}

TextRows::~TextRows() = default;

int TextRows::fieldCount() const { return static_cast<int>(cursor_->columns().size()); }

bool TextRows::next(std::vector<std::string>& row, std::size_t width)
{
    if (!cursor_->next())
        return false;
    cursor_->readTexts(row, width);
    return true;
}

} // namespace jet
