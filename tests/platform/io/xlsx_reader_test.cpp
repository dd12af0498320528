#include "platform/io/xlsx_reader.h"
#include "support/zip_writer.h"

#include <gtest/gtest.h>

#include <optional>

using namespace tarvel::platform;
using tarvel::test::makeZip;
using Kind = SpreadsheetCell::Kind;

namespace {

const QByteArray kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

QByteArray contentTypes() {
    return R"(<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>)";
}

QByteArray rels(const QList<std::pair<QByteArray, QByteArray>> &typeAndTarget) {
    QByteArray out =
        R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    int id = 1;
    for (const auto &[type, target] : typeAndTarget)
        out += "<Relationship Id=\"rId" + QByteArray::number(id++) + "\" Type=\"" + kRelNs + "/" +
               type + "\" Target=\"" + target + "\"/>";
    return out + "</Relationships>";
}

QByteArray workbook() {
    return "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRelNs +
           "\"><sheets><sheet name=\"Участок\" sheetId=\"1\" r:id=\"rId1\"/>"
           "<sheet name=\"Second\" sheetId=\"2\" r:id=\"rId2\"/></sheets></workbook>";
}

QByteArray sheet(const QByteArray &rows) {
    return "<worksheet xmlns=\"" + kMain + "\"><sheetData>" + rows + "</sheetData></worksheet>";
}

QByteArray shared(const QByteArray &items) {
    return "<sst xmlns=\"" + kMain + "\">" + items + "</sst>";
}

// A package with relative targets, as most writers make it; the second
// worksheet holds 999 everywhere and must never be read.
QByteArray package(const QByteArray &rows, const QByteArray &sharedItems = {}) {
    return makeZip(
        {{"[Content_Types].xml", contentTypes()},
         {"_rels/.rels", rels({{"officeDocument", "xl/workbook.xml"}})},
         {"xl/workbook.xml", workbook()},
         {"xl/_rels/workbook.xml.rels", rels({{"worksheet", "worksheets/sheet1.xml"},
                                              {"worksheet", "worksheets/sheet2.xml"},
                                              {"sharedStrings", "sharedStrings.xml"}})},
         {"xl/worksheets/sheet2.xml", sheet(R"(<row r="1"><c r="A1"><v>999</v></c></row>)")},
         {"xl/worksheets/sheet1.xml", sheet(rows)},
         {"xl/sharedStrings.xml", shared(sharedItems)}});
}

std::optional<SpreadsheetColumns> read(const QByteArray &zip) {
    return readXlsxColumns(QByteArrayView(zip));
}

} // namespace

TEST(XlsxReader, FollowsRelationshipsWhateverTheirForm) {
    const QByteArray rows =
        R"(<row r="1"><c r="A1"><v>12.5</v></c><c r="B1" t="n"><v>-7</v></c></row>)";
    // Absolute targets (openpyxl), part names in other case than the
    // targets, and the worksheet stored before the workbook.
    const QByteArray absolute =
        makeZip({{"XL/WORKSHEETS/SHEET1.XML", sheet(rows)},
                 {"[Content_Types].xml", contentTypes()},
                 {"_rels/.rels", rels({{"officeDocument", "/xl/workbook.xml"}})},
                 {"xl/workbook.xml", workbook()},
                 {"xl/_rels/workbook.xml.rels",
                  rels({{"worksheet", "/xl/worksheets/sheet1.xml"},
                        {"worksheet", "/xl/./other/../worksheets/sheet1.xml"}})}});
    // A workbook part in a folder of its own and a target that climbs out.
    const QByteArray elsewhere =
        makeZip({{"[Content_Types].xml", contentTypes()},
                 {"_rels/.rels", rels({{"officeDocument", "book/main%20part.xml"}})},
                 {"book/main part.xml", workbook()},
                 {"book/_rels/main part.xml.rels", rels({{"worksheet", "../sheets/first.xml"}})},
                 {"sheets/first.xml", sheet(rows)}});
    for (const auto &[name, zip] :
         {std::pair{"relative", package(rows)}, std::pair{"absolute", absolute},
          std::pair{"elsewhere", elsewhere}}) {
        const auto columns = read(zip);
        ASSERT_TRUE(columns) << name;
        ASSERT_EQ(columns->a.size(), std::size_t{kSpreadsheetRowsRead});
        ASSERT_EQ(columns->b.size(), std::size_t{kSpreadsheetRowsRead});
        EXPECT_EQ(columns->a[0].number, 12.5) << name;
        EXPECT_EQ(columns->b[0].number, -7) << name;
        EXPECT_EQ(columns->a[1].kind, Kind::Empty) << name;
    }
}

