#include "daily_report/ui/Toolbars.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace qtmv::daily {

namespace {

QToolBar* toolbar(QMainWindow* window, const QString& name)
{
    auto* bar = new QToolBar(name, window);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setIconSize(QSize(20, 20));
    window->addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

QAction* add(QToolBar* bar, const QString& key, const QString& caption, const QString& tip,
             QStyle::StandardPixmap icon)
{
    QAction* a = bar->addAction(bar->style()->standardIcon(icon), caption);
    a->setObjectName(key);
    a->setData(key);
    a->setToolTip(tip);
    a->setStatusTip(tip);
    // Reachable with Tab like the other controls (Space presses it).
    if (QWidget* w = bar->widgetForAction(a)) {
        w->setFocusPolicy(Qt::TabFocus);
        w->setAccessibleName(caption.trimmed());
        w->setAccessibleDescription(tip);
    }
    return a;
}

} // namespace

Toolbars buildToolbars(QMainWindow* window)
{
    Toolbars t;
    t.Toolbar1 = toolbar(window, QStringLiteral("Toolbar1"));
    t.actSave = add(t.Toolbar1, QStringLiteral("save"), QStringLiteral("   儲存   "), QStringLiteral("儲存"),
                    QStyle::SP_DialogSaveButton);
    t.actRefresh = add(t.Toolbar1, QStringLiteral("refresh"), QStringLiteral("刷新"), QStringLiteral("刷新"),
                       QStyle::SP_BrowserReload);
    t.actQuery = add(t.Toolbar1, QStringLiteral("明細查詢"), QStringLiteral("工單查詢"), QStringLiteral("工單查詢"),
                     QStyle::SP_FileDialogContentsView);
    t.actHistory = add(t.Toolbar1, QStringLiteral("history"), QStringLiteral("異動紀錄"),
                       QStringLiteral("異動紀錄(Ctrl+H)"), QStyle::SP_FileDialogListView);
    t.actPrint = add(t.Toolbar1, QStringLiteral("print"), QStringLiteral("產值表"), QStringLiteral("產值表"),
                     QStyle::SP_FileDialogDetailedView);
    auto* printMenu = new QMenu(window);
    printMenu->setObjectName(QStringLiteral("mnuPrint"));
    t.actPrint1 = printMenu->addAction(QStringLiteral("單筆列印"));
    t.actPrint1->setObjectName(QStringLiteral("print1"));
    t.actPrint1->setData(QStringLiteral("print1"));
    t.actPrint->setMenu(printMenu);
    if (auto* tb = dynamic_cast<QToolButton*>(t.Toolbar1->widgetForAction(t.actPrint)))
        tb->setPopupMode(QToolButton::MenuButtonPopup);
    t.actExit = add(t.Toolbar1, QStringLiteral("exit"), QStringLiteral("離開"), QStringLiteral("離開(ESC)"),
                    QStyle::SP_DialogCloseButton);

    t.Toolbar2 = toolbar(window, QStringLiteral("Toolbar2"));
    t.actWorkOrder = add(t.Toolbar2, QStringLiteral("工單"), QStringLiteral(" 查工單 "), QStringLiteral("查工單"),
                         QStyle::SP_FileDialogInfoView);
    t.actEntryView = add(t.Toolbar2, QStringLiteral("entryView"), QStringLiteral("輸入檢視"),
                         QStringLiteral("只顯示表頭與要輸入的欄位（完工日、完工說明、備註等）"), QStyle::SP_FileDialogListView);
    t.actEntryView->setCheckable(true);
    t.actLargeFont = add(t.Toolbar2, QStringLiteral("largeFont"), QStringLiteral("大字"),
                         QStringLiteral("表格使用較大的字型"), QStyle::SP_ArrowUp);
    t.actLargeFont->setCheckable(true);
    return t;
}

} // namespace qtmv::daily
