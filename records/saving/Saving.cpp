#include "records/saving/Saving.h"
#include "records/saving/SaveRun.h"

#include "app/core/Rights.h"
#include "app/core/Session.h"
#include "platform/text/Big5.h"
#include "common/RocDate.h"
#include "records/core/GridLayout.h"
#include "records/saving/ChangeHistory.h"
#include "records/saving/EditRules.h"
#include "records/saving/KeyedRows.h"
#include "records/saving/SaveSupport.h"
#include "records/saving/WriteBack.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"
#include "common/Failure.h"
#include "platform/os/MessageBox.h"
#include "platform/text/Text.h"

#include <cstdlib>
#include <exception>
#include <initializer_list>
#include <map>
#include <optional>

namespace qtmv::daily {

using namespace detail;

namespace {

constexpr const char* kSaveTitle = "儲存資料";
constexpr const char* kWriteBackTitle = "回存工單";

// A count as the printing line stores it: the grid's thousands format
// undone ("1,234" is "1234") and a blank cell, which the grid shows for 0,
// as "0" (the columns are numeric).
std::string CountText(std::string_view text)
{
    std::string out;
    for (char c : qtmv::Trim(text))
        if (c != ',')
            out.push_back(c);
    return out.empty() ? "0" : out;
}

// The writes of the loaded rows, one row at a time. The pieces, their
// detail rows and lines a write compares with are read once for all
// flagged rows, and kept as written. With `dryRun`, nothing is written:
// whether a write's rows are there is all that decides what the summary
// lists, and the finish dates the save would give its pieces go to
// *dryRun for the write-back's preview.
class RowWriter {
public:
    RowWriter(jet::Connection& conn, const ProcessKind& kind, const GridLayout& layout, const GridRows& rows,
              const LoadedTexts& loaded, const ChangeFlags& flags, const Clock& clock, SaveSummary* summary,
              PieceFinishes* dryRun = nullptr)
        : conn_(conn), kind_(kind), layout_(layout), rows_(rows), loaded_(loaded), flags_(flags), clock_(clock),
          summary_(summary), dryRun_(dryRun), detail_(kind.detailTable), scheduled_(kind.scheduledTable),
          spaced_(kind.spacedName)
    {
    }

    void write(int row)
    {
        row_ = row;
        written_ = 0;
        detailKey_ = "where ID = '" + Q(qtmv::Trim(text(layout_.idCol))) + "' and INO = " + Num(text(layout_.inoCol)) +
                     " and KIND = '" + Q(spaced_) + "' ";
        lineKey_ = "where PO = '" + Q(qtmv::Trim(text(kWorkOrderCol))) + "' and [NO] = " + Num(text(kLineCol));

        if (flagged(layout_.remarkCol))
            writePieceField("REM", "REM", layout_.remarkCol);
        if (flagged(layout_.finishDateCol))
            writePieceField("FDATE", "PDATE", layout_.finishDateCol);
        if (flagged(layout_.finishRemarkCol)) {
            const std::string v = qtmv::Trim(text(layout_.finishRemarkCol));
            const bool piece = writePieceField("完工說明", "完工說明", layout_.finishRemarkCol, false);
            const bool line = setField(lines(), text(kWorkOrderCol), text(kLineCol), "完工說明", v);
            if (piece || line)
                record(layout_.finishRemarkCol, v);
        }
        if (kind_.is(KindId::Printing))
            writePrintingExtras();
        else if (kind_.is(KindId::DieCutting))
            writeDieCuttingExtras();
        if (summary_ && written_ > 0)
            ++summary_->pieces;
    }

    // Runs the updates set so far; before any other statement, and last.
    void flush()
    {
        conn_.executeAll(pending_);
        pending_.clear();
    }

private:
    const std::string& text(int col) const { return CellAt(rows_, row_, col); }
    bool flagged(int col) const { return col > 0 && flags_.isFlagged(row_, col); }
    int col(std::string_view heading, int nth = 1) const { return layout_.column(heading, nth); }
    std::string value(std::string_view heading, int nth = 1) const
    {
        return Q(qtmv::Trim(text(col(heading, nth))));
    }

