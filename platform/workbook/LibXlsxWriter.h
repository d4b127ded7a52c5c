#pragma once
// libxlsxwriter, loaded when the first workbook is written: with the
// libraries it brings (zip, OpenSSL's libcrypto) it cost every start-up
// about 2 ms, for an export most sessions never make.
#include <xlsxwriter.h>

namespace qtmv::xlsx {

#define QTMV_XLSXWRITER_FUNCTIONS(F)                                                                            \
    F(workbook_new) F(workbook_close) F(workbook_add_worksheet) F(workbook_add_format) F(lxw_workbook_free)    \
    F(lxw_strerror) F(worksheet_write_string) F(worksheet_write_number) F(worksheet_write_formula_num)         \
    F(worksheet_set_column) F(worksheet_freeze_panes) F(format_set_num_format) F(format_set_bold)              \
    F(workbook_add_chart) F(workbook_add_chartsheet) F(chart_add_series) F(chart_series_set_values)            \
    F(chart_title_set_name) F(chart_title_off) F(chart_legend_set_position) F(chartsheet_set_chart)            \
    F(worksheet_insert_chart) F(chartsheet_set_landscape)

// The library's functions, each under its own name.
struct LibXlsxWriter {
#define QTMV_XLSXWRITER_POINTER(name) decltype(&::name) name = nullptr;
    QTMV_XLSXWRITER_FUNCTIONS(QTMV_XLSXWRITER_POINTER)
#undef QTMV_XLSXWRITER_POINTER
};

// Loads the library on the first call. Throws std::runtime_error naming the
// library and why it could not be loaded; a later call tries again.
const LibXlsxWriter& Xlsxwriter();

} // namespace qtmv::xlsx
