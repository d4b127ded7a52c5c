#pragma once
// The details of the current row below the grids: the work order (customer,
// product, dates, rush, remark, packing, paper and plate arrival) and the
// row's vendor, outsourcing lines, remark and page count.
#include "records/core/GridLayout.h"
#include "records/core/RowDetails.h"

#include <QWidget>

class QFrame;
class QLabel;

namespace qtmv::daily {

class DetailsPanel : public QWidget {
public:
    explicit DetailsPanel(QWidget* parent);

    void clear();
    void show(const RowDetails& d, const GridLayout& layout);

    QFrame* pic明細 = nullptr;
    QFrame* pic明細1 = nullptr;
    QFrame* pic用紙 = nullptr;
    QFrame* pic急件 = nullptr;
    QLabel* lbl客戶 = nullptr;
    QLabel* lbl品名 = nullptr;
    QLabel* lbl日期 = nullptr;
    QLabel* lbl交貨日 = nullptr;
    QLabel* lbl預定完工日 = nullptr;
    QLabel* lbl備註 = nullptr;
    QLabel* lbl備註1 = nullptr;
    QLabel* lbl包裝 = nullptr;
    QLabel* lbl包裝1 = nullptr;
    QLabel* lbl紙到 = nullptr;
    QLabel* lbl紙到1 = nullptr;
    QLabel* lbl版到 = nullptr;
    QLabel* lbl版到1 = nullptr;
    QLabel* lbl下游廠商 = nullptr;
    QLabel* lbl用紙 = nullptr;
    QLabel* lbl急件 = nullptr;
    QLabel* lbl廠商 = nullptr;
    QLabel* lbl電話 = nullptr;
    QLabel* lbl說明 = nullptr;
    QLabel* lbl說明1 = nullptr;

private:
    void buildWorkOrderFrame();
    void buildRowFrame();
};

} // namespace qtmv::daily
