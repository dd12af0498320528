// The exchange of corner coordinates with a spreadsheet workbook: the first
// worksheet, X in column A and Y in column B, corner i in row i, rows 1 to
// 20, no header. The export drives the automation object model; the import
// turns the cells read back into field texts. No widgets here: the window
// shows the dialogs and the messages.
#pragma once

#include "platform/services.h"

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
// 0 is unused). nullopt leaves the field's text as it is.
struct ImportedCorners {
    std::array<std::optional<QString>, 21> x;
    std::array<std::optional<QString>, 21> y;
    int count = 0; // the corner count to set, 3..20
};

// A number cell becomes its text in the field pattern (" 76,00"), a text
// cell its text as it stands; an empty cell, or a text of blanks only,
// leaves the field alone. The count is the last row whose A and B cells are
// both filled, at least 3. nullopt when no row has both cells filled: the
// workbook holds no corner at all.
std::optional<ImportedCorners> importCorners(const platform::SpreadsheetColumns &columns);

} // namespace tarvel::files
