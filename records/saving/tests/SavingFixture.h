#pragma once
// A fresh database with a customer, short hands for seeding work orders and
// pieces, the session that points at it and the grid rows the loader shows
// for a kind; plain SQLite access reads back what a save left.
#include "app/core/Session.h"
#include "common/Clock.h"
#include "common/ProcessKind.h"
#include "records/core/ChangeFlags.h"
#include "records/core/GridLayout.h"
#include "records/core/GridLoader.h"
#include "records/saving/EditRules.h"
#include "records/saving/Saving.h"
#include "db/testing/FreshDatabase.h"
#include "platform/os/MessageBox.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace qtmv::daily::test {

using qtmv::db::test::FreshDatabase;

inline const ProcessKind& KindNamed(const char* displayName) { return *KindByDisplayName(displayName); }

// The grid row (1-based) of a piece; 0 when it is not listed.
inline int RowOf(const GridRows& rows, const ProcessKind& k, const std::string& id, int ino)
{
    const GridLayout& l = GridLayoutOf(k);
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (rows[r][static_cast<std::size_t>(l.idCol - 1)] == id &&
            rows[r][static_cast<std::size_t>(l.inoCol - 1)] == std::to_string(ino))
            return static_cast<int>(r) + 1;
    return 0;
}

// The cell at grid row r, column c (both from 1).
template <class Rows>
auto& CellAt(Rows& rows, int r, int c)
{
    return rows.at(static_cast<std::size_t>(r - 1)).at(static_cast<std::size_t>(c - 1));
}

inline void SetCell(GridRows& rows, ChangeFlags& flags, int row, int col, const std::string& text)
{
    CellAt(rows, row, col) = text;
    flags.set(row, col);
}

// A click on a cell of a row, applied as the window applies it.
inline void ApplyClick(const GridLayout& l, GridRows& rows, ChangeFlags& flags, int r, int c, const Clock& clock)
{
    const RowText rowText = [&](int col) { return CellAt(rows, r, col); };
    for (const CellChange& ch : CellClick(l, r, c, rowText, clock).changes)
        SetCell(rows, flags, r, ch.col, ch.text);
}

inline ChangeFlags FlagsFor(const ProcessKind& k, const GridRows& rows)
{
    return ChangeFlags(GridLayoutOf(k).columnCount(), static_cast<int>(rows.size()));
}

// Loaded rows to edit, with nothing flagged yet.
inline std::pair<GridRows, ChangeFlags> Editable(const ProcessKind& k, GridRows rows)
{
    ChangeFlags flags = FlagsFor(k, rows);
    return {std::move(rows), std::move(flags)};
}

// The messages of saves running on several threads, questions answered Yes.
class SharedMessages {
public:
    SharedMessages()
        : old_(SetMessageHandler([this](const MessageRequest& r) {
              const std::lock_guard lock(m_);
              shown_.push_back(r);
              return r.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
          }))
    {
    }
    ~SharedMessages() { SetMessageHandler(old_); }
    // What a save shows when something went wrong: a warning, an error, or
    // a question without the list of what the save does.
    std::vector<std::string> troubles()
    {
        const std::lock_guard lock(m_);
        std::vector<std::string> out;
        for (const MessageRequest& r : shown_)
            if (r.icon == MsgIcon::Critical || r.icon == MsgIcon::Exclamation
                || r.text.find("無法預先算出") != std::string::npos)
                out.push_back(r.text);
        return out;
    }

private:
    std::mutex m_;
    std::vector<MessageRequest> shown_;
    MessageHandler old_;
};

class SavingFixture : public ::testing::Test {
protected:
    SavingFixture()
    {
        session_.IdentityEstablished = session_.RightsEstablished = true;
        db_.exec("insert into CUST (ID, SNAME) values ('C01', '大同紙器')");
    }

    // Saves as the window does, with the fixture's session and clock.
    SaveOutcome save(const ProcessKind& k, const GridRows& rows, const ChangeFlags& flags)
    {
        SaveContext ctx{session_, clock_, [this] { ++programEnded_; }};
        return SaveDailyReport(k, rows, flags, ctx, rows);
    }

    FreshDatabase& db() { return db_; }

    // A work order with its process-flow record.
    void workOrder(const std::string& po)
    {
        db_.exec("insert into PWORK (PO, CUST, [DESC]) values ('" + po + "', 'C01', '月曆')");
        db_.exec("insert into PRINTFLOW (PO) values ('" + po + "')");
    }
    // A work-order line of the kind.
    void line(const ProcessKind& k, const std::string& po, int no)
    {
        db_.exec("insert into [" + std::string(k.detailTable) + "] (PO, [NO]) values ('" + po + "', " +
                  std::to_string(no) + ")");
    }
    // A scheduled piece in the scheduled table and in 預排資料明細.
    void piece(const ProcessKind& k, const std::string& id, int ino, const std::string& po, int no,
               const std::string& fdate = "", const std::string& order = "1")
    {
        db_.exec("insert or ignore into 預排資料 (ID) values ('" + id + "')");
        db_.exec("insert into [" + std::string(k.scheduledTable) + "] (ID, INO, PO, [NO], FDATE, 順序) values ('" +
                  id + "', " + std::to_string(ino) + ", '" + po + "', " + std::to_string(no) + ", '" + fdate +
                  "', '" + order + "')");
        db_.exec("insert into 預排資料明細 (ID, INO, KIND, PO, [NO], PDATE) values ('" + id + "', " +
                  std::to_string(ino) + ", '" + std::string(k.spacedName) + "', '" + po + "', " +
                  std::to_string(no) + ", '" + fdate + "')");
    }

    // Work order W1 with a line of the kind that two pieces, D1 and D2, work on.
    void sharedLine(const ProcessKind& k)
    {
        workOrder("W1");
        line(k, "W1", 1);
        piece(k, "D1", 1, "W1", 1);
        piece(k, "D2", 1, "W1", 1);
    }

    GridRows load(const ProcessKind& k) { return LoadGrid(session_.ConnectionString, k, "", SortOption::WorkOrder); }

    std::string dump() { return db_.contents(); }
    std::string value(const std::string& sql) { return db_.value(sql); }

    FreshDatabase db_;
    Session& session_ = db_.session();
    FixedClock clock_{{2024, 12, 4, 14, 5, 0}};
    int programEnded_ = 0;
};

} // namespace qtmv::daily::test
