// The entry qimtool loads from libqimprint.so by name (dlsym): a stored mail
// printed into a PDF file with the windows' page layout. Plain C types only,
// so the loader needs nothing but this header.
#pragma once

#include <cstddef>

extern "C" {

struct QimPrintPdfRequest {
    const char* mail;      // the message as stored (Shift_JIS, CR LF or LF)
    std::size_t mailSize;
    const char* pdfPath;   // UTF-8 path of the file written
    int fixedFont;         // "印刷は固定ﾌｫﾝﾄにする"
    int allFields;         // every header field instead of the viewer's five
};

// The number of pages written; one of the codes below on failure.
constexpr int kQimPrintCannotWrite = -1;  // the PDF file could not be written
constexpr int kQimPrintNoGui = -2;        // a non-Gui Qt application already runs in the process

using QimPrintMailPdfFunction = int (*)(const QimPrintPdfRequest* request);
constexpr const char* kQimPrintMailPdfName = "QimPrintMailPdf";
int QimPrintMailPdf(const QimPrintPdfRequest* request);
}
