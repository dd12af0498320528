// The exchange of corner coordinates with a spreadsheet workbook: the first
// worksheet, X in column A and Y in column B, corner i in row i, rows 1 to
// 20, no header. The export drives the automation object model; the import
// turns the cells read back into field texts. No widgets here: the window
// shows the dialogs and the messages.
#pragma once

#include "platform/services/services.h"

#include <QString>

#include <array>
#include <optional>

namespace tarvel::files {

enum class ExportResult { Ok, PermissionDenied, Failed };

// Writes the twenty X and Y texts (indices 1..20; index 0 is unused) as
// numbers into a new workbook, formats A1:B20 with two decimals aligned
// right, and saves it as `fileName`. Every text is converted before
// anything is written, hidden rows included: one text that is not a number
// fails the export and no file is written. The application started for the
// export is closed again in every case.
ExportResult exportCoordinates(platform::SpreadsheetService &spreadsheet,
                               const std::array<QString, 21> &x, const std::array<QString, 21> &y,
                               const QString &fileName);

// Field texts taken from a workbook: x[i], y[i] for corner i = 1..20 (index
// 0 is unused). Every field gets a text, so nothing of the polygon shown
// before the import survives in a field.
struct ImportedCorners {
    std::array<QString, 21> x;
    std::array<QString, 21> y;
    int count = 0; // the corner count to set, 3..20
};

// The corner count is the last row whose A and B cells are both filled, at
// least 3. Each cell becomes a field text:
//  - a number cell, and a text cell that reads as a number, become the
//    number in the field pattern (" 76,00"); a text reads as a number with
//    a decimal comma or a decimal point and with blanks or no-break spaces
//    between digit groups ("1,5", " 1 234,50", "1.5"), as people and other
//    programs write numbers stored as text;
//  - any other text is taken as it stands, as a typed text would be;
//  - an empty cell beyond the corner count gives the field of zero (" 0,00"),
//    as a new row would hold.
// nullopt, and the import must change nothing, when no row has both cells
// filled or when a cell of rows 1..count is empty: a corner without one of
// its coordinates cannot be drawn, and guessing one would move the corner
// without a word.
std::optional<ImportedCorners> importCorners(const platform::SpreadsheetColumns &columns);

// The number a text cell of a workbook stands for, if it reads as one under
// the rules above.
std::optional<double> cellTextNumber(const QString &text);

} // namespace tarvel::files
