// The modules the program loads on first use: each one built beside the
// executable hands out its service, and a program that cannot find them
// goes on as if the work had been refused, without crashing.
#include "platform/services/lazy_modules.h"

#include <QLibrary>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

using namespace tarvel::platform;

namespace {

template <class Service> std::unique_ptr<Service> create(const char *module, const char *factory) {
    QLibrary library(QStringLiteral(TARVEL_MODULE_DIR "/") + QString::fromLatin1(module));
    EXPECT_TRUE(library.load()) << library.errorString().toStdString();
    using Create = void *(*)();
    const auto make = reinterpret_cast<Create>(library.resolve(factory));
    EXPECT_NE(make, nullptr) << factory;
    return std::unique_ptr<Service>(make ? static_cast<Service *>(make()) : nullptr);
}

} // namespace

TEST(LazyModulesTest, EachModuleHandsOutItsService) {
    auto printer = create<PrinterService>("tarvel_print_module", "tarvel_create_printer");
    EXPECT_NE(printer, nullptr);
    auto sheet = create<SpreadsheetService>("tarvel_sheet_module", "tarvel_create_spreadsheet");
    ASSERT_NE(sheet, nullptr);
    // The workbook module reads through the same code as the program.
    EXPECT_EQ(sheet->readColumns(QStringLiteral("/nonexistent/book.xlsx")), std::nullopt);
}

TEST(LazyModulesTest, WithoutTheModulesWorkIsRefusedNotCrashed) {
    // The test runs where no module lies beside it or in ../lib/tarvel.
    LazyPrinter printer;
    bool painted = false;
    EXPECT_FALSE(printer.print(nullptr, [&](QPainter &, int) { painted = true; }));
    EXPECT_FALSE(printer.print(nullptr, [&](QPainter &, int) { painted = true; }));
    EXPECT_FALSE(painted);

    LazySpreadsheet sheet;
    EXPECT_EQ(sheet.createApplication(), nullptr);
    EXPECT_EQ(sheet.readColumns(QStringLiteral("/tmp/none.xlsx")), std::nullopt);

    LazyArchive archives;
    const QByteArray emptyZip("PK\x05\x06" + QByteArray(18, '\0'));
    EXPECT_EQ(archives.readFirstEntry(emptyZip, QStringLiteral(".xml"), 1024).outcome,
              ArchiveEntry::Outcome::Unreadable);
}

TEST(LazyModulesTest, WithoutTheGisModuleNoReadingStarts) {
    // The GIS module comes in a package of its own, which may be missing:
    // none lies beside the test or in ../lib/tarvel, nor under another name.
    LazyGis usual;
    LazyGis misnamed("tarvel_no_such_module");
    for (LazyGis *gis : {&usual, &misnamed}) {
        EXPECT_FALSE(gis->available());
        const GisReading reading = gis->read(QStringLiteral("/tmp/plot.dxf"), {});
        EXPECT_EQ(reading.outcome, GisReading::Outcome::NoModule);
        EXPECT_TRUE(reading.shapes.empty());
        // Asked again, it does not load on a second try either.
        EXPECT_EQ(gis->read(QStringLiteral("/tmp/plot.dxf"), {}).outcome,
                  GisReading::Outcome::NoModule);
    }
}
