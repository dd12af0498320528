// tarvel-sheet-reader FILE [PARENT]: reads the coordinate cells of a
// workbook for the program, which starts it for every import, names itself
// as PARENT (its process id) and takes the cells from its descriptor 3. A
// crafted file can crash or exhaust only this process, and it does not
// outlive the program. Without PARENT (a reading by hand) only the end of
// the actual parent ends it.
#include "platform/io/spreadsheet.h"

int main(int argc, char **argv) {
    if (argc != 2 && argc != 3) return 2;
    return tarvel::platform::runWorkbookReader(argv[1], argc == 3 ? argv[2] : nullptr);
}
