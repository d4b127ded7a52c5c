#include "app/ui/MessageBoxHandler.h"

#include "platform/os/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdlib>
#include <cstring>

namespace qtmv {

namespace {

QMessageBox::Icon ToIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

MsgAnswer ToAnswer(int button, MsgButtons buttons)
{
    switch (button) {
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Ok: return MsgAnswer::Ok;
    default: break;
    }
    // Closed with Esc or the close box: the answer that does nothing.
    switch (buttons) {
    case MsgButtons::YesNo: return MsgAnswer::No;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel: return MsgAnswer::Cancel;
    case MsgButtons::Ok: break;
    }
    return MsgAnswer::Ok;
}

MsgAnswer ShowDialog(const MessageRequest& r)
{
    QMessageBox box(ToIcon(r.icon), QString::fromStdString(r.title), QString::fromStdString(r.text),
                    ToButtons(r.buttons), QApplication::activeWindow());
    if (r.defaultAnswer) {
        switch (*r.defaultAnswer) {
        case MsgAnswer::Yes: box.setDefaultButton(QMessageBox::Yes); break;
        case MsgAnswer::No: box.setDefaultButton(QMessageBox::No); break;
        case MsgAnswer::Cancel: box.setDefaultButton(QMessageBox::Cancel); break;
        case MsgAnswer::Ok: box.setDefaultButton(QMessageBox::Ok); break;
        }
    } else if (r.buttons == MsgButtons::YesNo || r.buttons == MsgButtons::YesNoCancel) {
        box.setDefaultButton(QMessageBox::Yes);
    }
    // A message during a busy operation must not show the wait cursor over
    // the buttons the user is asked to press.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
    return ToAnswer(answer, r.buttons);
}

} // namespace

void InstallMessageBoxHandler()
{
    const char* mode = std::getenv("QTMV_MESSAGES");
    if (mode && std::strcmp(mode, "stderr") == 0) {
        SetMessageHandler({}); // the default handler: a line on stderr
        return;
    }
    SetMessageHandler(ShowDialog);
}

} // namespace qtmv
