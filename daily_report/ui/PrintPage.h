#pragma once
// The print page (pic列印): it takes the place of the record side when the
// user chooses "產值表". The reports, their conditions and the print ranges
// with the names of the suite's form; the print functions arrange what it
// shows.
#include "platform/report/Report.h"
#include "printing/PrintJob.h"

#include <QFrame>

#include <array>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qtmv::report {
class PreviewDialog;
}

namespace qtmv::daily {

class PrintPage : public QFrame {
public:
    explicit PrintPage(QWidget* parent);

    // Puts the focus into the first range field.
    void focusFirstRange();
    // Shown by the toolbar "print": the defaults for the window's kind and
    // current record, choice 1 selected.
    void open(const QString& kind, const std::string& recordNo);
    // After open: the kind's outsourcing order (choice 0) for the single
    // record "列印單筆" names, as the menu entry "單筆列印" asks.
    void chooseSingleOrder();
    // The print operation of the three buttons (mode "轉Excel" exports).
    void print(bool preview, const std::string& mode);
    // The single-row outsourcing order's options the boxes hold, as the
    // downstream vendor windows store them (vendors::optionsCode), and
    // showing a stored code in the boxes.
    std::string vendorOptionsCode() const;
    void showVendorOptions(const std::string& code);

    // The choice and the layout the last print operation opened.
    const printing::Outcome& lastOutcome() const { return last_; }
    // Runs a modal lookup, preview or export window; tests replace it.
    std::function<void(QDialog&)> runModal;
    // Prints an analysis layout through the printer dialog; tests replace it.
    std::function<void(report::PreviewDialog&)> printDocument;
    // Follows the layout of the document to preview or print; its false
    // stops it. Unset, a progress dialog with 取消 does, shown once the
    // layout takes a moment; tests set it.
    report::Progress followLayout;

    QComboBox* cbo種類列印 = nullptr;
    QComboBox* cbo車別_列印 = nullptr;
    QCheckBox* chk預排表印金額 = nullptr;
    QPushButton* ssc回前畫面_列印 = nullptr;
    std::array<QLineEdit*, 14> txt列印範圍{};
    std::array<QRadioButton*, 8> sopt選擇報表{};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildReportChoice();
    QWidget* buildRanges();
    QWidget* buildOptions();
    void wire();
    int selectedChoice() const;
    void kindChanged();
    // The machines of the kind, as the window's 車別 offers them.
    void fillMachines(const std::string& kind);
    void choiceChosen(int choice);
    void lookupVendor(int field, bool byKind);
    void lookupClerk();
    // The analysis table of the export of choice 2, under a progress
    // dialog; false when the user cancelled.
    bool buildAnalysis(const printing::PrintParams& p, const std::string& key);

    bool printPressed_ = false;  // the page has been opened once
    std::optional<std::string> machinesKind_; // the kind cbo車別_列印 holds the machines of
    bool busy_ = false;
    printing::Outcome last_;
};

} // namespace qtmv::daily
