// The spreadsheet automation layer without a spreadsheet program: an
// application object in the shape the export drives (workbooks, a worksheet,
// ranges by address) that records what it is told and writes a real .xlsx
// workbook on SaveAs, and a reader for the workbooks users bring back.
//
// Writing goes through libxlsxwriter; reading through liborcus (.xlsx, .ods,
// .csv) and freexl (legacy binary .xls). The kind of a file to read is
// judged by its content first, so a workbook saved under a name ending in
// ".xls" (the export dialog proposes that extension) reads back as well.
#pragma once

#include "platform/services/services.h"

#include <chrono>

namespace tarvel::platform {

class XlsxSpreadsheet : public SpreadsheetService {
public:
    // Reading runs the reader executable "tarvel-sheet-reader": the one
    // named by the environment variable TARVEL_SHEET_READER, else the one
    // beside the library or program holding this code, else the one in
    // ../lib/tarvel from there. Without a reader nothing reads as a
    // workbook.
    XlsxSpreadsheet();
    // `timeLimit` is how long a reading may take before the reader is
    // stopped and the file counts as no workbook.
    explicit XlsxSpreadsheet(QString readerPath,
                             std::chrono::milliseconds timeLimit = kReadTimeLimit);

    // Long enough for any workbook of forty cells on a slow machine.
    static constexpr std::chrono::milliseconds kReadTimeLimit{10000};

    // Never fails: the recording application needs nothing outside the
    // process until SaveAs.
    //
    // Ranges take addresses such as "A1", "b20", "$A$1" or "A1:B20"; a
    // range applies a value, number format or alignment to every cell in it.
    // An address that does not parse, a range of more than a million cells,
    // a value that is not finite, an alignment other than the spreadsheet's
    // known constants (1..7 or the xl constants such as -4152 for right), a
    // worksheet index other than 1 or any call after Quit makes the
    // workbook's SaveAs fail with Other, as the real automation would raise
    // an error at that call.
    //
    // SaveAs writes into a new file beside the target and renames it into
    // place, so a failure never leaves a half-written workbook and leaves an
    // existing file as it was. A folder that may not be written, a
    // read-only target or a read-only file system give PermissionDenied;
    // every other failure gives Other.
    std::unique_ptr<SpreadsheetApplication> createApplication() override;

    // Columns A and B of the first kSpreadsheetRowsRead rows of the first
    // worksheet. Numbers come back as numbers, texts as texts (an empty text
    // as an empty cell), true/false as the texts "TRUE"/"FALSE", dates of a
    // legacy .xls as their ISO text; formula cells give their stored result,
    // and cells holding an error value or a formula without a result read
    // as Error cells. A .csv is split at ';' when its first line holds
    // one, else at tabs when it holds one, else at ','; a cell that reads as
    // a plain number with a decimal point is a number, every other cell is
    // kept as text. nullopt for a missing or unreadable file, a file that is
    // not a workbook, or a broken one.
    //
    // The file is read in the reader's own process, with a memory ceiling
    // and a time limit (kReadTimeLimit unless given): a crafted file can crash or exhaust only the
    // reader. The reader dies with this process and ends by itself after
    // kReadTimeLimit and five seconds of processor time, so that it never
    // outlives a program that was killed or hangs. A workbook whose XML
    // nests elements deeper than kMaxXmlDepth (workbook_xml.h) is not a
    // workbook. Only a regular file is read; a named pipe or device is not a
    // workbook, and never blocks.
    std::optional<SpreadsheetColumns> readColumns(const QString &fileName) override;
    // The same; a stop kills the reader process at once.
    std::optional<SpreadsheetColumns> readColumnsUnlessStopped(const QString &fileName,
                                                               std::stop_token stop) override;

private:
    QString readerPath_;
    std::chrono::milliseconds timeLimit_ = kReadTimeLimit;
};

// The reading itself, in the calling process, without protection: for the
// reader executable and for tests of the formats.
std::optional<SpreadsheetColumns> readWorkbook(const QString &fileName);

// The reader executable's work: binds its life to its parent's (it is
// killed when the parent ends), limits its own memory and processor time
// (kReadTimeLimit and five seconds; no core dump), reads the workbook and
// writes the cells to descriptor 3 in the transfer encoding. `parentId`,
// when given, is the decimal process id of the program that started it:
// when that is no longer the parent, the program has ended already and the
// reader ends at once, reading nothing. The exit status: 0 when the cells
// were written, 1 otherwise, 2 for a parentId that is no process id.
int runWorkbookReader(const char *fileName, const char *parentId);

} // namespace tarvel::platform