    // EditSingleRow, or in a dry run whether it would find its one row.
    template <class Change>
    bool edit(const std::string& sql, Change&& change)
    {
        flush();
        if (!dryRun_)
            return EditSingleRow(conn_, sql, std::forward<Change>(change));
        jet::Recordset rs;
        rs.open(sql, conn_);
        return rs.recordCount() == 1;
    }
    // The update of the row's work-order line in a table keyed by the line
    // (all its rows): their count, or in a dry run the count it would change.
    long long updateLine(const std::string& table, const std::string& set)
    {
        flush();
        if (!dryRun_)
            return conn_.execute("update " + table + " set " + set + " " + lineKey_);
        // The kind's own line table is read once, with the fields the cells need.
        KeyedRows& rows = table == "[" + detail_ + "]" ? lines() : byLine(table, {});
        return static_cast<long long>(rows.rows(text(kWorkOrderCol), text(kLineCol)).size());
    }

    // The tables the row's writes look at, each read once for every flagged
    // row: a save of many cells would otherwise read them cell by cell.
    KeyedRows& keyed(const std::string& name, KeyedRows::Query query, int textCol, int numberCol)
    {
        auto it = tables_.find(name);
        if (it == tables_.end()) {
            flush();   // read after what is written
            std::vector<std::pair<std::string, std::string>> keys;
            for (int r = 1; r <= static_cast<int>(rows_.size()); ++r)
                if (flags_.rowFlagged(r))
                    keys.emplace_back(CellAt(rows_, r, textCol), CellAt(rows_, r, numberCol));
            it = tables_.emplace(name, KeyedRows(conn_, std::move(query), keys)).first;
        }
        return it->second;
    }
    KeyedRows& byLine(const std::string& table, std::vector<std::string> fields)
    {
        std::string name = table;
        for (const std::string& f : fields)
            name += " " + f;
        return keyed(name, {table, "PO", "[NO]", std::move(fields), "", ""}, kWorkOrderCol, kLineCol);
    }
    KeyedRows& pieces()
    {
        return keyed("pieces", {"[" + scheduled_ + "]", "ID", "INO", {"REM", "FDATE", "完工說明"}, "", ""},
                     layout_.idCol, layout_.inoCol);
    }
    KeyedRows& details()
    {
        return keyed("details",
                     {"預排資料明細", "ID", "INO", {"REM", "PDATE", "完工說明"}, "KIND = '" + Q(spaced_) + "'", ""},
                     layout_.idCol, layout_.inoCol);
    }
    KeyedRows& lines() { return byLine("[" + detail_ + "]", {"完工說明"}); }

    // Sets one text field of the key's row when the table has exactly one
    // (a locator's rule: none or several leave the table alone), writing
    // only a value that differs; a dry run writes nothing. True when the
    // row is there.
    bool setField(KeyedRows& table, const std::string& textCell, const std::string& numberCell,
                  const std::string& field, const std::string& v)
    {
        if (!table.only(textCell, numberCell))
            return false;
        table.set(textCell, numberCell, {{field, v}}, dryRun_ ? nullptr : &pending_);
        if (pending_.size() >= kWritesAtOnce)
            flush();
        return true;
    }

    // The history row of a written cell: the value as loaded, the value written.
    void record(int c, std::string written)
    {
        ++written_;
        if (!summary_)
            return;
        summary_->history.push_back({qtmv::Trim(text(layout_.idCol)),
                                     static_cast<long long>(qtmv::Val(text(layout_.inoCol))), qtmv::Trim(text(kWorkOrderCol)),
                                     static_cast<long long>(qtmv::Val(text(kLineCol))), layout_.heading(c),
                                     qtmv::Trim(loaded_.at(row_, c)), std::move(written)});
    }

    // One field of the piece in the scheduled table and its counterpart in
    // 預排資料明細. A piece missing from either table leaves that table alone.
    // True when either table has the piece.
    bool writePieceField(const std::string& scheduledField, const std::string& detailField, int c,
                         bool recordIt = true)
    {
        const std::string v = qtmv::Trim(text(c));
        const std::string& id = text(layout_.idCol);
        const std::string& ino = text(layout_.inoCol);
        const bool scheduled = setField(pieces(), id, ino, scheduledField, v);
        const bool detail = setField(details(), id, ino, detailField, v);
        if (dryRun_ && scheduled && scheduledField == "FDATE")
            (*dryRun_)[PieceOf(text(layout_.idCol), text(layout_.inoCol))] = v;
        if (recordIt && (scheduled || detail))
            record(c, v);
        return scheduled || detail;
    }

