// Corners pasted as text: what a spreadsheet, a text editor or a list of
// coordinates puts on the clipboard, read as one X, Y pair per line.
//
// Rules, line by line (lines end with LF, CR LF or CR):
//   - the two numbers of a line are separated by a tab, else by a
//     semicolon, else by blanks; empty fields beside a tab or a semicolon
//     ("1\t2\t") do not count;
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
//   - a first line without a digit is a heading and is passed over; one
//     with a digit is meant as numbers and must be a pair like the rest;
//     blank lines at the end are passed over too;
//   - every other line must be exactly one pair.
// A text of one line (after blank lines at the end are dropped) that is not
// a pair, a single number for instance, is not a table: it belongs in one
// field, as typed.
// The lines are read in order, and the first that cannot be taken stops
// the reading: one that is not a pair, or one pair more than `room` (the
// corners left from the row pasted into to the last possible corner).
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
};

struct PastedTable {
    enum class Kind {
        NotATable, // one line that is no pair: a paste into the field itself
        Corners,   // `corners` holds one pair per line, in order
        BadLine,   // the line `badLine` is not a pair of numbers
        TooMany,   // the line `badLine` holds a pair beyond `room`
    };
    Kind kind = Kind::NotATable;
    std::vector<PastedCorner> corners;
    int badLine = 0;
};

PastedTable readPastedCorners(const QString &text, int room);

} // namespace tarvel::geometry
