#include "files/spreadsheet_exchange.h"

#include "geometry/numtext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

namespace tarvel::files {

using platform::SpreadsheetApplication;
using platform::SpreadsheetCell;
using platform::SpreadsheetError;

namespace {

constexpr int kRows = 20;

// Closes the application however the export ends: a hidden instance left
// running after a failure would hold its workbook until the program exits.
class QuitOnExit {
public:
    explicit QuitOnExit(SpreadsheetApplication &application) : application_(application) {}
    QuitOnExit(const QuitOnExit &) = delete;
    QuitOnExit &operator=(const QuitOnExit &) = delete;
    ~QuitOnExit() { application_.Quit(); }

private:
    SpreadsheetApplication &application_;
};

ExportResult runExport(SpreadsheetApplication &application, const std::array<QString, 21> &x,
                       const std::array<QString, 21> &y, const QString &fileName) {
    platform::SpreadsheetWorkbook &workbook = application.WorkbooksAdd();
    platform::SpreadsheetWorksheet &sheet = workbook.Worksheets(1);

    std::array<std::int64_t, kRows + 1> fixedX{};
    std::array<std::int64_t, kRows + 1> fixedY{};
    for (int i = 1; i <= kRows; ++i) {
        const auto valueX = geometry::textToFixed4(x[i]);
        const auto valueY = geometry::textToFixed4(y[i]);
        if (!valueX || !valueY) return ExportResult::Failed;
        fixedX[i] = *valueX;
        fixedY[i] = *valueY;
    }

    for (int i = 1; i <= kRows; ++i) {
        sheet.Range(u'A' + QString::number(i)).setValue(static_cast<double>(fixedX[i]) / 10000.0);
        sheet.Range(u'B' + QString::number(i)).setValue(static_cast<double>(fixedY[i]) / 10000.0);
    }
    platform::SpreadsheetRange &all = sheet.Range(QStringLiteral("A1:B20"));
    all.setNumberFormat(QStringLiteral("0.00"));
    all.setHorizontalAlignment(4); // right

    switch (workbook.SaveAs(fileName)) {
    case SpreadsheetError::None:
        return ExportResult::Ok;
    case SpreadsheetError::PermissionDenied:
        return ExportResult::PermissionDenied;
    case SpreadsheetError::Other:
        break;
    }
    return ExportResult::Failed;
}

bool isFilled(const SpreadsheetCell &cell) {
    switch (cell.kind) {
    case SpreadsheetCell::Kind::Number:
        return std::isfinite(cell.number);
    case SpreadsheetCell::Kind::Text:
        return !cell.text.trimmed().isEmpty();
    case SpreadsheetCell::Kind::Empty:
        break;
    }
    return false;
}

const SpreadsheetCell *cellAt(const std::vector<SpreadsheetCell> &column, int row) {
    return row < static_cast<int>(column.size()) ? &column[static_cast<std::size_t>(row)] : nullptr;
}

// The field text of a filled cell.
QString fieldText(const SpreadsheetCell &cell) {
    if (cell.kind == SpreadsheetCell::Kind::Text) {
        const auto number = cellTextNumber(cell.text);
        return number ? geometry::formatNumber(*number, geometry::kFieldPattern) : cell.text;
    }
    return geometry::formatNumber(cell.number, geometry::kFieldPattern);
}

} // namespace

std::optional<double> cellTextNumber(const QString &text) {
    QString normalized = text;
    // Thin and narrow no-break spaces group digits in some locales too.
    normalized.replace(QChar(0x202F), u' ').replace(QChar(0x2009), u' ');
    if (const auto number = geometry::textToDouble(normalized)) return number;
    // A decimal point, as written by programs and people who do not use
    // the comma; only where no comma makes the point a group separator.
    if (normalized.count(u'.') == 1 && !normalized.contains(u','))
        return geometry::textToDouble(normalized.replace(u'.', u','));
    return std::nullopt;
}

ExportResult exportCoordinates(platform::SpreadsheetService &spreadsheet,
                               const std::array<QString, 21> &x, const std::array<QString, 21> &y,
                               const QString &fileName) {
    try {
        const std::unique_ptr<SpreadsheetApplication> application = spreadsheet.createApplication();
        if (!application) return ExportResult::Failed;
        const QuitOnExit quit(*application);
        return runExport(*application, x, y, fileName);
    } catch (...) {
        // The export reports failures by its result only.
        return ExportResult::Failed;
    }
}

std::optional<ImportedCorners> importCorners(const platform::SpreadsheetColumns &columns) {
    const auto filled = [&](const std::vector<SpreadsheetCell> &column, int row) {
        const SpreadsheetCell *cell = cellAt(column, row);
        return cell && isFilled(*cell);
    };
    int lastFilledRow = 0;
    for (int row = 0; row < kRows; ++row)
        if (filled(columns.a, row) && filled(columns.b, row)) lastFilledRow = row + 1;
    if (lastFilledRow == 0) return std::nullopt;

    ImportedCorners corners;
    corners.count = std::max(lastFilledRow, 3);
    const QString zero = geometry::formatNumber(0, geometry::kFieldPattern);
    for (int row = 0; row < kRows; ++row) {
        const bool used = row < corners.count;
        for (const auto &[column, field] : {std::pair{&columns.a, &corners.x[row + 1]},
                                            std::pair{&columns.b, &corners.y[row + 1]}}) {
            if (filled(*column, row))
                *field = fieldText(*cellAt(*column, row));
            else if (used)
                return std::nullopt;
            else
                *field = zero;
        }
    }
    return corners;
}

} // namespace tarvel::files
