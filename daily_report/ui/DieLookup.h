#pragma once
// 刀模輔助視窗: picks a registered die for the die-cutting grid. Starts with
// gLookupFilter as its filter; a pick fills gPick (0 the die code, then the
// other listed columns) and sets gReturned. Esc closes without a pick.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace qtmv {
class SpreadGrid;
}

class frm刀模輔助視窗 : public QDialog {
public:
    explicit frm刀模輔助視窗(QWidget* parent = nullptr);

    QLineEdit* txt篩選 = nullptr;
    QPushButton* scmd確定 = nullptr;
    qtmv::SpreadGrid* fml刀模 = nullptr;

    // Lists the dies that match the filter box.
    void fill();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pick(int row);
    int rows_ = 0;
};
