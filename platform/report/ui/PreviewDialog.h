#pragma once
// The modal preview of a page document: page through (PgUp/PgDn, Home/End,
// the buttons), zoom (+/-), and print after the printer dialog.
#include "platform/report/Report.h"

#include <QDialog>

#include <exception>
#include <functional>
#include <string>

class QLabel;
class QPrinter;
class QScrollArea;

namespace qtmv::report {

class PreviewDialog : public QDialog {
public:
    explicit PreviewDialog(PageDocument doc, QWidget* parent = nullptr);

    int currentPage() const { return page_; }   // 0-based
    double zoom() const { return zoom_; }
    void showPage(int page);
    void setZoom(double zoom);
    // What the document is, for the user ("產值分析表"): the print job's
    // name, and the name a print to a file is given by default.
    void setDocumentName(const QString& name) { documentName_ = name; }
    const QString& documentName() const { return documentName_; }
    // Shows the printer dialog; prints the chosen pages when accepted, under
    // a progress dialog with 取消 once that takes a moment. A failure is
    // reported to the user, a cancel is not. The dialog's file for a print
    // to a file is the one the installed namer gives (setPrintFileNamer);
    // the printer chosen stays the system's.
    void printWithDialog();
    // Prints pages [from, to] (0-based) onto the printer; into its output
    // file as a PDF when it has one. Throws UserError, naming the file, when
    // that cannot be written (the file there is then as it was). `progress`
    // follows the pages; when it answers false no further page is drawn and
    // Cancelled is thrown: the output file is then as it was, and a print job
    // is aborted where the printer's system can abort one (CUPS cannot: the
    // pages drawn before the cancel go out as a shorter job).
    void printTo(QPrinter& printer, int from, int to, const Progress& progress = {}) const;
    // printTo, with a failure reported to the user instead of thrown. True
    // when the pages were printed; false when that failed (told) or the
    // progress cancelled it (the user's own choice: nothing told).
    bool printReporting(QPrinter& printer, int from, int to, const Progress& progress = {}) const;

    // How a failed print is told: the operation ("列印"), the failure, and
    // what became of the pages ("沒有列印。"). The program installs its own
    // failure report once at start-up; until then a critical message box
    // shows the failure's text and the outcome.
    using FailureReport =
        std::function<void(const std::string& operation, const std::exception& e, const std::string& outcome)>;
    static void setFailureReport(FailureReport report);

    // Names the file a print to a file proposes, from the document's name:
    // a full path. The program installs one at start-up that never names a
    // file that is there (so nothing earlier is replaced unasked); without
    // one Qt's dialog proposes its own (print.pdf in the home folder).
    using PrintFileNamer = std::function<QString(const QString& documentName)>;
    static void setPrintFileNamer(PrintFileNamer namer);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void refresh();

    PageDocument doc_;
    QString documentName_;
    int page_ = 0;
    double zoom_ = 1.0;
    QScrollArea* scroll_ = nullptr;
    QLabel* image_ = nullptr;
    QLabel* status_ = nullptr;
};

} // namespace qtmv::report
