#include "files/spreadsheet_exchange.h"

#include "geometry/numtext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace tarvel::files {

using platform::SpreadsheetApplication;
using platform::SpreadsheetCell;
using platform::SpreadsheetError;

namespace {


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

// The number format that shows a coordinate with the decimals it was typed
// with: two at least, as the table shows them, and up to the four the
// export keeps.
QString numberFormatFor(const QString &typed) {
    const qsizetype comma = typed.indexOf(QLatin1Char(','));
    int decimals = 0;
    if (comma >= 0 && !typed.contains(QLatin1Char('E'), Qt::CaseInsensitive))
        for (qsizetype i = comma + 1; i < typed.size(); ++i)
            if (typed[i].isDigit()) ++decimals;
    return QStringLiteral("0.") + QString(std::clamp(decimals, 2, 4), QLatin1Char('0'));
}

ExportResult runExport(SpreadsheetApplication &application, const geometry::TextColumn &x,
                       const geometry::TextColumn &y, int count, const QString &fileName) {
    platform::SpreadsheetWorkbook &workbook = application.WorkbooksAdd();
    platform::SpreadsheetWorksheet &sheet = workbook.Worksheets(1);

    std::vector<std::int64_t> fixedX(std::size_t(count) + 1);
    std::vector<std::int64_t> fixedY(std::size_t(count) + 1);
    for (int i = 1; i <= count; ++i) {
        const auto valueX = geometry::textToFixed4(x[i]);
        const auto valueY = geometry::textToFixed4(y[i]);
        if (!valueX || !valueY) return ExportResult::Failed;
        fixedX[i] = *valueX;
        fixedY[i] = *valueY;
    }

    // The columns' heading in row 1, corner i in row i + 1; the import passes
    // over the heading.
    sheet.setName(kExportSheetName);
    sheet.Range(QStringLiteral("A1")).setText(QStringLiteral("X"));
    sheet.Range(QStringLiteral("B1")).setText(QStringLiteral("Y"));
    for (int i = 1; i <= count; ++i) {
        const QString row = QString::number(i + 1);
        platform::SpreadsheetRange &a = sheet.Range(u'A' + row);
        a.setValue(static_cast<double>(fixedX[i]) / 10000.0);
        a.setNumberFormat(numberFormatFor(x[i]));
        platform::SpreadsheetRange &b = sheet.Range(u'B' + row);
        b.setValue(static_cast<double>(fixedY[i]) / 10000.0);
        b.setNumberFormat(numberFormatFor(y[i]));
    }
    sheet.Range(QStringLiteral("A1:B") + QString::number(count + 1)).setHorizontalAlignment(4);

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
    case SpreadsheetCell::Kind::Error:
        return true;
    case SpreadsheetCell::Kind::Empty:
        break;
    }
    return false;
}

SpreadsheetCell cellAt(const std::vector<SpreadsheetCell> &column, int row) {
    return row < static_cast<int>(column.size()) ? column[static_cast<std::size_t>(row)]
                                                 : SpreadsheetCell{};
}

// The number a cell stands for, if any.
std::optional<double> cellNumber(const SpreadsheetCell &cell) {
    switch (cell.kind) {
    case SpreadsheetCell::Kind::Number:
        if (std::isfinite(cell.number) && std::abs(cell.number) <= geometry::kLargestCoordinate)
            return cell.number;
        break;
    case SpreadsheetCell::Kind::Text:
        return cellTextNumber(cell.text);
    case SpreadsheetCell::Kind::Error:
    case SpreadsheetCell::Kind::Empty:
        break;
    }
    return std::nullopt;
}

// Why a cell of a corner's row cannot be taken.
QString cellFault(const SpreadsheetCell &cell) {
    if (!isFilled(cell)) return QStringLiteral("пустая ячейка");
    if (cell.kind == SpreadsheetCell::Kind::Error) return QStringLiteral("ошибка в ячейке");
    return QStringLiteral("не число");
}

ImportOutcome failure(int row, int column, const QString &what) {
    return {std::nullopt, QStringLiteral("Ошибка импорта! Строка %1, столбец %2: %3")
                              .arg(row + 1)
                              .arg(QChar(u'A' + column))
                              .arg(what)};
}

} // namespace

std::optional<double> cellTextNumber(const QString &text) {
    QString normalized = text;
    // Thin and narrow no-break spaces group digits in some locales too.
    normalized.replace(QChar(0x202F), u' ').replace(QChar(0x2009), u' ');
    if (const auto number = geometry::textToCoordinate(normalized)) return number;
    // A decimal point, as written by programs and people who do not use
    // the comma; only where no comma makes the point a group separator.
    if (normalized.count(u'.') == 1 && !normalized.contains(u','))
        return geometry::textToCoordinate(normalized.replace(u'.', u','));
    return std::nullopt;
}

ExportResult exportCoordinates(platform::SpreadsheetService &spreadsheet,
                               const geometry::TextColumn &x, const geometry::TextColumn &y,
                               int count, const QString &fileName) {
    try {
        const std::unique_ptr<SpreadsheetApplication> application = spreadsheet.createApplication();
        if (!application) return ExportResult::Failed;
        const QuitOnExit quit(*application);
        return runExport(*application, x, y, std::clamp(count, 3, kMaxImportedCorners), fileName);
    } catch (...) {
        // The export reports failures by its result only.
        return ExportResult::Failed;
    }
}

ImportOutcome importCorners(const platform::SpreadsheetColumns &columns) {
    const int rows = static_cast<int>(std::max(columns.a.size(), columns.b.size()));
    const auto cells = [&](int row) {
        return std::array{cellAt(columns.a, row), cellAt(columns.b, row)};
    };

    int row = 0;
    // A header: something written in the first row, and no number in it.
    if (const auto first = cells(0); std::ranges::any_of(first, isFilled) &&
                                     std::ranges::none_of(first, [](const SpreadsheetCell &c) {
                                         return c.kind == SpreadsheetCell::Kind::Error ||
                                                cellNumber(c).has_value();
                                     }))
        row = 1;

    std::vector<double> x(1), y(1);
    int count = 0;
    for (; row < rows; ++row) {
        const auto rowCells = cells(row);
        if (std::ranges::none_of(rowCells, isFilled)) continue;
        if (count == kMaxImportedCorners)
            return failure(row, 0,
                           QStringLiteral("в файле больше %1 строк с координатами, а программа "
                                          "принимает не больше %1 углов.")
                               .arg(kMaxImportedCorners));
        ++count;
        x.push_back(0);
        y.push_back(0);
        for (int column = 0; column < 2; ++column) {
            const auto number = cellNumber(rowCells[static_cast<std::size_t>(column)]);
            if (!number)
                return failure(row, column, cellFault(rowCells[static_cast<std::size_t>(column)]));
            (column == 0 ? x : y)[static_cast<std::size_t>(count)] = *number;
        }
    }
    if (count == 0)
        return {std::nullopt,
                QStringLiteral("Ошибка импорта! В столбцах A и B первого листа нет координат.")};

    ImportedCorners corners;
    corners.count = std::max(count, 3);
    x.resize(std::size_t(corners.count) + 1, 0.0);
    y.resize(std::size_t(corners.count) + 1, 0.0);
    for (int i = 1; i <= corners.count; ++i) {
        const auto index = static_cast<std::size_t>(i);
        corners.x[index] = geometry::formatNumber(x[index], geometry::kFieldPattern);
        corners.y[index] = geometry::formatNumber(y[index], geometry::kFieldPattern);
    }
    return {corners, {}};
}

} // namespace tarvel::files
