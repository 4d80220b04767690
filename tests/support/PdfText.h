#pragma once

#include <QString>

// Reads PDF files back with poppler's command-line tools (pdfinfo,
// pdftotext), so tests can check what a report holds.
namespace PdfText {

// Whether the tools are installed; tests skip with a reason when not.
bool available();
// The number of pages, or -1 when the file isn't a PDF.
int pageCount(const QString& path);
// The document's title from its metadata; empty when it has none.
QString title(const QString& path);
// The text of one page (1-based), or of every page with page 0.
QString text(const QString& path, int page = 0);

} // namespace PdfText
