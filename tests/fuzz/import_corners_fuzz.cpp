// Fuzzes the import of corner texts from the cells read out of a workbook:
// columns of any length (also shorter than twenty rows or empty), cells of
// every kind, numbers that are NaN, infinite or huge, texts of any kind.
//
// Input: one byte each for the lengths of columns A and B, then the cells
// of A, then those of B; a cell is a kind byte (0 empty, 1 number with 8
// raw bytes, 2 text with a length byte and UTF-8 bytes, 3 an error cell).
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
    switch (in.byte() % 4) {
    case 3:
        cell.kind = SpreadsheetCell::Kind::Error;
        break;
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
           (cell.kind == SpreadsheetCell::Kind::Text && !cell.text.trimmed().isEmpty()) ||
           cell.kind == SpreadsheetCell::Kind::Error;
}

// No plot is a million million metres across: a number cell past this is
// taken for a slip, as a typed number is.
constexpr double kFarthestCoordinate = 1e12;

// A filled cell that gives a coordinate.
bool isNumber(const std::vector<SpreadsheetCell> &column, int row) {
    if (!isFilled(column, row)) return false;
    const auto &cell = column[static_cast<std::size_t>(row)];
    return (cell.kind == SpreadsheetCell::Kind::Number &&
            std::abs(cell.number) <= kFarthestCoordinate) ||
           (cell.kind == SpreadsheetCell::Kind::Text && files::cellTextNumber(cell.text));
}

// The field text a cell gives, by the import's own description.
void checkField(const std::vector<SpreadsheetCell> &column, int row, const QString &field) {
    const QString where = QStringLiteral("row %1: ").arg(row + 1) + field;
    const SpreadsheetCell &cell = column[static_cast<std::size_t>(row)];
    if (cell.kind == SpreadsheetCell::Kind::Text) {
        const auto number = files::cellTextNumber(cell.text);
        check(field == formatNumber(*number, kFieldPattern), "a number text not formatted", where);
        return;
    }
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

    const auto outcome = files::importCorners(columns);
    const int rows = static_cast<int>(std::max(columns.a.size(), columns.b.size()));
    const auto anyFilled = [&](int row) {
        return isFilled(columns.a, row) || isFilled(columns.b, row);
    };
    int row =
        anyFilled(0) && !isNumber(columns.a, 0) && !isNumber(columns.b, 0) &&
                !(isFilled(columns.a, 0) && columns.a[0].kind == SpreadsheetCell::Kind::Error) &&
                !(isFilled(columns.b, 0) && columns.b[0].kind == SpreadsheetCell::Kind::Error)
            ? 1
            : 0;
    std::vector<int> taken;
    bool refused = false;
    for (; row < rows && !refused; ++row) {
        if (!anyFilled(row)) continue;
        refused = taken.size() == std::size_t(tarvel::files::kMaxImportedCorners) ||
                  !isNumber(columns.a, row) || !isNumber(columns.b, row);
        if (!refused) taken.push_back(row);
    }
    refused = refused || taken.empty();
    if (!outcome.corners) {
        check(refused, "a usable workbook refused", outcome.message);
        check(outcome.message.startsWith(QStringLiteral("Ошибка импорта!")),
              "a refusal without the import's message", outcome.message);
        return 0;
    }
    check(!refused, "an unusable workbook taken", QString::number(taken.size()));
    const auto &corners = *outcome.corners;
    check(corners.count == std::max(static_cast<int>(taken.size()), 3),
          "corner count is not the filled rows", QString::number(corners.count));
    for (std::size_t i = 0; i < taken.size(); ++i) {
        checkField(columns.a, taken[i], corners.x[i + 1]);
        checkField(columns.b, taken[i], corners.y[i + 1]);
    }
    // The corners a triangle lacks are at zero; rows past the count are
    // empty, as rows never typed into.
    for (std::size_t i = taken.size() + 1; i <= std::size_t(corners.count); ++i)
        check(textToDouble(corners.x[i]) == 0.0 && textToDouble(corners.y[i]) == 0.0,
              "a corner past the filled rows is not zero", QString::number(i));
    for (std::size_t i = std::size_t(corners.count) + 1; i <= 20; ++i)
        check(corners.x[i].isEmpty() && corners.y[i].isEmpty(), "a row past the count is not empty",
              QString::number(i));
    return 0;
}