TEST(XlsxReader, ReadsEveryKindOfCell) {
    const QByteArray rows =
        // shared string, inline string, inline rich text
        R"(<row r="1"><c r="A1" t="s"><v>1</v></c><c r="B1" t="inlineStr"><is><t xml:space="preserve"> 7 </t></is></c></row>)"
        R"(<row r="2"><c r="A2" t="inlineStr"><is><r><t>12</t></r><r><rPr><b/></rPr><t>34.5</t></r></is></c>)"
        // rich shared string with a phonetic hint that is not part of it
        R"(<c r="B2" t="s"><v>2</v></c></row>)"
        // formula results: number and text; booleans; a date
        R"(<row r="3"><c r="A3"><f>1+1</f><v>2</v></c><c r="B3" t="str"><f>"a"</f><v>a</v></c></row>)"
        R"(<row r="4"><c r="A4" t="b"><v>1</v></c><c r="B4" t="d"><v>2024-01-31</v></c></row>)"
        // cells and rows without positions follow the one before
        R"(<row><c><v>5</v></c><c><v>6</v></c></row>)"
        R"(<row r="7"><c r="B7" s="3"/><c r="C7" t="e"><v>#REF!</v></c></row>)"
        R"(<row r="20"><c r="A20"><v>1E+3</v></c></row>)"
        // past the table anything goes, even an error
        R"(<row r="101"><c r="A101" t="e"><v>#DIV/0!</v></c></row>)";
    const QByteArray strings =
        R"(<si><t>zero</t></si><si><t>1,5</t></si>)"
        R"(<si><r><t>до</t></r><r><t>м</t></r><rPh sb="0" eb="1"><t>ДОМ</t></rPh></si>)";
    const auto columns = read(package(rows, strings));
    ASSERT_TRUE(columns);
    const auto &a = columns->a;
    const auto &b = columns->b;
    EXPECT_EQ(a[0].text, "1,5");
    EXPECT_EQ(b[0].text, " 7 ");
    EXPECT_EQ(a[1].text, "1234.5");
    EXPECT_EQ(b[1].text, "дом");
    EXPECT_EQ(a[2].number, 2);
    EXPECT_EQ(b[2].text, "a");
    EXPECT_EQ(a[3].text, "TRUE");
    EXPECT_EQ(b[3].text, "2024-01-31");
    EXPECT_EQ(a[4].number, 5);
    EXPECT_EQ(b[4].number, 6);
    EXPECT_EQ(a[5].kind, Kind::Empty);
    EXPECT_EQ(b[6].kind, Kind::Empty); // styled but blank
    EXPECT_EQ(a[19].number, 1000);
}

// A cell of the table that cannot be read is an Error cell: skipped, it
// would leave the previous polygon's value in its field, and the import
// names it. A cell that claims another row's place breaks the sheet.
TEST(XlsxReader, UnreadableCellsInTheTableReadAsErrors) {
    const std::vector<std::pair<const char *, QByteArray>> cells = {
        {"error value", R"(<c r="A3" t="e"><v>#DIV/0!</v></c>)"},
        {"formula never computed", R"(<c r="A3"><f>A1*2</f></c>)"},
        {"number that is none", R"(<c r="A3"><v>1,5</v></c>)"},
        {"infinite number", R"(<c r="A3"><v>1e999</v></c>)"},
        {"shared string out of range", R"(<c r="A3" t="s"><v>7</v></c>)"},
        {"unknown type", R"(<c r="A3" t="x"><v>1</v></c>)"},
    };
    for (const auto &[name, cell] : cells) {
        SCOPED_TRACE(name);
        const auto columns = read(package(
            "<row r=\"3\">" + cell + R"(<c r="B3"><v>2</v></c></row>)", "<si><t>x</t></si>"));
        ASSERT_TRUE(columns);
        EXPECT_EQ(columns->a[2].kind, Kind::Error);
        EXPECT_EQ(columns->b[2].number, 2); // the rest of the row is still read
    }
    EXPECT_FALSE(read(package(R"(<row r="3"><c r="A4"><v>1</v></c></row>)")));
}

