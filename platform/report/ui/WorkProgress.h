#pragma once
// What the user sees of a long layout or print: a modal progress dialog with
// 取消 that appears only once the work has gone on for a moment (short work
// shows nothing), moved by the engine's progress callback.
#include "platform/report/Report.h"

#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace qtmv::report {

class WorkProgress {
public:
    // title names the operation ("列印"), text says what is being done
    // ("排版中…").
    WorkProgress(const QString& title, const QString& text, QWidget* parent);
    ~WorkProgress();
    WorkProgress(const WorkProgress&) = delete;
    WorkProgress& operator=(const WorkProgress&) = delete;

    // The engine's progress while this lives: moves the bar and answers false
    // once 取消 has been pressed. The bar moves by whole percents, so that a
    // long document repaints it a hundred times, not once a row.
    Progress progress();

    QProgressDialog& dialog() { return *dialog_; }

private:
    bool advance(int done, int total);

    std::unique_ptr<QProgressDialog> dialog_;
    int percent_ = -1;
};

} // namespace qtmv::report
