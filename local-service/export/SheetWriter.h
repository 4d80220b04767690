#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>
#include <xlsxwriter.h>

namespace localservice {

// Owns the library's workbook until it is closed (closing writes the file
// and frees it). Failures throw ExportError.
class WorkbookHandle
{
public:
    explicit WorkbookHandle(const std::string& path);
    ~WorkbookHandle();
    WorkbookHandle(const WorkbookHandle&) = delete;
    WorkbookHandle& operator=(const WorkbookHandle&) = delete;

    lxw_workbook* get() const { return workbook_; }
    void close();

private:
    lxw_workbook* workbook_ = nullptr;
};

struct Formats
{
    lxw_format* bold = nullptr;
    lxw_format* wrapped = nullptr;
};
Formats addFormats(lxw_workbook* workbook);

// Writes a sheet cell by cell and keeps the widest text of each column for
// its width. Failures throw ExportError.
class SheetWriter
{
public:
    SheetWriter(lxw_workbook* workbook, const std::string& name);

    void text(std::size_t row, std::size_t column, const std::string& value, lxw_format* format = nullptr);
    // An absent or non-finite number leaves the cell empty: "nan" is no
    // value Excel reads.
    void number(std::size_t row, std::size_t column, std::optional<double> value);
    void freeze(std::size_t rows, std::size_t columns);
    void applyColumnWidths();

private:
    void widen(std::size_t column, std::size_t units);

    lxw_worksheet* sheet_;
    std::vector<std::size_t> widths_;
};

} // namespace localservice