    // The set list of the flagged ones among (field, heading, nth) cells;
    // empty when none is flagged. Only flagged fields are written, so a
    // field another workstation changed since this grid was loaded keeps
    // that change unless the user here changed it too.
    struct FieldCell {
        const char* field;
        const char* heading;
        int nth;
    };
    struct SetList {
        std::string set;
        std::vector<std::pair<int, std::string>> cells;   // column, value written
        bool empty() const { return set.empty(); }
    };
    template <class Format>
    SetList flaggedSetList(std::initializer_list<FieldCell> cells, Format format) const
    {
        SetList out;
        for (const FieldCell& f : cells) {
            const int c = col(f.heading, f.nth);
            if (!flagged(c))
                continue;
            std::string v = format(text(c));
            out.set += (out.set.empty() ? "" : ", ") + std::string(f.field) + " ='" + Q(v) + "'";
            out.cells.emplace_back(c, std::move(v));
        }
        return out;
    }
    // Records the list's cells when its statements changed a row.
    void recordWhen(long long affected, const SetList& list)
    {
        if (affected > 0)
            for (const auto& [c, v] : list.cells)
                record(c, v);
    }

    void writePrintingExtras()
    {
        // The colour counts live on the work-order line (PRINTING) and on its
        // scheduled pieces (PRINTING_S), which is what the grid loads: both
        // are written so the next load shows what was saved.
        const SetList counts = flaggedSetList({{"COLOR1", "正", 1}, {"COLOR2", "反", 1}, {"[COUNT]", "計", 1}},
                                              [](const std::string& t) { return CountText(t); });
        if (!counts.empty()) {
            long long n = updateLine("[PRINTING]", counts.set);
            n += updateLine("[PRINTING_S]", counts.set);
            if (!dryRun_)   // not listed: a dry run need not count it
                conn_.execute("update 預排資料明細 set [DESC] ='" + value("項目") + "' " + detailKey_);
            recordWhen(n, counts);
        }
        const SetList form = flaggedSetList({{"表格", "表格", 1}}, [](const std::string& t) { return qtmv::Trim(t); });
        if (!form.empty()) {
            long long n = updateLine("[PRINTING]", form.set);
            n += updateLine("[PRINTING_S]", form.set);
            recordWhen(n, form);
        }
    }

    void writeDieCuttingExtras()
    {
        const auto asIs = [](const std::string& t) { return qtmv::Trim(t); };
        const SetList store = flaggedSetList({{"新舊刀", "新舊刀", 1}, {"儲位", "儲位", 1}}, asIs);
        const SetList marks = flaggedSetList({{"留", "留", 1}, {"紙", "紙", 1}, {"刀", "刀", 1}}, asIs);
        const int dieFlag = col("刀", 2);
        if (store.empty() && marks.empty() && !flagged(dieFlag))
            return;
        long long stored = 0, marked = 0;
        for (const char* table : {"[CROWD]", "[CROWD_S]"}) {
            const std::string t = table;
            if (!store.empty())
                stored += updateLine(t, store.set);
            if (!marks.empty())
                marked += updateLine(t, marks.set);
        }
        recordWhen(stored, store);
        recordWhen(marked, marks);
        // The die-making line and its die order follow the die flag; a stamp
        // already there is the day the die was made and stays. The flag is
        // the KNIFE line's finish as loaded, so an empty one only says the die
        // was not made at loading time: the two are cleared only when the
        // user cleared the flag itself, never because of another die cell,
        // which would undo a die finished since by another workstation.
        const bool made = qtmv::Trim(text(dieFlag)) == "V";
        if (!made && !flagged(dieFlag))
            return;
        const std::string stamp = FinishStamp(clock_);
        auto follow = [&](const std::string& field) {
            return [&, field](jet::Recordset& rs) {
                if (made)
                    return rs.text(field).empty() && SetText(rs, field, stamp);
                return SetText(rs, field, "");
            };
        };
        const bool knife = edit("select PO, [NO], FDATE from [KNIFE] " + lineKey_, follow("FDATE"));
        const bool order =
            edit("select PO, [NO], [KIND], ODATE from [VENDERAC] " + lineKey_ + " and [KIND] = '刀 模' ", follow("ODATE"));
        if (flagged(dieFlag) && (knife || order))
            record(dieFlag, qtmv::Trim(text(dieFlag)));
    }

