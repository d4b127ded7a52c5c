#pragma once
// The two Excel export windows of the print page, shown modally: they name
// what is exported and the workbook it goes to; 轉Excel (Enter) writes it
// and ends with "轉Excel成功" and the workbook's full path, 取消 (Esc)
// leaves without writing. A workbook never replaces a file.
//   frm產值分析明細轉Excel   the production value detail (choice 1) or summary (choice 2)
//   frm生產明細表轉Excel     the production detail (choice 7)
#include "common/Clock.h"
#include "production_export/core/ExcelExport.h"

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qtmv::production {

class ExcelExportWindow : public QDialog {
public:
    // The workbook goes to the session's ExcelFolder with its
    // ExcelExtension, under a name no file has (excelPath); key: this
    // workstation's key of the analysis table. The clock must outlive the
    // window.
    ExcelExportWindow(Export e, const daily::printing::PrintParams& p, const std::string& key, const Session& s,
                      const Clock& clock, QWidget* parent);

    const std::string& path() const { return path_; }
    bool written() const { return written_; }

    QLabel* lbl說明 = nullptr;
    QLineEdit* txt檔案 = nullptr;
    QPushButton* cmd轉Excel = nullptr;
    QPushButton* cmd取消 = nullptr;

private:
    void write();

    Export export_;
    daily::printing::PrintParams params_;
    std::string key_;
    std::string connectionString_;
    std::string folder_;
    std::string extension_;
    const Clock& clock_;
    std::string path_;
    bool written_ = false;
    bool busy_ = false;
};

} // namespace qtmv::production

// The windows, as every frm window of the program, outside the namespaces.
class frm產值分析明細轉Excel : public qtmv::production::ExcelExportWindow {
public:
    // choice 1: the detail; choice 2: the summary of the analysis table.
    frm產值分析明細轉Excel(int choice, const qtmv::daily::printing::PrintParams& p, const std::string& key, const qtmv::Session& s,
                       const qtmv::Clock& clock, QWidget* parent = nullptr);
};

class frm生產明細表轉Excel : public qtmv::production::ExcelExportWindow {
public:
    frm生產明細表轉Excel(const qtmv::daily::printing::PrintParams& p, const qtmv::Session& s, const qtmv::Clock& clock,
                    QWidget* parent = nullptr);
};
