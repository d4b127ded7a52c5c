#pragma once
// The print page (pic列印): it takes the place of the record side when the
// user chooses "產值表". The reports, their conditions and the print ranges
// with the names of the suite's form; the print functions arrange what it
// shows.
#include <QFrame>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace qtmv::daily {

class PrintPage : public QFrame {
public:
    explicit PrintPage(QWidget* parent);

    // Puts the focus into the first range field.
    void focusFirstRange();

    QComboBox* cbo種類列印 = nullptr;
    QCheckBox* chk預排表印金額 = nullptr;
    QPushButton* ssc回前畫面_列印 = nullptr;
    std::array<QLineEdit*, 14> txt列印範圍{};

private:
    QWidget* buildReportChoice();
    QWidget* buildRanges();
    QWidget* buildOptions();
};

} // namespace qtmv::daily
