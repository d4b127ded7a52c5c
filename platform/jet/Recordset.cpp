#include "platform/jet/Recordset.h"

#include "platform/jet/Backend.h"
#include "platform/jet/Translator.h"
#include "platform/text/Text.h"

#include <unordered_map>

namespace jet {

namespace {


// A field name as callers may write it: "[NO]", "PWORK.[DESC]".
std::string LookupKey(const std::string& name)
{
    if (name.find('[') == std::string::npos)
        return qtmv::AsciiLower(name);
    std::string s;
    for (const char c : name)
        if (c != '[' && c != ']')
            s += c;
    return qtmv::AsciiLower(s);
}

[[noreturn]] void Usage(const std::string& what) { throw Error(Error::Kind::Usage, what); }

} // namespace

struct Recordset::Impl {
    enum class Mode { None, Edit, Add };

    std::shared_ptr<Backend> backend;
    std::unique_ptr<Cursor> cursor;          // rows still to come (server-side forward-only)
    long long passed = 0;                    // forward-only: rows read and dropped before rows[0]
    std::vector<ColumnInfo> columns;
    std::vector<std::string> names;
    std::unordered_map<std::string, int> byName; // lower-case name -> first field of that name
    std::vector<std::vector<Value>> rows;    // forward-only: only the current row
    std::vector<Value> rowIds;               // editing: row identity of each row
    long long pos = 0;                       // -1 before the first row, rows.size() after the last
    long long affected = -1;
    bool open = false;
    bool forwardOnly = false;
    bool editable = false;
    std::string table;
    std::string notEditable;
    Mode mode = Mode::None;
    std::vector<Value> pending;
    std::vector<char> changed;

    long long size() const { return static_cast<long long>(rows.size()); }
    bool hasCurrent() const { return pos >= 0 && pos < size(); }

    void requireOpen() const
    {
        if (!open)
            Usage("資料集沒有開啟，無法進行此操作。");
    }
    void requireCurrent() const
    {
        if (!hasCurrent())
            Usage("BOF 或 EOF 為 True，目前沒有資料列，無法讀取或修改欄位。");
    }
    void requireEditable() const
    {
        if (!editable)
            Usage(notEditable.empty() ? "資料集是以唯讀方式開啟的，不能修改資料。" : notEditable);
    }

    void fetchNext()
    {
        if (!cursor)
            return;
        if (cursor->next()) {
            // One row at a time, read into the previous row's values.
            if (rows.empty()) {
                rows.emplace_back();
            } else {
                ++passed;
                pos = 0;
            }
            cursor->read(rows.front(), 0);
        } else {
            cursor.reset(); // statement finished, back to the cache
        }
    }

    void nameFields()
    {
        const std::size_t n = columns.size();
        names.resize(n);
        std::unordered_map<std::string, int> count;
        for (const ColumnInfo& c : columns)
            ++count[qtmv::AsciiLower(c.name)];
        for (std::size_t i = 0; i < n; ++i) {
            const ColumnInfo& c = columns[i];
            names[i] = count[qtmv::AsciiLower(c.name)] > 1 && !c.table.empty() ? c.table + "." + c.name : c.name;
            byName.emplace(qtmv::AsciiLower(names[i]), static_cast<int>(i));
        }
    }

