// The spreadsheet layer as a module the program loads on first use: the
// spreadsheet libraries (libxlsxwriter, liborcus, freexl and what they pull
// in) then cost nothing at start-up for a session that never exchanges a
// workbook.
#include "platform/io/spreadsheet.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT void *tarvel_create_spreadsheet() {
    return static_cast<tarvel::platform::SpreadsheetService *>(
        new tarvel::platform::XlsxSpreadsheet());
}
