// Fuzzes the .xlsx reader in the process, under the sanitizers: the reader
// is ours, and nothing but a fuzzer reaches the corners of the XML that
// writers never produce.
//
// Random bytes almost never make a zip, so the input is the package's parts
// themselves, separated by NUL bytes (which XML never holds): the content
// types, the package relationships, the workbook, its relationships, the
// first worksheet and the shared strings, packed into a zip here under
// their usual names. A seventh piece, when present, is the whole file as it
// stands, to reach the zip layer too.
#include "fuzz_support.h"

#include "platform/io/xlsx_reader.h"
#include "support/zip_writer.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

using namespace tarvel;
using tarvel::fuzz::check;

namespace {

QByteArray packParts(const QList<QByteArray> &parts) {
    static const char *const names[] = {"[Content_Types].xml",      "_rels/.rels",
                                        "xl/workbook.xml",          "xl/_rels/workbook.xml.rels",
                                        "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml"};
    std::vector<std::pair<QString, QByteArray>> entries;
    for (int i = 0; i < 6 && i < parts.size(); ++i)
        entries.emplace_back(QString::fromLatin1(names[i]), parts[i]);
    return tarvel::test::makeZip(entries);
}

void checkColumns(const std::optional<platform::SpreadsheetColumns> &columns) {
    if (!columns) return;
    check(columns->a.size() == std::size_t(platform::kSpreadsheetRowsRead) &&
              columns->b.size() == std::size_t(platform::kSpreadsheetRowsRead),
          "columns are not of the rows read");
    for (const auto *column : {&columns->a, &columns->b})
        for (const auto &cell : *column) {
            if (cell.kind == platform::SpreadsheetCell::Kind::Number)
                check(std::isfinite(cell.number), "a number cell is not finite");
            if (cell.kind == platform::SpreadsheetCell::Kind::Text)
                check(!cell.text.isEmpty(), "an empty text cell");
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QList<QByteArray> parts = input.split('\0');
    const QByteArray package = packParts(parts);
    checkColumns(platform::readXlsxColumns(QByteArrayView(package)));
    if (parts.size() > 6) checkColumns(platform::readXlsxColumns(QByteArrayView(parts[6])));
    return 0;
}