TEST(XlsxReader, BrokenPackagesReadAsNothing) {
    const QByteArray good = package(R"(<row r="1"><c r="A1"><v>1</v></c></row>)");
    const auto without = [](const QString &missing) {
        std::vector<std::pair<QString, QByteArray>> entries = {
            {"[Content_Types].xml", contentTypes()},
            {"_rels/.rels", rels({{"officeDocument", "xl/workbook.xml"}})},
            {"xl/workbook.xml", workbook()},
            {"xl/_rels/workbook.xml.rels", rels({{"worksheet", "worksheets/sheet1.xml"}})},
            {"xl/worksheets/sheet1.xml", sheet({})}};
        std::erase_if(entries, [&](const auto &e) { return e.first == missing; });
        return makeZip(entries);
    };
    // A part that inflates past the limit: a few hundred kilobytes of zip.
    const QByteArray huge =
        makeZip({{"[Content_Types].xml", contentTypes()},
                 {"_rels/.rels", rels({{"officeDocument", "xl/workbook.xml"}})},
                 {"xl/workbook.xml", workbook()},
                 {"xl/_rels/workbook.xml.rels", rels({{"worksheet", "worksheets/sheet1.xml"}})},
                 {"xl/worksheets/sheet1.xml", sheet(QByteArray(kMaxXlsxPartBytes, ' '))}});
    const std::vector<std::pair<const char *, QByteArray>> broken = {
        {"empty", {}},
        {"not a zip", "PK\x03\x04 no zip at all"},
        {"cut in half", good.left(good.size() / 2)},
        {"no workbook", without("xl/workbook.xml")},
        {"no worksheet", without("xl/worksheets/sheet1.xml")},
        {"no workbook relationships", without("xl/_rels/workbook.xml.rels")},
        {"sheet that is no XML",
         makeZip({{"[Content_Types].xml", contentTypes()},
                  {"xl/workbook.xml", workbook()},
                  {"xl/_rels/workbook.xml.rels", rels({{"worksheet", "worksheets/sheet1.xml"}})},
                  {"xl/worksheets/sheet1.xml", "<worksheet><sheetData><row"}})},
        {"part past the limit", huge},
    };
    ASSERT_TRUE(read(good));
    for (const auto &[name, zip] : broken)
        EXPECT_FALSE(read(zip)) << name;
    // Without the package relationships the usual workbook name is taken.
    EXPECT_TRUE(read(without("_rels/.rels")));
    EXPECT_TRUE(isXlsxPackage(QByteArrayView(good)));
    EXPECT_FALSE(isXlsxPackage(QByteArrayView(without("[Content_Types].xml"))));
}

// A tag crowded with attributes (a hundred thousand of them take the XML
// reader many seconds) still gives its cells: the attributes the reader
// needs survive, wherever they stand among the others.
TEST(XlsxReader, CrowdedTagsKeepWhatTheReaderNeeds) {
    const auto padding = [](int count, const char *quote) {
        QByteArray out;
        for (int i = 0; i < count; ++i)
            out += " a" + QByteArray::number(i) + "=" + quote + "x>y" + quote;
        return out;
    };
    struct Row {
        const char *name;
        QByteArray rows;
    };
    const std::vector<Row> cases = {
        {"a row with a thousand attributes",
         "<row r=\"1\"" + padding(1000, "\"") +
             R"(><c r="A1"><v>3</v></c><c r="B1"><v>4</v></c></row>)"},
        {"the row number after the crowd",
         "<row" + padding(100, "'") + R"( r="1"><c r="A1"><v>3</v></c><c r="B1"><v>4</v></c></row>)"},
        {"a crowded cell keeps its type and place",
         R"(<row r="1"><c)" + padding(100, "\"") +
             R"( t="s" r="A1"><v>0</v></c><c r="B1"><v>4</v></c></row>)"},
        {"a few attributes are left alone",
         "<row r=\"1\"" + padding(60, "\"") +
             R"(><c r="A1"><v>3</v></c><c r="B1"><v>4</v></c></row>)"},
    };
    for (const Row &c : cases) {
        SCOPED_TRACE(c.name);
        const auto columns = read(package(c.rows, "<si><t>3</t></si>"));
        ASSERT_TRUE(columns);
        EXPECT_EQ(columns->a[0].kind == Kind::Text ? columns->a[0].text.toDouble()
                                                    : columns->a[0].number,
                  3);
        EXPECT_EQ(columns->b[0].number, 4);
    }
}
