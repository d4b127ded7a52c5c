// A 1,000-line outsourcing order from the database to a PDF file.
#include "reports/OutsourcingOrder.h"

#include "platform/bench/RunBenchmarks.h"
#include "db/testing/FreshDatabase.h"
#include "platform/report/Render.h"

#include <QGuiApplication>

using namespace qtmv;

static void BM_OrderOf1000LinesToPdf(benchmark::State& state)
{
    db::test::FreshDatabase db;
    db.exec("insert into 預排資料 (ID, [DATE]) values ('1131204001', '1131204')");
    db.exec("insert into VENDER (ID, SNAME, RATE) values ('V01', '聿禾紙業', 5)");
    db.exec("insert into PWORK (PO, [DESC]) values ('1131200001', '彩色型錄 A4 32頁')");
    db.exec("begin");
    for (int i = 1; i <= 1000; ++i)
        db.exec("insert into PRINTING_S (ID, INO, PO, [NO], VENDER, QTY, PRICE, AMT, 順序) values ('1131204001', " +
                std::to_string(i) + ", '1131200001', " + std::to_string(i) + ", 'V01', 500, 1.5, 750, '" +
                std::to_string(i) + "')");
    db.exec("commit");
    reports::PrintParams p;
    p.numberFrom = "1131204001";
    const QString pdf = QString::fromStdString(db.folder() + "order.pdf");
    for (auto _ : state) {
        const auto doc = reports::OutsourcingOrder(reports::OrderLayout{KindId::Printing}, p, db.session());
        benchmark::DoNotOptimize(report::WritePdf(doc, pdf));
    }
}
BENCHMARK(BM_OrderOf1000LinesToPdf)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return bench::RunAsTheProgramRuns<QGuiApplication>(argc, argv);
}
