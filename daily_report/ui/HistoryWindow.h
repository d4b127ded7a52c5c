#pragma once
// 日報異動紀錄: the change history of one piece (確認單號 ID, 序 INO) and
// of its work-order line (PO, [NO]) for a process kind, newest first: when,
// who, on which computer, the field, the old and the new value. Opened
// modally from the current row of a process grid; "列印" previews the list
// through the report engine.
#include "common/ProcessKind.h"
#include "records/saving/ChangeHistory.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

class frm日報異動紀錄 : public QDialog {
public:
    frm日報異動紀錄(const qtmv::ProcessKind& kind, std::string id, long long ino, std::string po, long long no,
                 QWidget* parent = nullptr);

    // Reads the history, then shows the window modally; QDialog::Rejected
    // without showing when it cannot be read (the user is told why).
    int exec() override;
    // "列印": the list as a report, in the preview.
    void print();

    const std::vector<qtmv::daily::HistoryEntry>& entries() const { return entries_; }
    // How a modal preview is shown; tests replace it.
    std::function<void(QDialog&)> runModal = [](QDialog& d) { d.exec(); };

    QLabel* lbl對象 = nullptr;
    QTableWidget* fml異動紀錄 = nullptr;
    QPushButton* scmd列印 = nullptr;
    QPushButton* ssc回前畫面 = nullptr;

private:
    bool load();

    const qtmv::ProcessKind& kind_;
    std::string id_;
    long long ino_;
    std::string po_;
    long long no_;
    std::vector<qtmv::daily::HistoryEntry> entries_;
};
