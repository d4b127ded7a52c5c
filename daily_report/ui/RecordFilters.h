#pragma once
// The two filter rows above the process grids: the kind, the press, the
// pre-schedule number and date, "確 定", the sort options, the row buttons
// (變更刀號, 裝訂說明, 回存工單) and the quantity basis of the shown grid.
// Also the machine and vendor code fields the suite's other windows read by
// name; nothing here shows them.
#include "common/ProcessKind.h"
#include "records/core/GridLayout.h"
#include "daily_report/ui/WindowLogic.h"
#include "lookups/core/PlantLists.h"

#include <QWidget>

#include <array>
#include <string>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qtmv::daily {

class RecordFilters : public QWidget {
public:
    explicit RecordFilters(QWidget* parent);

    // The kinds in cbo種類, the default kind chosen, without signalling.
    void fillKinds();
    // Captions, row buttons and quantity basis for the kind; the vendor
    // fields emptied.
    void showKind(const ProcessKind& kind);
    // The machines of the kind, the user's own press preselected.
    void showMachines(const lookups::MachineList& list);

    const ProcessKind* kind() const;      // the kind in cbo種類
    std::string kindText() const;
    std::string machine() const;          // trimmed
    std::string preScheduleNo() const;    // trimmed
    std::string preScheduleDate() const;  // trimmed
    SortOption sortOption() const;

    QComboBox* cbo種類 = nullptr;
    QComboBox* cbo車別 = nullptr;
    QLineEdit* txt機別 = nullptr;
    QLineEdit* txt預排單號 = nullptr;
    QLineEdit* txt預排日期 = nullptr;
    QGroupBox* fra排序方式 = nullptr;
    std::array<QRadioButton*, 6> opt排序方式{};
    QPushButton* scmd顯示資料 = nullptr;
    QFrame* pic回存工單 = nullptr;
    QPushButton* scmd回存工單 = nullptr;
    QPushButton* scmd刀模輔助 = nullptr;
    QPushButton* scmd裝訂說明 = nullptr;

    QLineEdit* txt廠商代號 = nullptr;
    QLabel* lbl廠商簡稱 = nullptr;
    QPushButton* scmd廠商代號 = nullptr;
    QLineEdit* txt廠商代號1 = nullptr;
    QLabel* lbl廠商簡稱1 = nullptr;
    QPushButton* scmd廠商代號1 = nullptr;

    // Quantity-calculation basis beside the printing, varnishing, mounting
    // and paper grids.
    QFrame* pic印刷_選 = nullptr;
    QFrame* pic上光_選 = nullptr;
    QFrame* pic裱紙_選 = nullptr;
    QFrame* pic紙品_選_數量 = nullptr;
    QFrame* pic紙品_選_單價 = nullptr;

private:
    QWidget* buildFirstRow();
    QWidget* buildSecondRow();
    void buildHiddenFields();
};

} // namespace qtmv::daily
