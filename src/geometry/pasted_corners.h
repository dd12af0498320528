// Corners pasted as text: what a spreadsheet, a text editor, a list of
// coordinates or a surveyor's catalogue puts on the clipboard or in a text
// file, read as one X, Y pair per line, or a point's name and a pair.
//
// Rules, line by line (lines end with LF, CR LF or CR):
//   - the fields of a line are separated by a tab, else by a semicolon,
//     else by commas where the line is "name,X,Y" or a pair written with
//     decimal points ("452297.10,1300123.45"), else by blanks; empty
//     fields beside a tab or a semicolon ("1\t2\t") do not count;
//   - fields in double quotes, as CSV files write them, are read without
//     the quotes, a separator inside them being part of the field;
//   - a line of two fields is X and Y; of three, the first is the point's
//     name ("н1", "12"), kept as written. With blanks alone, the first row
//     of the table tells whether a name comes first, and the rest follow
//     it;
//   - a number takes a decimal comma or point, and blanks (space, no-break
//     space, narrow no-break space, thin space) between its digit groups as
//     thousands separators ("6 123 456,78"); with both a point and a comma
//     the last is the decimal mark and the others separate thousands
//     ("1.234,5" and "1,234.5" are 1234,5); the minus sign U+2212 of word
//     processors and PDF tables is a minus;
//   - with blanks as the separator, a number of several groups must be
//     written as thousands are (1 to 3 digits, then groups of 3, the
//     fraction only after the last), so "6 123 456,78 2 345 678,90" is one
//     pair; a line that can be split in more than one way is not a pair;
//   - lines before the first row that hold letters and do not read as a
//     row are headings ("№ X Y", "X1 Y1", "Каталог координат, МСК-26") and
//     are passed over; a leading line with digits and no letter is meant as
//     numbers and must be a row like the rest; blank lines at the start and
//     at the end are passed over too;
//   - a blank line between rows ends a contour: the rows after it are the
//     next contour of the plot;
//   - every other line must be exactly one row.
// A text of one line (after blank lines at the end are dropped) that is not
// a pair, a single number for instance, is not a table: it belongs in one
// field, as typed.
// The lines are read in order, and the first that cannot be taken stops
// the reading: one that is not a row, or one row more than `room` in a
// contour (the corners left from the row pasted into to the last possible
// corner).
//
// Pure code: no widgets.
#pragma once

#include <QString>

#include <vector>

namespace tarvel::geometry {

struct PastedCorner {
    int line = 0; // 1-based line of the pasted text
    double x = 0;
    double y = 0;
    QString name;    // the point's name, where the table gives one
    int contour = 0; // 0-based: the contours are parted by blank lines
};

struct PastedTable {
    enum class Kind {
        NotATable, // one line that is no pair: a paste into the field itself
        Corners,   // `corners` holds one row per line, in order
        BadLine,   // the line `badLine` is not a row of numbers
        TooMany,   // the line `badLine` holds a pair beyond `room`
    };
    Kind kind = Kind::NotATable;
    std::vector<PastedCorner> corners;
    int badLine = 0;
};

PastedTable readPastedCorners(const QString &text, int room);

} // namespace tarvel::geometry
