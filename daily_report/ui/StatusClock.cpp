#include "daily_report/ui/StatusClock.h"

#include "daily_report/ui/Widgets.h"
#include "platform/ui/QtText.h"

#include <QColor>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

namespace qtmv::daily {

namespace {
const QColor kFlashColour(0xC0, 0x00, 0xC0);
}

StatusClock::StatusClock(QWidget* parent, std::function<const Clock&()> clock)
    : QFrame(parent), clock_(std::move(clock))
{
    setObjectName(QStringLiteral("pic系統時間"));
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(8, 0, 8, 0);
    lbl系統時間 = widgets::Make<QLabel>(this, QStringLiteral("lbl系統時間"));
    lbl系統時間->setAccessibleName(QStringLiteral("系統時間"));
    lbl系統時間->setMinimumWidth(70);
    lbl系統時間->setAlignment(Qt::AlignCenter);
    QFont f = lbl系統時間->font();
    f.setBold(true);
    lbl系統時間->setFont(f);
    h->addWidget(lbl系統時間);

    for (int i = 0; i < 2; ++i) {
        QTimer* t = new QTimer(this);
        t->setObjectName(QStringLiteral("Timer1_") + QString::number(i));
        t->setProperty("index", i);
        Timer1[static_cast<std::size_t>(i)] = t;
    }
    Timer1[0]->setInterval(1000);
    Timer1[1]->setInterval(300);
    connect(Timer1[0], &QTimer::timeout, this, [this] { tick(); });
    connect(Timer1[1], &QTimer::timeout, this, [this] { flashTick(); });
}

void StatusClock::start() { Timer1[0]->start(); }

void StatusClock::stop()
{
    Timer1[0]->stop();
    Timer1[1]->stop();
}

void StatusClock::tick()
{
    const DateTime now = clock_().now();
    lbl系統時間->setText(U8(ClockText(now.hour, now.minute)));
    if (Timer1[1]->isActive())
        return;
    lbl系統時間->setStyleSheet(QString());
    lbl系統時間->setVisible(true);
    if (now.minute == 0) {
        flash_.reset();
        Timer1[1]->start();
    }
}

void StatusClock::flashTick()
{
    const auto step = flash_.tick();
    if (step.flashColour)
        lbl系統時間->setStyleSheet(QStringLiteral("color: %1").arg(kFlashColour.name()));
    lbl系統時間->setVisible(step.visible);
    if (step.finished)
        Timer1[1]->stop();
}

} // namespace qtmv::daily