    jet::Connection& conn_;
    const ProcessKind& kind_;
    const GridLayout& layout_;
    const GridRows& rows_;
    const LoadedTexts& loaded_;
    const ChangeFlags& flags_;
    const Clock& clock_;
    SaveSummary* summary_;
    PieceFinishes* dryRun_;
    const std::string detail_, scheduled_, spaced_;
    int row_ = 0;
    int written_ = 0;   // cells of the current row written
    std::string detailKey_, lineKey_;
    std::map<std::string, KeyedRows> tables_;
    std::vector<std::string> pending_;   // updates not run yet, in order
};

bool LoadedRow(const GridRows& rows, const GridLayout& layout, int row)
{
    return !qtmv::Trim(CellAt(rows, row, kWorkOrderCol)).empty() || !qtmv::Trim(CellAt(rows, row, layout.idCol)).empty();
}

// The work-order lines the flagged cells write: each row's writes (its
// pieces, its line and the line's rows in other tables) belong to the line.
std::vector<std::string> FlaggedLineClaims(const ProcessKind& kind, const GridRows& rows, const ChangeFlags& flags)
{
    const GridLayout& layout = GridLayoutOf(kind);
    std::vector<std::string> claims;
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r)
        if (flags.rowFlagged(r) && LoadedRow(rows, layout, r))
            claims.push_back(LineClaim(CellAt(rows, r, kWorkOrderCol), qtmv::Val(CellAt(rows, r, kLineCol))));
    return claims;
}

} // namespace


CellRefusal FirstRefusedCell(const ProcessKind& kind, const GridRows& rows, const ChangeFlags& flags)
{
    const GridLayout& layout = GridLayoutOf(kind);
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
        if (!flags.rowFlagged(r))
            continue;
        for (int c = 1; c <= layout.columnCount(); ++c)
            if (flags.isFlagged(r, c))
                if (auto problem = CellProblem(layout, c, CellAt(rows, r, c)))
                    return {r, c, std::move(*problem)};
    }
    return {};
}

namespace {

void WriteCells(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows, const ChangeFlags& flags,
                const Clock& clock, SaveSummary* summary, const LoadedTexts* loaded, PieceFinishes* dryRun)
{
    static const LoadedTexts none;
    const GridLayout& layout = GridLayoutOf(kind);
    RowWriter writer(conn, kind, layout, rows, loaded ? *loaded : none, flags, clock, summary, dryRun);
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r)
        if (flags.rowFlagged(r) && LoadedRow(rows, layout, r))
            writer.write(r);
    writer.flush();
}

} // namespace

void WriteFlaggedCells(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows,
                       const ChangeFlags& flags, const Clock& clock, SaveSummary* summary, const LoadedTexts* loaded)
{
    WriteCells(conn, kind, rows, flags, clock, summary, loaded, nullptr);
}

SaveSummary WriteSave(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows, const LoadedTexts& loaded,
                      const ChangeFlags& flags, const Clock& clock, const HistoryAuthor& author,
                      std::exception_ptr* writeBackFailure, const std::vector<int>* asked)
{
    SaveSummary summary;
    const std::vector<int> walk = asked ? *asked : LinesToWalk(conn, kind, rows, &flags);
    std::vector<std::string> claims = FlaggedLineClaims(kind, rows, flags);
    const std::vector<std::string> walked = WalkClaims(rows, walk);
    claims.insert(claims.end(), walked.begin(), walked.end());
    conn.claim(claims);
    WriteFlaggedCells(conn, kind, rows, flags, clock, &summary, &loaded);
    WriteHistory(conn, kind, summary.history, author);
    try {
        jet::Transaction writeBack(conn);
        SaveSummary lines;
        WalkLines(conn, kind, rows, walk, clock, &lines);
        writeBack.commit();
        summary.closed = std::move(lines.closed);
        summary.reopened = std::move(lines.reopened);
        summary.ordersDated = lines.ordersDated;
        summary.paperArrived = std::move(lines.paperArrived);
        summary.flowStamps = std::move(lines.flowStamps);
    } catch (const jet::Error& e) {
        // A collision the server cancelled runs the whole save again; a
        // transaction the engine ended itself has lost the save's writes too.
        if (!writeBackFailure || e.kind() == jet::Error::Kind::Conflict || !conn.inTransaction())
            throw;
        *writeBackFailure = std::current_exception();
    }
    return summary;
}

