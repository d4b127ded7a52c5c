#pragma once
// frm印刷數據明細表: the printing data listing. Filters (work order range,
// printing date range, colour number, customer through the customer lookup,
// recorder, only the lines out of tolerance), the rows of 工單印刷數據 with
// how far each is out of its tolerances (the line coloured) and the selected
// row's inks and measurements below, the printed listing and its .xlsx
// export, and the colour targets per colour number that the colour
// difference is computed from, with their tolerances (empty: none).
#include "common/Clock.h"
#include "platform/report/Report.h"
#include "quality/core/PrintingList.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qtmv {
class SpreadGrid;
}

class frm印刷數據明細表 : public QDialog {
public:
    enum Column {
        c工單單號 = 1, c序, c製程, c印刷日期, c客戶, c品名, c色號, cL, cA, cB, c色差, c濃度, c記錄員, c超出容許,
        kColumns = c超出容許
    };
    enum TargetColumn { t色號 = 1, tL, tA, tB, t容許色差, t濃度目標, t濃度容許, t備註, kTargetColumns = t備註 };

    explicit frm印刷數據明細表(QWidget* parent = nullptr, const qtmv::Clock& clock = qtmv::TheSystemClock());
    ~frm印刷數據明細表() override;

    QLineEdit* txt工單起 = nullptr;
    QLineEdit* txt工單迄 = nullptr;
    QLineEdit* txt日期起 = nullptr;
    QLineEdit* txt日期迄 = nullptr;
    QLineEdit* txt色號 = nullptr;
    QLineEdit* txt客戶 = nullptr;
    QPushButton* scmd客戶 = nullptr;
    QLabel* lbl客戶 = nullptr;
    QLineEdit* txt記錄員 = nullptr;
    QLabel* lbl超出容許 = nullptr;
    QCheckBox* chk超出容許 = nullptr;
    QPushButton* scmd查詢 = nullptr;
    QPushButton* scmd列印 = nullptr;
    QPushButton* scmd匯出 = nullptr;
    QPushButton* scmd色差圖 = nullptr;
    QPushButton* ssc回前畫面 = nullptr;
    QLabel* lbl筆數 = nullptr;
    qtmv::SpreadGrid* fml明細 = nullptr;   // the listed rows
    qtmv::SpreadGrid* fml油墨 = nullptr;   // the selected row's inks and measurements
    qtmv::SpreadGrid* fml目標值 = nullptr; // colour targets
    QPushButton* scmd儲存目標值 = nullptr;

    // How a modal child (customer lookup, preview) is shown; tests replace it.
    std::function<void(QDialog&)> runModal = [](QDialog& d) { d.exec(); };
    std::function<void()> endProgram;
    // Asks where the .xlsx export goes ("" cancels); tests replace it.
    std::function<std::string()> askExportPath;
    // Follows the layout print() previews; its false stops it. Unset, a
    // progress dialog with 取消 does, shown once the layout takes a moment;
    // tests set it.
    qtmv::report::Progress followLayout;

    // Limits the listing to one work order (the caller's), listed on show.
    void setWorkOrder(const std::string& po);
    void query();            // scmd查詢
    void lookUpCustomer();   // scmd客戶 / Enter in txt客戶
    void print();            // scmd列印
    void exportWorkbook();   // scmd匯出: the listed rows into an .xlsx file
    void printDifferenceChart();   // scmd色差圖: the selected row's colour number by date
    void saveTargets();      // scmd儲存目標值
    void showRow(int row);   // the row's inks and measurements in fml油墨

    const qtmv::report::DataTable& rows() const { return rows_; }
    qtmv::quality::ListingFilter filter() const;
    // The page document print() previews; empty without rows. Throws
    // report::Cancelled when `progress` stops the layout.
    qtmv::report::PageDocument document(const qtmv::report::Progress& progress = {}) const;
    // The colour number printDifferenceChart() charts: the selected row's;
    // "" without one.
    std::string chartColour() const;
    // The chart page it previews.
    qtmv::report::PageDocument differenceDocument() const;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void buildUi();
    void loadTargets();
    bool filterValid();

    const qtmv::Clock& clock_;
    bool started_ = false;
    bool queryOnShow_ = false;
    std::string customerName_;
    qtmv::report::DataTable rows_;
    std::vector<qtmv::quality::ColourTarget> targets_;
};
