#pragma once
// The program's locale: Traditional Chinese (Taiwan) in every window.
class QApplication;

namespace qtmv {

// Makes Chinese (Taiwan) the default locale (Qt's texts, month and day
// names, number formats) and sets every calendar the program shows up as
// the suite's date picker (SetUpDatePicker: years in ROC years) when it is
// first shown, whichever window made it. For the application's lifetime.
void UseSuiteLocale(QApplication& app);

} // namespace qtmv
