#include "platform/jet/TextRows.h"

#include "platform/jet/Backend.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"

namespace jet {

namespace {

// An engine that runs one statement at a time: each when its turn comes.
class StatementByStatement final : public CursorSeries {
public:
    StatementByStatement(Backend& backend, std::vector<std::string> sqls, std::vector<std::string> contexts)
        : backend_(backend), sqls_(std::move(sqls)), contexts_(std::move(contexts))
    {
    }
    std::unique_ptr<Cursor> next() override
    {
        const std::size_t i = next_++;
        return backend_.query(sqls_.at(i), contexts_.at(i));
    }

private:
    Backend& backend_;
    std::vector<std::string> sqls_, contexts_;
    std::size_t next_ = 0;
};

} // namespace

std::unique_ptr<CursorSeries> Backend::querySeries(std::vector<std::string> sqls, std::vector<std::string> contexts)
{
    return std::make_unique<StatementByStatement>(*this, std::move(sqls), std::move(contexts));
}

void Backend::executeAll(std::vector<std::string> sqls, std::vector<std::string> contexts)
{
    for (std::size_t i = 0; i < sqls.size(); ++i)
        execute(sqls[i], contexts[i]);
}

TextRows::TextRows(Connection& conn, const std::string& jetSql) : backend_(conn.backend())
{
    cursor_ = backend_->query(Translate(jetSql, backend_->dialect()), jetSql);
}

TextRows::TextRows(std::shared_ptr<Backend> backend, std::unique_ptr<Cursor> cursor)
    : backend_(std::move(backend)), cursor_(std::move(cursor))
{
}

TextRows::~TextRows() = default;
TextRows::TextRows(TextRows&&) noexcept = default;

int TextRows::fieldCount() const { return static_cast<int>(cursor_->columns().size()); }

bool TextRows::next(std::vector<std::string>& row, std::size_t width)
{
    if (!cursor_->next())
        return false;
    cursor_->readTexts(row, width);
    return true;
}

TextRowsSeries::TextRowsSeries(Connection& conn, const std::vector<std::string>& jetSqls)
    : backend_(conn.backend()), left_(jetSqls.size())
{
    std::vector<std::string> sqls;
    for (const std::string& s : jetSqls)
        sqls.push_back(Translate(s, backend_->dialect()));
    series_ = backend_->querySeries(std::move(sqls), jetSqls);
}

TextRowsSeries::~TextRowsSeries() = default;

TextRows TextRowsSeries::next()
{
    if (left_ == 0)
        throw Error(Error::Kind::Usage, "這組查詢已經沒有下一個陳述式。");
    --left_;
    return TextRows(backend_, series_->next());
}

} // namespace jet
