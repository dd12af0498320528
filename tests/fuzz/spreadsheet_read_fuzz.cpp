// Fuzzes the reading of workbooks users bring back: the bytes are written
// to a file named .xlsx, .ods, .csv or .xls and read through the real
// reader (liborcus, freexl), then taken through the import. A broken file
// must give "not a workbook", never a crash, a hang or garbage cells.
//
// The readers run in child processes with a memory ceiling; a child that
// meets a fault of a reader library or its ceiling prints the sanitizer's
// report and leaves a crash- or oom- file among the artifacts, yet only
// what comes back to this process decides whether the run fails.
//
// Input: byte 0 picks the name's extension (low two bits), the rest is the
// file.
#include "fuzz_support.h"

#include "files/spreadsheet_exchange.h"
#include "platform/io/spreadsheet.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

using namespace tarvel;
using platform::SpreadsheetCell;
using tarvel::fuzz::check;

namespace {

// One folder for the whole run, removed at exit.
const QString &scratchFolder() {
    static const QString folder = [] {
        QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/tarvel-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        std::atexit([] { QDir(scratchFolder()).removeRecursively(); });
        return QString::fromLocal8Bit(pattern);
    }();
    return folder;
}

void checkColumn(const std::vector<SpreadsheetCell> &column) {
    check(column.size() == platform::kSpreadsheetRowsRead, "a column not of the rows read",
          QString::number(column.size()));
    for (const SpreadsheetCell &cell : column) {
        if (cell.kind == SpreadsheetCell::Kind::Number)
            check(std::isfinite(cell.number), "a non-finite number cell");
        if (cell.kind == SpreadsheetCell::Kind::Text)
            check(!cell.text.isEmpty(), "an empty text cell");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const char *const kExtensions[] = {"xlsx", "ods", "csv", "xls"};
    tarvel::fuzz::Bytes in(data, size);
    const QString path =
        scratchFolder() + QStringLiteral("/coords.") + QLatin1String(kExtensions[in.byte() & 3]);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        const QByteArray body = in.rest();
        if (file.write(body) != body.size()) std::abort();
    }
    platform::XlsxSpreadsheet spreadsheet;
    const auto columns = spreadsheet.readColumns(path);
    QFile::remove(path);
    if (!columns) return 0;
    checkColumn(columns->a);
    checkColumn(columns->b);
    (void)files::importCorners(*columns);
    return 0;
}
