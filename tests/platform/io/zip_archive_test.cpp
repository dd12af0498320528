// Entries taken out of zip archives: the extract the registry sends (the
// committed tests/data/egrn/extract.zip, written by Python's zipfile beside
// the XML it holds), archives built here with libzip, and the module the
// program loads.
#include "platform/io/zip_archive.h"

#include "support/qstring_print.h"
#include "support/zip_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>

#include <gtest/gtest.h>

#include <memory>

using namespace tarvel::platform;
using tarvel::test::makeZip;

namespace {

const QString kDataDir =
    QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../../data/egrn/";

QByteArray dataFile(const QString &name) {
    QFile f(kDataDir + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString kStem = QStringLiteral("report-5f0c2a7e-3b1d-4c8e-9a62-0d4e7f1b2c3a-EGRN-2024-05-14");

struct EntryRow {
    const char *name;
    QByteArray zip;
    QString suffix;
    qint64 maxBytes;
    ArchiveEntry::Outcome outcome;
    QString entryName;     // when found
    QByteArray data;       // when read
};

void PrintTo(const EntryRow &row, std::ostream *os) { *os << row.name; }

class ZipEntries : public testing::TestWithParam<EntryRow> {};

TEST_P(ZipEntries, FirstEntryWithTheSuffix) {
    const EntryRow &row = GetParam();
    ASSERT_FALSE(row.zip.isEmpty() && row.outcome != ArchiveEntry::Outcome::Unreadable);
    ZipArchive archive;
    const ArchiveEntry entry = archive.readFirstEntry(row.zip, row.suffix, row.maxBytes);
    EXPECT_EQ(entry.outcome, row.outcome);
    if (row.outcome == ArchiveEntry::Outcome::Read || row.outcome == ArchiveEntry::Outcome::TooLarge)
        EXPECT_EQ(entry.name, row.entryName);
    EXPECT_EQ(entry.data, row.data);
}

constexpr qint64 kMiB = 1024 * 1024;

const EntryRow kEntries[] = {
    {"registry_zip_gives_its_xml", dataFile(QStringLiteral("extract.zip")), QStringLiteral(".xml"),
     kMiB, ArchiveEntry::Outcome::Read, kStem + ".xml", dataFile(QStringLiteral("one_contour.xml"))},
    {"entry_over_the_limit", dataFile(QStringLiteral("extract.zip")), QStringLiteral(".xml"),
     dataFile(QStringLiteral("one_contour.xml")).size() - 1, ArchiveEntry::Outcome::TooLarge,
     kStem + ".xml", {}},
    {"entry_at_the_limit", dataFile(QStringLiteral("extract.zip")), QStringLiteral(".xml"),
     dataFile(QStringLiteral("one_contour.xml")).size(), ArchiveEntry::Outcome::Read,
     kStem + ".xml", dataFile(QStringLiteral("one_contour.xml"))},
    {"no_such_entry", dataFile(QStringLiteral("extract.zip")), QStringLiteral(".dxf"), kMiB,
     ArchiveEntry::Outcome::NotFound, {}, {}},
    {"no_zip", dataFile(QStringLiteral("one_contour.xml")), QStringLiteral(".xml"), kMiB,
     ArchiveEntry::Outcome::Unreadable, {}, {}},
    {"nothing", QByteArray(), QStringLiteral(".xml"), kMiB, ArchiveEntry::Outcome::Unreadable, {},
     {}},
    // Sixteen megabytes of zeros deflate to a few kilobytes.
    {"zip_bomb", makeZip({{QStringLiteral("bomb.xml"), QByteArray(16 * kMiB, '\0')}}),
     QStringLiteral(".xml"), kMiB, ArchiveEntry::Outcome::TooLarge, QStringLiteral("bomb.xml"), {}},
    {"litter_of_other_archivers_passed_over",
     makeZip({{QStringLiteral("__MACOSX/._plot.xml"), "litter"},
              {QStringLiteral("folder/._plot.xml"), "litter"},
              {QStringLiteral("folder/plot.xml"), "<plot/>"}}),
     QStringLiteral(".xml"), kMiB, ArchiveEntry::Outcome::Read, QStringLiteral("folder/plot.xml"),
     "<plot/>"},
    {"archive_within_the_archive",
     makeZip({{QStringLiteral("readme.txt"), "read me"},
              {QStringLiteral("inner.zip"),
               makeZip({{QStringLiteral("plot.xml.sig"), "sig"},
                        {QStringLiteral("plot.xml"), "<plot/>"}})}}),
     QStringLiteral(".xml"), kMiB, ArchiveEntry::Outcome::Read,
     QStringLiteral("inner.zip/plot.xml"), "<plot/>"},
    {"only_one_level_deep",
     makeZip({{QStringLiteral("outer.zip"),
               makeZip({{QStringLiteral("inner.zip"),
                         makeZip({{QStringLiteral("plot.xml"), "<plot/>"}})}})}}),
     QStringLiteral(".xml"), kMiB, ArchiveEntry::Outcome::NotFound, {}, {}},
};

INSTANTIATE_TEST_SUITE_P(ZipArchive, ZipEntries, testing::ValuesIn(kEntries),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ArchiveModuleTest, HandsOutTheArchiveService) {
    QLibrary library(QStringLiteral(TARVEL_MODULE_DIR "/tarvel_archive_module"));
    ASSERT_TRUE(library.load()) << library.errorString().toStdString();
    using Create = void *(*)();
    const auto create = reinterpret_cast<Create>(library.resolve("tarvel_create_archive"));
    ASSERT_NE(create, nullptr);
    const std::unique_ptr<ArchiveService> archives(static_cast<ArchiveService *>(create()));
    const ArchiveEntry entry =
        archives->readFirstEntry(dataFile(QStringLiteral("extract.zip")), QStringLiteral(".xml"),
                                 kMiB);
    EXPECT_EQ(entry.outcome, ArchiveEntry::Outcome::Read);
    EXPECT_EQ(entry.data, dataFile(QStringLiteral("one_contour.xml")));
    EXPECT_EQ(archives->readFirstEntry(dataFile(QStringLiteral("extract.zip")),
                                       QStringLiteral(".xml"), 100)
                  .outcome,
              ArchiveEntry::Outcome::TooLarge);
}

} // namespace
