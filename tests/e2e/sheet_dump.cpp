// Prints columns A and B of a workbook's first sheet, rows 1 to the last
// that holds anything, read back with the program's own readers, one row a
// line: "A<TAB>B".
// Numbers are printed with a point; empty cells as nothing.
#include "platform/io/spreadsheet.h"

#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) return 2;
    // Read in this process: the workbook is one the program just wrote.
    const auto columns = tarvel::platform::readWorkbook(QString::fromLocal8Bit(argv[1]));
    if (!columns) return 1;
    QTextStream out(stdout);
    auto text = [](const tarvel::platform::SpreadsheetCell &c) {
        using Kind = tarvel::platform::SpreadsheetCell::Kind;
        return c.kind == Kind::Number ? QString::number(c.number, 'g', 15)
                                      : (c.kind == Kind::Text ? c.text : QString());
    };
    std::size_t rows = std::min(columns->a.size(), columns->b.size());
    while (rows > 0 && text(columns->a[rows - 1]).isEmpty() && text(columns->b[rows - 1]).isEmpty())
        --rows;
    for (std::size_t i = 0; i < rows; ++i)
        out << text(columns->a[i]) << '\t' << text(columns->b[i]) << '\n';
    return 0;
}
