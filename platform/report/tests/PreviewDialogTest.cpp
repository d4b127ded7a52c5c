#include "platform/report/ui/PreviewDialog.h"
#include "platform/ui/tests/TestApp.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

#include <gtest/gtest.h>

using namespace qtmv::report;

namespace {

PageDocument threePages()
{
    Layout l;
    l.pageHeader.height = 10;
    l.pageHeader.items = {Item::text({0, 0, 100, 8}, "第 {page} 頁")};
    l.detail.height = 100;
    l.detail.items = {Item::field({0, 0, 100, 8}, "N")};
    DataTable t({"N"});
    for (int i = 0; i < 6; ++i)
        t.addRow({i});
    return run(l, t);
}

} // namespace

TEST(ReportPreview, PagesWithKeysAndButtonsAndZooms)
{
    const PageDocument doc = threePages();
    ASSERT_EQ(doc.pages.size(), 3u);
    PreviewDialog dlg(doc);
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    auto* status = dlg.findChild<QLabel*>("lblPage");
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("第 1 頁 / 共 3 頁")));

    QTest::keyClick(&dlg, Qt::Key_PageDown);
    EXPECT_EQ(dlg.currentPage(), 1);
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("第 2 頁")));
    QTest::keyClick(&dlg, Qt::Key_End);
    EXPECT_EQ(dlg.currentPage(), 2);
    QTest::keyClick(&dlg, Qt::Key_PageDown);   // stays on the last page
    EXPECT_EQ(dlg.currentPage(), 2);
    QTest::keyClick(&dlg, Qt::Key_PageUp);
    EXPECT_EQ(dlg.currentPage(), 1);
    QTest::keyClick(&dlg, Qt::Key_Home);
    EXPECT_EQ(dlg.currentPage(), 0);
    QTest::mouseClick(dlg.findChild<QPushButton*>("btnLast"), Qt::LeftButton);
    EXPECT_EQ(dlg.currentPage(), 2);

    auto* page = dynamic_cast<QLabel*>(dlg.findChild<QScrollArea*>()->widget());
    ASSERT_NE(page, nullptr);
    const int width = page->pixmap().width();
    EXPECT_EQ(width, 794);
    QTest::keyClick(&dlg, Qt::Key_Plus);
    EXPECT_GT(dlg.zoom(), 1.0);
    EXPECT_GT(page->pixmap().width(), width);
    QTest::keyClick(&dlg, Qt::Key_Minus);
    QTest::keyClick(&dlg, Qt::Key_Minus);
    EXPECT_LT(page->pixmap().width(), width);

    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
}
