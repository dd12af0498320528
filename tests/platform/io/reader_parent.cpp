// Stands in for the program in the tests of the reader process: reads one
// workbook through the spreadsheet layer, as an import does, so that the
// reader is started exactly as the program starts it. The tests kill this
// process while its reader runs.
//   reader_parent READER FILE
#include "platform/io/spreadsheet.h"

#include <QFile>

#include <chrono>

int main(int argc, char **argv) {
    if (argc != 3) return 2;
    // Longer than any test waits: this process never stops the reader itself.
    tarvel::platform::XlsxSpreadsheet spreadsheet(QFile::decodeName(argv[1]),
                                                  std::chrono::minutes(5));
    return spreadsheet.readColumns(QFile::decodeName(argv[2])) ? 0 : 1;
}
