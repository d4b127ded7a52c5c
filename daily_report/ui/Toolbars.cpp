#include "daily_report/ui/Toolbars.h"

#include <QAction>
#include <QIconEngine>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QPolygonF>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>

namespace qtmv::daily {

namespace {

// The buttons' pictures are drawn, at the size asked for, rather than
// taken from the style: its standard icons decode three PNG sizes each, and
// ten of them cost start-up several milliseconds.
enum class Symbol { Save, Refresh, Query, History, Print, Exit, WorkOrder, EntryView, LargeFont };

// A closed outline through the points (QPolygonF draws it filled with the brush).
QPolygonF OutlineOf(std::initializer_list<QPointF> points) { return QPolygonF(QList<QPointF>(points)); }

// Draws `symbol` into a 20 x 20 box (the painter is scaled to the target).
void DrawSymbol(QPainter& p, Symbol symbol, bool disabled)
{
    const auto colour = [disabled](const char* name) { return disabled ? QColor(150, 150, 150) : QColor(name); };
    const QPen outline(colour("#2B3A55"), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(outline);
    switch (symbol) {
    case Symbol::Save:                                   // a diskette
        p.setBrush(colour("#3D6FB6"));
        p.drawRoundedRect(QRectF(3, 3, 14, 14), 1.5, 1.5);
        p.setBrush(colour("#FFFFFF"));
        p.drawRect(QRectF(6, 10, 8, 6));
        p.setBrush(colour("#C9D3E0"));
        p.drawRect(QRectF(6, 3, 7, 4));
        break;
    case Symbol::Refresh: {                              // a turning arrow
        p.setPen(QPen(colour("#2E8B3E"), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 12, 12), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(colour("#2E8B3E"));
        p.drawPolygon(OutlineOf({{12.5, 1.5}, {17.5, 5.0}, {12.0, 7.5}}));
        break;
    }
    case Symbol::Query:                                  // a magnifier
        p.setBrush(colour("#DCEBFA"));
        p.drawEllipse(QRectF(3, 3, 10, 10));
        p.setPen(QPen(colour("#2B3A55"), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 12), QPointF(17, 17));
        break;
    case Symbol::History:                                // a clock
        p.setBrush(colour("#FFF6D8"));
        p.drawEllipse(QRectF(2.5, 2.5, 15, 15));
        p.drawLine(QPointF(10, 10), QPointF(10, 5.5));
        p.drawLine(QPointF(10, 10), QPointF(13.5, 12));
        break;
    case Symbol::Print:                                  // a printer
        p.setBrush(colour("#FFFFFF"));
        p.drawRect(QRectF(6, 2.5, 8, 5));
        p.setBrush(colour("#8A97A8"));
        p.drawRoundedRect(QRectF(2.5, 7, 15, 7), 1.5, 1.5);
        p.setBrush(colour("#FFFFFF"));
        p.drawRect(QRectF(6, 12, 8, 5.5));
        break;
    case Symbol::Exit:                                   // a cross on red
        p.setBrush(colour("#C62828"));
        p.drawRoundedRect(QRectF(3, 3, 14, 14), 2, 2);
        p.setPen(QPen(colour("#FFFFFF"), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7, 7), QPointF(13, 13));
        p.drawLine(QPointF(13, 7), QPointF(7, 13));
        break;
    case Symbol::WorkOrder: {                            // a sheet with lines
        p.setBrush(colour("#FFFFFF"));
        p.drawPolygon(OutlineOf({{4.5, 2.5}, {12, 2.5}, {15.5, 6}, {15.5, 17.5}, {4.5, 17.5}}));
        for (const double y : {7.5, 10.5, 13.5})
            p.drawLine(QPointF(7, y), QPointF(13, y));
        break;
    }
    case Symbol::EntryView:                              // columns, some picked out
        p.setBrush(colour("#FFFFFF"));
        p.drawRect(QRectF(2.5, 3.5, 15, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(colour("#F2B84B"));
        p.drawRect(QRectF(8, 4.2, 4, 11.6));
        p.setPen(outline);
        p.drawLine(QPointF(7.5, 3.5), QPointF(7.5, 16.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(12.5, 16.5));
        break;
    case Symbol::LargeFont: {                            // a large A and an arrow up
        p.setPen(QPen(colour("#2B3A55"), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        const QPointF a[] = {{2.5, 17.5}, {7.5, 3.5}, {12.5, 17.5}};
        p.drawPolyline(a, 3);
        p.drawLine(QPointF(4.5, 12), QPointF(10.5, 12));
        p.setPen(QPen(colour("#2E8B3E"), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(15.5, 16), QPointF(15.5, 5));
        p.drawLine(QPointF(13, 7.5), QPointF(15.5, 5));
        p.drawLine(QPointF(18, 7.5), QPointF(15.5, 5));
        break;
    }
    }
}

class SymbolIconEngine final : public QIconEngine {
public:
    explicit SymbolIconEngine(Symbol symbol) : symbol_(symbol) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 20.0, rect.height() / 20.0);
        DrawSymbol(*painter, symbol_, mode == QIcon::Disabled);
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paint(&p, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }
    QIconEngine* clone() const override { return new SymbolIconEngine(symbol_); }

private:
    Symbol symbol_;
};

QToolBar* Toolbar(QMainWindow* window, const QString& name)
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

QAction* Add(QToolBar* bar, const QString& key, const QString& caption, const QString& tip, Symbol symbol)
{
    QAction* a = bar->addAction(QIcon(new SymbolIconEngine(symbol)), caption);
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

Toolbars BuildToolbars(QMainWindow* window)
{
    Toolbars t;
    t.Toolbar1 = Toolbar(window, QStringLiteral("Toolbar1"));
    t.actSave = Add(t.Toolbar1, QStringLiteral("save"), QStringLiteral("   儲存   "), QStringLiteral("儲存"),
                    Symbol::Save);
    t.actRefresh = Add(t.Toolbar1, QStringLiteral("refresh"), QStringLiteral("刷新"), QStringLiteral("刷新"),
                       Symbol::Refresh);
    t.actQuery = Add(t.Toolbar1, QStringLiteral("明細查詢"), QStringLiteral("工單查詢"), QStringLiteral("工單查詢"),
                     Symbol::Query);
    t.actHistory = Add(t.Toolbar1, QStringLiteral("history"), QStringLiteral("異動紀錄"),
                       QStringLiteral("異動紀錄(Ctrl+H)"), Symbol::History);
    t.actPrint = Add(t.Toolbar1, QStringLiteral("print"), QStringLiteral("產值表"), QStringLiteral("產值表"),
                     Symbol::Print);
    auto* printMenu = new QMenu(window);
    printMenu->setObjectName(QStringLiteral("mnuPrint"));
    t.actPrint1 = printMenu->addAction(QStringLiteral("單筆列印"));
    t.actPrint1->setObjectName(QStringLiteral("print1"));
    t.actPrint1->setData(QStringLiteral("print1"));
    t.actPrint->setMenu(printMenu);
    if (auto* tb = dynamic_cast<QToolButton*>(t.Toolbar1->widgetForAction(t.actPrint)))
        tb->setPopupMode(QToolButton::MenuButtonPopup);
    t.actExit = Add(t.Toolbar1, QStringLiteral("exit"), QStringLiteral("離開"), QStringLiteral("離開(ESC)"),
                    Symbol::Exit);

    t.Toolbar2 = Toolbar(window, QStringLiteral("Toolbar2"));
    t.actWorkOrder = Add(t.Toolbar2, QStringLiteral("工單"), QStringLiteral(" 查工單 "), QStringLiteral("查工單"),
                         Symbol::WorkOrder);
    t.actEntryView = Add(t.Toolbar2, QStringLiteral("entryView"), QStringLiteral("輸入檢視"),
                         QStringLiteral("只顯示表頭與要輸入的欄位（完工日、完工說明、備註等）"), Symbol::EntryView);
    t.actEntryView->setCheckable(true);
    t.actLargeFont = Add(t.Toolbar2, QStringLiteral("largeFont"), QStringLiteral("大字"),
                         QStringLiteral("表格使用較大的字型"), Symbol::LargeFont);
    t.actLargeFont->setCheckable(true);
    return t;
}

} // namespace qtmv::daily