    Error rowChanged(const std::vector<FieldChange>& changes)
    {
        const std::string where = "（資料表「" + table + "」）";
        auto c = backend->readRow(table, rowIds[static_cast<std::size_t>(pos)]);
        if (!c->next())
            return Error(Error::Kind::RowChanged,
                         "無法更新資料：這筆資料在讀取之後已被其他使用者刪除" + where + "。請重新查詢後再試。");
        std::vector<Value> stored;
        c->read(stored);
        const auto& cols = c->columns();
        std::string fields;
        for (const FieldChange& ch : changes)
            for (std::size_t j = 0; j < cols.size(); ++j)
                if (qtmv::AsciiLower(cols[j].name) == qtmv::AsciiLower(ch.column) && !(stored[j] == ch.before))
                    fields += (fields.empty() ? "" : "、") + ch.column;
        return Error(Error::Kind::RowChanged, "無法更新資料：這筆資料在讀取之後已被其他使用者修改（資料表「" + table
                                                  + "」" + (fields.empty() ? "" : "，欄位 " + fields)
                                                  + "）。請重新查詢後再試。");
    }
};

Recordset::Recordset() : d_(std::make_unique<Impl>()) {}
Recordset::~Recordset() = default;

void Recordset::open(const std::string& jetSql, Connection& conn, CursorLocation location, CursorType cursor,
                     LockType lock)
{
    if (d_->open)
        Usage("資料集已經開啟，請先關閉。");
    auto fresh = std::make_unique<Impl>();
    Impl& d = *fresh;
    d.backend = conn.backend();
    const Dialect dialect = d.backend->dialect();

    const bool wantsEdit = lock == LockType::Optimistic;
    const bool lazy = !wantsEdit && location == CursorLocation::Server && cursor == CursorType::ForwardOnly;
    std::unique_ptr<Cursor> c;
    int first = 0;
    if (wantsEdit) {
        EditableSelect e = TranslateEditable(jetSql, dialect);
        if (e.notEditable.empty()) {
            try {
                c = d.backend->query(e.sql, jetSql);
            } catch (const Error& err) {
                if (err.kind() != Error::Kind::Syntax)
                    throw;
                // The plain select below reports a real mistake in the
                // statement; otherwise the source has no row identity.
            }
            // A saved query (view) has no row identity of its own.
            if (c && qtmv::AsciiLower(c->columns().front().table) == qtmv::AsciiLower(e.table)) {
                first = 1;
                d.editable = true;
                d.table = e.table;
            } else {
                c.reset();
                d.notEditable = "「" + e.table + "」不是資料表（可能是查詢），其資料無法編輯。";
            }
        } else {
            d.notEditable = e.notEditable;
        }
    }
    if (!c)
        c = d.backend->query(Translate(jetSql, dialect), jetSql);

    const auto& cols = c->columns();
    if (cols.empty()) {
        // A statement without result rows: run it, stay closed.
        while (c->next()) {
        }
        d_->affected = c->changes();
        return;
    }
    d.columns.assign(cols.begin() + first, cols.end());
    d.nameFields();
    if (lazy) {
        d.cursor = std::move(c);
        d.forwardOnly = true;
        d.fetchNext();
    } else {
        while (c->next()) {
            d.rows.emplace_back();
            c->read(d.rows.back(), first);
            if (first)
                d.rowIds.push_back(c->value(0));
        }
    }
    d.open = true;
    d_ = std::move(fresh);
}

void Recordset::close()
{
    d_ = std::make_unique<Impl>();
}

bool Recordset::isOpen() const { return d_->open; }

long long Recordset::recordsAffected() const { return d_->affected; }

long long Recordset::recordCount() const
{
    d_->requireOpen();
    return d_->forwardOnly ? -1 : d_->size();
}

bool Recordset::eof() const
{
    d_->requireOpen();
    return d_->pos >= d_->size();
}

bool Recordset::bof() const
{
    d_->requireOpen();
    return d_->pos < 0 || d_->rows.empty();
}

void Recordset::moveNext()
{
    Impl& d = *d_;
    d.requireOpen();
    update();
    if (d.pos >= d.size())
        Usage("EOF 為 True，已經沒有下一筆資料。");
    ++d.pos;
    if (d.pos == d.size())
        d.fetchNext();
}

void Recordset::moveFirst()
{
    Impl& d = *d_;
    d.requireOpen();
    if (d.forwardOnly)
        Usage("順向資料集只能往下一筆移動，不能回到第一筆。");
    update();
    d.pos = 0;
}

void Recordset::movePrevious()
{
    Impl& d = *d_;
    d.requireOpen();
    if (d.forwardOnly)
        Usage("順向資料集只能往下一筆移動，不能回到上一筆。");
    if (d.pos < 0 || d.rows.empty())
        Usage("BOF 為 True，已經沒有上一筆資料。");
    update();
    --d.pos;
}

void Recordset::moveLast()
{
    Impl& d = *d_;
    d.requireOpen();
    if (d.forwardOnly)
        Usage("順向資料集只能往下一筆移動，不能移到最後一筆。");
    update();
    d.pos = d.rows.empty() ? 0 : d.size() - 1;
}

long long Recordset::absolutePosition() const
{
    d_->requireOpen();
    return d_->hasCurrent() ? d_->passed + d_->pos : -1;
}

int Recordset::fieldCount() const { return static_cast<int>(d_->columns.size()); }

const std::string& Recordset::fieldName(int index) const
{
    if (index < 0 || index >= fieldCount())
        Usage("欄位編號 " + std::to_string(index) + " 超出範圍。");
    return d_->names[static_cast<std::size_t>(index)];
}

int Recordset::fieldIndex(const std::string& name) const
{
    const Impl& d = *d_;
    const std::string key = LookupKey(name);
    if (const auto it = d.byName.find(key); it != d.byName.end())
        return it->second;
    // "PWORK.PO" for a column named PO that comes from PWORK.
    const auto dot = key.rfind('.');
    if (dot == std::string::npos)
        return -1;
    const std::string table = key.substr(0, dot);
    const std::string column = key.substr(dot + 1);
    for (std::size_t i = 0; i < d.columns.size(); ++i)
        if (qtmv::AsciiLower(d.columns[i].table) == table && qtmv::AsciiLower(d.columns[i].name) == column)
            return static_cast<int>(i);
    const auto it = d.byName.find(column);
    return it != d.byName.end() ? it->second : -1;
}

const Value& Recordset::field(const std::string& name) const
{
    d_->requireOpen();
    const int i = fieldIndex(name);
    if (i < 0)
        Usage("資料集中沒有名為「" + name + "」的欄位。");
    return field(i);
}

const Value& Recordset::field(int index) const
{
    const Impl& d = *d_;
    d.requireOpen();
    if (index < 0 || index >= fieldCount())
        Usage("欄位編號 " + std::to_string(index) + " 超出範圍。");
    const auto i = static_cast<std::size_t>(index);
    if (d.mode != Impl::Mode::None)
        return d.pending[i];
    d.requireCurrent();
    return d.rows[static_cast<std::size_t>(d.pos)][i];
}

std::string Recordset::text(const std::string& name) const { return field(name).trimmed(); }

const std::vector<std::vector<Value>>& Recordset::rows() const { return d_->rows; }

void Recordset::addNew()
{
    Impl& d = *d_;
    d.requireOpen();
    d.requireEditable();
    update();
    d.mode = Impl::Mode::Add;
    d.pending.assign(d.columns.size(), Value());
    d.changed.assign(d.columns.size(), 0);
}

void Recordset::set(const std::string& name, Value v)
{
    Impl& d = *d_;
    d.requireOpen();
    d.requireEditable();
    const int i = fieldIndex(name);
    if (i < 0)
        Usage("資料集中沒有名為「" + name + "」的欄位。");
    const ColumnInfo& col = d.columns[static_cast<std::size_t>(i)];
    if (col.origin.empty() || qtmv::AsciiLower(col.table) != qtmv::AsciiLower(d.table))
        Usage("欄位「" + name + "」是計算出來的值，不能寫入。");
    if (d.mode == Impl::Mode::None) {
        d.requireCurrent();
        d.mode = Impl::Mode::Edit;
        d.pending = d.rows[static_cast<std::size_t>(d.pos)];
        d.changed.assign(d.columns.size(), 0);
    }
    d.pending[static_cast<std::size_t>(i)] = std::move(v);
    d.changed[static_cast<std::size_t>(i)] = 1;
}

void Recordset::update()
{
    Impl& d = *d_;
    d.requireOpen();
    if (d.mode == Impl::Mode::None)
        return;
    const std::size_t n = d.columns.size();
    if (d.mode == Impl::Mode::Edit) {
        std::vector<Value>& row = d.rows[static_cast<std::size_t>(d.pos)];
        std::vector<FieldChange> changes;
        for (std::size_t i = 0; i < n; ++i)
            if (d.changed[i])
                changes.push_back({d.columns[i].origin, row[i], d.pending[i]});
        if (!changes.empty() && !d.backend->updateRow(d.table, d.rowIds[static_cast<std::size_t>(d.pos)], changes))
            throw d.rowChanged(changes);
        for (std::size_t i = 0; i < n; ++i)
            if (d.changed[i])
                row[i] = d.pending[i];
    } else {
        std::vector<std::pair<std::string, Value>> fields;
        for (std::size_t i = 0; i < n; ++i)
            if (d.changed[i])
                fields.emplace_back(d.columns[i].origin, d.pending[i]);
        const Value id = d.backend->insertRow(d.table, fields);
        // Read the row back: the table's defaults fill the fields not set.
        std::vector<Value> row = d.pending;
        auto c = d.backend->readRow(d.table, id);
        if (c->next()) {
            std::vector<Value> stored;
            c->read(stored);
            const auto& cols = c->columns();
            for (std::size_t i = 0; i < n; ++i) {
                if (d.columns[i].origin.empty())
                    continue;
                const std::string want = qtmv::AsciiLower(d.columns[i].origin);
                for (std::size_t j = 0; j < cols.size(); ++j)
                    if (qtmv::AsciiLower(cols[j].name) == want) {
                        row[i] = stored[j];
                        break;
                    }
            }
        }
        d.rows.push_back(std::move(row));
        d.rowIds.push_back(id);
        d.pos = d.size() - 1;
    }
    d.mode = Impl::Mode::None;
    d.pending.clear();
    d.changed.clear();
}

void Recordset::cancelUpdate()
{
    Impl& d = *d_;
    d.requireOpen();
    d.mode = Impl::Mode::None;
    d.pending.clear();
    d.changed.clear();
}

} // namespace jet
