// Fuzzes the import of corner texts from the cells read out of a workbook:
// columns of any length (also shorter than twenty rows or empty), cells of
// every kind, numbers that are NaN, infinite or huge, texts of any kind.
//
// Input: one byte each for the lengths of columns A and B, then the cells
// of A, then those of B; a cell is a kind byte (0 empty, 1 number with 8
// raw bytes, 2 text with a length byte and UTF-8 bytes).
#include "fuzz_support.h"

#include "files/spreadsheet_exchange.h"
#include "geometry/numtext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace tarvel;
using namespace tarvel::geometry;
using platform::SpreadsheetCell;
using tarvel::fuzz::check;

namespace {

SpreadsheetCell readCell(tarvel::fuzz::Bytes &in) {
    SpreadsheetCell cell;
    switch (in.byte() % 3) {
    case 1:
        cell.kind = SpreadsheetCell::Kind::Number;
        cell.number = in.rawDouble();
        break;
    case 2:
        cell.kind = SpreadsheetCell::Kind::Text;
        cell.text = QString::fromUtf8(in.take(in.byte()));
        break;
    default:
        break;
    }
    return cell;
}

bool isFilled(const std::vector<SpreadsheetCell> &column, int row) {
    if (row >= static_cast<int>(column.size())) return false;
    const auto &cell = column[static_cast<std::size_t>(row)];
    return (cell.kind == SpreadsheetCell::Kind::Number && std::isfinite(cell.number)) ||
           (cell.kind == SpreadsheetCell::Kind::Text && !cell.text.trimmed().isEmpty());
}

// The field text a cell gives, by the import's own description.
void checkField(const std::vector<SpreadsheetCell> &column, int row, const QString &field) {
    const QString where = QStringLiteral("row %1: ").arg(row + 1) + field;
    if (!isFilled(column, row)) {
        check(textToDouble(field) == 0.0, "an empty cell does not give zero", where);
        return;
    }
    const SpreadsheetCell &cell = column[static_cast<std::size_t>(row)];
    if (cell.kind == SpreadsheetCell::Kind::Text) {
        const auto number = files::cellTextNumber(cell.text);
        if (!number) {
            check(field == cell.text, "a text cell not taken as it stands", where);
            return;
        }
        check(field == formatNumber(*number, kFieldPattern), "a number text not formatted", where);
        return;
    }
    // At the very top of the double range the fifteen-digit text rounds past
    // the largest double and no longer reads back; such a field is shown as
    // it came and counts as no number, as a typed one would.
    if (std::abs(cell.number) >= 1e300) return;
    const auto back = textToDouble(field);
    check(back.has_value(), "a number cell gives a text that is not a number", where);
    check(*back == roundHalfEven(*textToDouble(plainText(cell.number)), 2),
          "a number cell gives another value", where);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    tarvel::fuzz::Bytes in(data, size);
    platform::SpreadsheetColumns columns;
    columns.a.resize(in.byte() % 32);
    columns.b.resize(in.byte() % 32);
    for (auto &cell : columns.a)
        cell = readCell(in);
    for (auto &cell : columns.b)
        cell = readCell(in);

    const auto corners = files::importCorners(columns);
    int last = 0;
    for (int row = 0; row < 20; ++row)
        if (isFilled(columns.a, row) && isFilled(columns.b, row)) last = row + 1;
    const int count = std::max(last, 3);
    bool gap = false;
    for (int row = 0; row < count; ++row)
        gap = gap || !isFilled(columns.a, row) || !isFilled(columns.b, row);
    if (!corners) {
        // Nothing taken: no corner at all, or one without a coordinate.
        check(last == 0 || gap, "a usable workbook refused", QString::number(last));
        return 0;
    }
    check(last > 0 && !gap, "a workbook with a gap taken", QString::number(last));
    check(corners->count == count, "corner count is not the last filled row",
          QString::number(corners->count));
    for (int row = 0; row < 20; ++row) {
        checkField(columns.a, row, corners->x[static_cast<std::size_t>(row + 1)]);
        checkField(columns.b, row, corners->y[static_cast<std::size_t>(row + 1)]);
    }
    return 0;
}