SaveSummary PreviewSave(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows,
                        const LoadedTexts& loaded, const ChangeFlags& flags, const Clock& clock,
                        std::vector<int>* walked)
{
    // One view of the database, read alone: the question takes no write
    // lock on a file and claims nothing on a server.
    jet::Transaction view(conn, jet::Writes::None);
    SaveSummary summary;
    PieceFinishes finishes;
    const std::vector<int> walk = LinesToWalk(conn, kind, rows, &flags);
    WriteCells(conn, kind, rows, flags, clock, &summary, &loaded, &finishes);
    PreviewWalk(conn, kind, rows, walk, clock, finishes, summary);
    if (walked)
        *walked = walk;
    return summary;
}

SaveOutcome SaveDailyReport(const ProcessKind& kind, const GridRows& rows, const ChangeFlags& flags,
                            SaveContext& ctx, const LoadedTexts& loaded)
{
    // The loop reads this copy, whatever the grid does meanwhile.
    const GridRows values = rows;
    const LoadedTexts before = loaded;
    const ChangeFlags marks = flags;

    CellRefusal refused;
    SaveSummary done;
    std::exception_ptr writeBackFailure;
    SaveSteps steps;
    steps.failureOutcome = "資料沒有儲存，畫面上輸入的資料都還在。";
    steps.check = [&] {
        refused = FirstRefusedCell(kind, values, marks);
        return refused.message;
    };
    // The question lists what the save and the write-back would do now,
    // worked out from the database as it is; when that fails the user is
    // told and still decides. The save's write-back walks the lines the
    // list was worked out for: finding them reads over the kind's open
    // pieces, and a line that drifts in the moment the user answers is
    // repaired by the next save that walks it.
    std::optional<std::vector<int>> asked;
    steps.question = [&](jet::Connection& conn) {
        std::string question = "確定儲存資料?";
        try {
            std::vector<int> walk;
            const SaveSummary preview = PreviewSave(conn, kind, values, before, marks, ctx.clock, &walk);
            asked = std::move(walk);
            question += "\n\n" + SummaryText(preview);
        } catch (const std::exception& e) {
            // Told as any failure is: the engine's words and the SQL go to the log.
            question += "\n\n無法預先算出這次儲存的內容：" + LogFailure(kSaveTitle, e);
        }
        return question;
    };
    // The save and its write-back are one transaction (the write-back
    // nested in it), so a workstation takes the write path once for them;
    // on a server it holds only what it claims, and the server may cancel
    // it when it collides with another workstation's: it then runs again
    // whole (it keeps nothing between attempts).
    steps.writes = jet::Writes::Claimed;
    steps.retryOnConflict = true;
    steps.afterCommit = [&](jet::Connection&) -> Notice {
        if (writeBackFailure) {
            try {
                std::rethrow_exception(writeBackFailure);
            } catch (const std::exception& e) {
                return {LogFailure(kWriteBackTitle, e, "日報資料已經儲存，但工單沒有回存；下次儲存時會再回存。"),
                        kWriteBackTitle, MsgIcon::Critical};
            }
        }
        return {"資料儲存完畢!\n\n" + SummaryText(done), "資料儲存", MsgIcon::Information};
    };
    SaveOutcome out;
    out.result = RunSave(
        ctx, kSaveTitle,
        [&](jet::Connection& conn) {
            writeBackFailure = nullptr;
            done = WriteSave(conn, kind, values, before, marks, ctx.clock, HistoryAuthorOf(ctx.session, ctx.clock),
                             &writeBackFailure, asked ? &*asked : nullptr);
        },
        steps);
    out.writtenBack = out.result.saved() && !writeBackFailure;
    if (out.result.why == Refusal::Invalid) {
        out.row = refused.row;
        out.col = refused.col;
    }
    return out;
}

} // namespace qtmv::daily
