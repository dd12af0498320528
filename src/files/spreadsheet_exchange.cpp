#include "files/spreadsheet_exchange.h"

#include "platform/numtext.h"

#include <algorithm>
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
        const auto valueX = textToFixed4(x[i]);
        const auto valueY = textToFixed4(y[i]);
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
        return true;
    case SpreadsheetCell::Kind::Text:
        return !cell.text.trimmed().isEmpty();
    case SpreadsheetCell::Kind::Empty:
        break;
    }
    return false;
}

std::optional<QString> fieldText(const std::vector<SpreadsheetCell> &column, int row) {
    if (row >= static_cast<int>(column.size()) || !isFilled(column[row])) return std::nullopt;
    const SpreadsheetCell &cell = column[row];
    if (cell.kind == SpreadsheetCell::Kind::Text) return cell.text;
    // Non-finite numbers format as empty text: nothing to take over.
    QString text = formatNumber(cell.number, kFieldPattern);
    if (text.isEmpty()) return std::nullopt;
    return text;
}

} // namespace

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
    ImportedCorners corners;
    int lastFilledRow = 0;
    for (int row = 0; row < kRows; ++row) {
        corners.x[row + 1] = fieldText(columns.a, row);
        corners.y[row + 1] = fieldText(columns.b, row);
        if (corners.x[row + 1] && corners.y[row + 1]) lastFilledRow = row + 1;
    }
    if (lastFilledRow == 0) return std::nullopt;
    corners.count = std::max(lastFilledRow, 3);
    return corners;
}

} // namespace tarvel::files
