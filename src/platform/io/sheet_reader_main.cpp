// tarvel-sheet-reader FILE: reads the coordinate cells of a workbook for the
// program, which starts it for every import and takes the cells from its
// descriptor 3. A crafted file can crash or exhaust only this process.
#include "platform/io/spreadsheet.h"

int main(int argc, char **argv) {
    if (argc != 2) return 2;
    return tarvel::platform::runWorkbookReader(argv[1]);
}
