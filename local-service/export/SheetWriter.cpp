#include "export/SheetWriter.h"

#include "export/ExcelText.h"
#include "export/ExportError.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <utility>

namespace localservice {

namespace {

constexpr double kMinColumnWidth = 10;
constexpr double kMaxColumnWidth = 60;

void check(lxw_error error, const char* what)
{
    if (error != LXW_NO_ERROR)
        throw ExportError(std::string(what) + ": " + lxw_strerror(error));
}

// The library's indexes are narrower than size_t: refuse what would wrap around.
lxw_row_t rowIndex(std::size_t row)
{
    if (row >= LXW_ROW_MAX)
        throw ExportError("more rows than a sheet holds");
    return static_cast<lxw_row_t>(row);
}

lxw_col_t columnIndex(std::size_t column)
{
    if (column >= LXW_COL_MAX)
        throw ExportError("more columns than a sheet holds");
    return static_cast<lxw_col_t>(column);
}

} // namespace

WorkbookHandle::WorkbookHandle(const std::string& path)
{
    workbook_ = workbook_new(path.c_str());
    if (!workbook_)
        throw ExportError("cannot create the workbook");
}

WorkbookHandle::~WorkbookHandle()
{
    if (workbook_)
        lxw_workbook_free(workbook_);
}

void WorkbookHandle::close()
{
    // The library stamps the document with gmtime(), whose result buffer the whole
    // process shares: two exports closing at once could swap their dates.
    static std::mutex closing;
    std::lock_guard<std::mutex> lock(closing);
    lxw_workbook* workbook = std::exchange(workbook_, nullptr);
    check(workbook_close(workbook), "cannot write the workbook");
}

Formats addFormats(lxw_workbook* workbook)
{
    Formats formats{workbook_add_format(workbook), workbook_add_format(workbook)};
    if (!formats.bold || !formats.wrapped)
        throw ExportError("cannot create the cell formats");
    format_set_bold(formats.bold);
    format_set_text_wrap(formats.wrapped);
    return formats;
}

SheetWriter::SheetWriter(lxw_workbook* workbook, const std::string& name)
    : sheet_(workbook_add_worksheet(workbook, name.c_str()))
{
    if (!sheet_)
        throw ExportError("cannot add the sheet \"" + name + "\"");
}

void SheetWriter::text(std::size_t row, std::size_t column, const std::string& value, lxw_format* format)
{
    const std::string cellText = excel::truncateUtf16(value, excel::MaxCellTextUnits);
    check(worksheet_write_string(sheet_, rowIndex(row), columnIndex(column), cellText.c_str(), format),
          "cannot write a text cell");
    widen(column, excel::utf16Length(cellText));
}

void SheetWriter::number(std::size_t row, std::size_t column, std::optional<double> value)
{
    if (!value || !std::isfinite(*value))
        return;
    check(worksheet_write_number(sheet_, rowIndex(row), columnIndex(column), *value, nullptr),
          "cannot write a number cell");
    widen(column, 6);
}

void SheetWriter::freeze(std::size_t rows, std::size_t columns)
{
    worksheet_freeze_panes(sheet_, rowIndex(rows), columnIndex(columns));
}

void SheetWriter::applyColumnWidths()
{
    for (std::size_t column = 0; column < widths_.size(); ++column) {
        const double width = std::clamp(static_cast<double>(widths_[column]) + 2, kMinColumnWidth, kMaxColumnWidth);
        const lxw_col_t index = columnIndex(column);
        check(worksheet_set_column(sheet_, index, index, width, nullptr), "cannot size a column");
    }
}

void SheetWriter::widen(std::size_t column, std::size_t units)
{
    if (widths_.size() <= column)
        widths_.resize(column + 1, 0);
    widths_[column] = std::max(widths_[column], units);
}

} // namespace localservice
