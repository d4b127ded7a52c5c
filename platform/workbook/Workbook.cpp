#include "platform/workbook/Workbook.h"

#include "platform/files/AtomicFile.h"
#include "platform/text/UserError.h"
#include "platform/workbook/LibXlsxWriter.h"
#include "platform/text/Text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

namespace qtmv::xlsx {

namespace fs = std::filesystem;

Workbook::Workbook(std::string path, Existing existing) : path_(std::move(path))
{
    const fs::path folder = fs::path(path_).parent_path();
    std::error_code ec;
    if (!folder.empty() && !fs::is_directory(folder, ec))
        throw FileError("Excel檔無法寫入：資料夾 " + folder.string() + " 不存在。");
    try {
        Xlsxwriter();
    } catch (const std::runtime_error& e) {
        Fail(e.what());
    }
    // The library writes its zip under the output's part name, so a
    // half-written workbook never sits under the name the user will open.
    try {
        file_ = std::make_unique<files::AtomicFile>(
            path_, existing == Existing::Refuse ? files::Existing::Refuse : files::Existing::Replace);
    } catch (const files::OutputError& e) {
        Fail(e.what());
    }
    book_ = Xlsxwriter().workbook_new(file_->partPath().c_str());
    if (!book_)
        Fail("無法建立活頁簿");
}

Workbook::~Workbook()
{
    if (book_)
        Xlsxwriter().lxw_workbook_free(book_);
    // file_ removes the part file unless it was committed
}

void Workbook::Fail(const std::string& reason) const
{
    throw FileError("Excel檔 " + path_ + " 無法寫入：" + reason + "。");
}

std::string Workbook::LegalSheetName(const std::string& name)
{
    std::string legal;
    int characters = 0;
    for (std::size_t i = 0; i < name.size() && characters < 31; ++characters) {
        const std::size_t n = std::min(Utf8SequenceLength(static_cast<unsigned char>(name[i])), name.size() - i);
        std::string ch = name.substr(i, n);
        if (ch.size() == 1 && std::strchr("[]:*?/\\", ch[0]))
            ch = "_";
        legal += ch;
        i += n;
    }
    // Excel refuses a name that begins or ends with an apostrophe.
    if (!legal.empty() && legal.front() == '\'')
        legal.front() = '_';
    if (!legal.empty() && legal.back() == '\'')
        legal.back() = '_';
    return legal.empty() ? "Sheet" : legal;
}

std::string Workbook::ColumnLetters(int col)
{
    std::string letters;
    for (int n = col + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

Sheet& Workbook::AddSheet(const std::string& name)
{
    std::set<std::string> taken;
    for (const auto& s : sheets_)
        taken.insert(AsciiUpper(s->Name()));
    std::string legal = LegalSheetName(name);
    for (int n = 2; taken.count(AsciiUpper(legal)); ++n) {
        const std::string suffix = "(" + std::to_string(n) + ")";
        legal = LegalSheetName(LegalSheetName(name).substr(0, 31 - suffix.size()) + suffix);
    }
    lxw_worksheet* sheet = Xlsxwriter().workbook_add_worksheet(book_, legal.c_str());
    if (!sheet)
        Fail("工作表名稱「" + legal + "」無效");
    sheets_.push_back(std::unique_ptr<Sheet>(new Sheet(*this, sheet, legal)));
    return *sheets_.back();
}

lxw_format* Workbook::Format(const Style& style)
{
    if (style.numberFormat.empty() && !style.bold)
        return nullptr;
    auto& format = formats_[{style.numberFormat, style.bold}];
    if (!format) {
        format = Xlsxwriter().workbook_add_format(book_);
        if (!style.numberFormat.empty())
            Xlsxwriter().format_set_num_format(format, style.numberFormat.c_str());
        if (style.bold)
            Xlsxwriter().format_set_bold(format);
    }
    return format;
}

void Workbook::Close()
{
    if (!book_)
        return;
    if (sheets_.empty())
        AddSheet("Sheet1");
    errno = 0;
    const lxw_error result = Xlsxwriter().workbook_close(book_); // frees the workbook
    book_ = nullptr;
    if (result != LXW_NO_ERROR) {
        const int savedErrno = errno;
        file_.reset();
        std::string reason = Xlsxwriter().lxw_strerror(result);
        if (savedErrno)
            reason += " (" + std::string(std::strerror(savedErrno)) + ")";
        Fail(reason);
    }
    try {
        file_->commit();
    } catch (const files::OutputError& e) {
        Fail(e.what());
    }
}

Sheet::Sheet(Workbook& book, lxw_worksheet* sheet, std::string name)
    : book_(book), sheet_(sheet), name_(std::move(name))
{
}

void Sheet::Check(int result, int row, int col) const
{
    if (result != LXW_NO_ERROR)
        book_.Fail("工作表「" + name_ + "」儲存格 " + Workbook::ColumnLetters(col) + std::to_string(row + 1) + "："
                   + Xlsxwriter().lxw_strerror(static_cast<lxw_error>(result)));
}

void Sheet::Text(int row, int col, const std::string& text, const Style& style)
{
    // The library writes nothing for an empty string; a blank cell is what
    // an empty text means in a listing anyway.
    if (text.empty())
        return;
    Check(Xlsxwriter().worksheet_write_string(sheet_, row, col, text.c_str(), book_.Format(style)), row, col);
}

void Sheet::Number(int row, int col, double value, const Style& style)
{
    Check(Xlsxwriter().worksheet_write_number(sheet_, row, col, value, book_.Format(style)), row, col);
}

void Sheet::Formula(int row, int col, const std::string& formula, double cached, const Style& style)
{
    Check(Xlsxwriter().worksheet_write_formula_num(sheet_, row, col, formula.c_str(), book_.Format(style), cached),
          row, col);
}

void Sheet::Header(int row, const std::vector<std::string>& headings)
{
    for (std::size_t c = 0; c < headings.size(); ++c)
        Text(row, static_cast<int>(c), headings[c], Style{.numberFormat = {}, .bold = true});
    Xlsxwriter().worksheet_freeze_panes(sheet_, row + 1, 0);
}

void Sheet::ColumnWidth(int col, double width)
{
    Check(Xlsxwriter().worksheet_set_column(sheet_, col, col, width, nullptr), 0, col);
}

} // namespace qtmv::xlsx
