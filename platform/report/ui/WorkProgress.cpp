#include "WorkProgress.h"

#include <QProgressDialog>

namespace qtmv::report {

namespace {

// Work that ends sooner shows no dialog at all.
constexpr int kShowAfterMs = 500;

} // namespace

WorkProgress::WorkProgress(const QString& title, const QString& text, QWidget* parent)
    : dialog_(std::make_unique<QProgressDialog>(text, QStringLiteral("取消"), 0, 100, parent))
{
    dialog_->setObjectName(QStringLiteral("workProgress"));
    dialog_->setWindowTitle(title);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(kShowAfterMs);
    // Qt counts the time from the dialog's making and may show it then; the
    // work starts with its first step.
    dialog_->reset();
}

WorkProgress::~WorkProgress() = default;

Progress WorkProgress::progress()
{
    return [this](int done, int total) { return advance(done, total); };
}

bool WorkProgress::advance(int done, int total)
{
    if (total > 0) {
        const int percent = static_cast<int>(static_cast<long long>(done) * 100 / total);
        // The dialog takes its pressed 取消 (and shows itself when due)
        // only in setValue.
        if (percent != percent_) {
            percent_ = percent;
            dialog_->setValue(percent);
        }
    }
    return !dialog_->wasCanceled();
}

} // namespace qtmv::report
