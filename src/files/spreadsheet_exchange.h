// The exchange of corner coordinates with a spreadsheet workbook: the first
// worksheet, X in column A and Y in column B, one corner per row. The export
// writes corner i into row i, rows 1 to the corner count, no header; the
// import reads back what the export writes and what people and other
// programs write: a header row, blank rows between corners. The export
// drives the automation object model; the import turns the cells read back
// into field texts. No widgets here: the window shows the dialogs and the
// messages.
#pragma once

#include "geometry/text_column.h"
#include "platform/services/services.h"

#include <QString>

#include <optional>

namespace tarvel::files {

enum class ExportResult { Ok, PermissionDenied, Failed };

// The worksheet's name in an exported workbook.
inline const QString kExportSheetName = QStringLiteral("Координаты");

// Writes the X and Y texts of corners 1..`count` (index 0 is unused;
// `count` is clamped to 3..kMaxImportedCorners) as numbers into a new workbook
// whose worksheet is kExportSheetName: the heading "X", "Y" in row 1, corner
// i in row i + 1, each number shown with the decimals it was typed with (two
// at least, four at most), all aligned right; then saves it as `fileName`. Only the corners in force are written: the hidden rows are
// no corners, and a workbook holding them would import as more corners.
// Every text written is converted before anything is written: one text
// that is not a number fails the export and no file is written. The
// application started for the export is closed again in every case.
ExportResult exportCoordinates(platform::SpreadsheetService &spreadsheet,
                               const geometry::TextColumn &x, const geometry::TextColumn &y,
                               int count, const QString &fileName);

// Field texts taken from a workbook: x[i], y[i] for corner i = 1..count
// (index 0 is unused). They replace every row, hidden ones too, so nothing
// of the polygon shown before the import survives in a field.
struct ImportedCorners {
    geometry::TextColumn x;
    geometry::TextColumn y;
    int count = 0; // the corner count to set, 3..kMaxImportedCorners
};

// The most corners a workbook may hold.
inline constexpr int kMaxImportedCorners = 10000;

// What an import makes of a workbook's cells: the corners, or the message
// that tells the user why none were taken.
struct ImportOutcome {
    std::optional<ImportedCorners> corners;
    QString message; // empty when corners holds a value
};

// Reads corners from columns A and B:
//  - a first row that holds no number (a header such as "X", "Y") is
//    passed over;
//  - a row with both cells empty is passed over; every other row is the
//    next corner, so corner i is the i-th filled row;
//  - a number cell, and a text cell that reads as a number, become the
//    number in the field pattern (" 76,00"); a text reads as a number with
//    a decimal comma or a decimal point and with blanks or no-break spaces
//    between digit groups ("1,5", " 1 234,50", "1.5"), as people and other
//    programs write numbers stored as text;
//  - one or two corners make a triangle whose missing corners are at zero
//    (" 0,00"), as a new row would hold.
// The import fails, and must change nothing, when a cell of a corner's row
// is empty, holds a text that is no number or an error value, when more
// than kMaxImportedCorners rows hold corners, or when no row does. The message is
// "Ошибка импорта!" followed by the row and column of the first cell that
// stopped it ("Ошибка импорта! Строка 7, столбец B: не число"), the row
// numbered as the spreadsheet numbers it.
ImportOutcome importCorners(const platform::SpreadsheetColumns &columns);

// The number a text cell of a workbook stands for, if it reads as one under
// the rules above.
std::optional<double> cellTextNumber(const QString &text);

} // namespace tarvel::files
