// Workbooks written by the programs people actually use (LibreOffice,
// Gnumeric, openpyxl, XlsxWriter, libxlsxwriter, odfpy, xlwt, text files
// from several locales) go through the real import path: reading the first
// worksheet, then turning its cells into field texts. Each file carries a
// trait of its writer (see tests/data/workbooks/README.md); all of them hold
// the same six corners, so one table of expected values serves every file.

#include "files/spreadsheet_exchange.h"
#include "geometry/numtext.h"
#include "platform/io/spreadsheet.h"
#include "support/qstring_print.h"
#include "support/zip_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <optional>
#include <string>

using tarvel::files::importCorners;
using tarvel::platform::readWorkbook;
using tarvel::platform::XlsxSpreadsheet;
using tarvel::test::makeZip;

namespace {

const QString kDataDir = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../data/workbooks/";

constexpr std::array<double, 6> kX = {1234.56, 1250.5, 1301.75, 1288.03, 1240.1, -15.25};
constexpr std::array<double, 6> kY = {7890.12, 7901.25, 7850.01, 7799.99, 7801.4, 7830.5};

// Every file holds the corners above on its first worksheet; the ones that
// can have more sheets carry a "Second" sheet of 999s that must stay unread.
const char *const kWorkbooks[] = {
    // .xlsx
    "libreoffice.xlsx",                   // relative targets, numbers only
    "gnumeric.xlsx",                      // numbers written with 21 digits
    "openpyxl.xlsx",                      // absolute sheet targets, sheet "Участок"
    "xlsxwriter.xlsx",                    // the common writer's plain layout
    "libxlsxwriter.xlsx",                 // the C library the export uses
    "libxlsxwriter_constant_memory.xlsx", // X of rows 2 and 4 as inline-string texts
    "handmade.xlsx",          // absolute names, rich and shared strings, formula, sheet stored last
    "text_numbers.xlsx",      // number texts with comma, blanks and no-break spaces
    "header_openpyxl.xlsx",   // header "X", "Y" in row 1, a blank row between corners 3 and 4
    "header_xlsxwriter.xlsx", // bold header row as pandas writes it
    // .ods
    "libreoffice.ods", "odfpy.ods",
    // .xls (BIFF8)
    "libreoffice.xls", // RK and MULRK records scaled by 100
    "gnumeric.xls",    // NUMBER records
    "xlwt.xls",        // MULRK records scaled by 100
    // .csv
    "comma.csv",                   // "1234.56,7890.12", UTF-8
    "semicolon_decimal_comma.csv", // "1234,56;7890,12", CRLF
    "bom.csv",                     // UTF-8 with BOM, a title in column C
    "cp1251.csv",                  // Windows-1251 text in column C
    "header_libreoffice.csv",      // "X","Y" header, quoted decimal-comma numbers
};

class WorkbookImport : public ::testing::TestWithParam<const char *> {};

TEST_P(WorkbookImport, GivesTheSixCornersAsFieldTexts) {
    const QString path = kDataDir + QString::fromUtf8(GetParam());
    ASSERT_TRUE(QFileInfo::exists(path)) << path.toStdString();

    const auto columns = XlsxSpreadsheet().readColumns(path);
    ASSERT_TRUE(columns.has_value()) << "the file was not read as a workbook";
    const auto outcome = importCorners(*columns);
    const auto &corners = outcome.corners;
    ASSERT_TRUE(corners.has_value()) << outcome.message.toStdString();

    EXPECT_EQ(corners->count, 6);
    for (int i = 1; i <= 6; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(corners->x[i],
                  tarvel::geometry::formatNumber(kX[i - 1], tarvel::geometry::kFieldPattern));
        EXPECT_EQ(corners->y[i],
                  tarvel::geometry::formatNumber(kY[i - 1], tarvel::geometry::kFieldPattern));
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, WorkbookImport, ::testing::ValuesIn(kWorkbooks),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             std::string name = info.param;
                             for (char &c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// A header and twenty-one corners, once more than the program took: now
// taken whole.
TEST(WorkbookImportManyRows, TakesTheTwentyOneCornersUnderAHeader) {
    const auto columns = XlsxSpreadsheet().readColumns(kDataDir + "too_many_rows.xlsx");
    ASSERT_TRUE(columns.has_value());
    const auto outcome = importCorners(*columns);
    ASSERT_TRUE(outcome.corners.has_value()) << outcome.message.toStdString();
    EXPECT_EQ(outcome.corners->count, 21);
    // Corner i is (i, i mod 5).
    EXPECT_EQ(outcome.corners->x[1], " 1,00");
    EXPECT_EQ(outcome.corners->y[1], " 1,00");
    EXPECT_EQ(outcome.corners->x[21], " 21,00");
    EXPECT_EQ(outcome.corners->y[21], " 1,00");
    EXPECT_EQ(outcome.corners->y[20], " 0,00");
}

// A header and up to 10 000 corners are taken; 10 001 are one more than the
// program takes, and taking 10 000 of them in silence would hand the user
// another polygon.
TEST(WorkbookImportTooManyRows, TakesTenThousandAndRefusesNamingThe10001st) {
    struct Case {
        const char *name;
        int rows;
        int count; // 0: refused with `message`
        const char *message;
    };
    const Case cases[] = {
        {"ten thousand corners", 10000, 10000, ""},
        {"ten thousand and one corners", 10001, 0,
         "Ошибка импорта! Строка 10002, столбец A: в файле больше 10000 строк с координатами, "
         "а программа принимает не больше 10000 углов."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("many_rows.csv");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray bytes = "X,Y\n";
        for (int i = 1; i <= c.rows; ++i)
            bytes += QByteArray::number(i) + ",1.5\n";
        ASSERT_EQ(file.write(bytes), bytes.size());
        file.close();

        const auto columns = XlsxSpreadsheet().readColumns(path);
        ASSERT_TRUE(columns.has_value());
        const auto outcome = importCorners(*columns);
        EXPECT_EQ(outcome.message, QString::fromUtf8(c.message));
        ASSERT_EQ(outcome.corners.has_value(), c.count != 0);
        if (!outcome.corners) continue;
        EXPECT_EQ(outcome.corners->count, c.count);
        EXPECT_EQ(outcome.corners->x[10000], "10 000,00");
        EXPECT_EQ(outcome.corners->y[10000], " 1,50");
    }
}

// B3 holds #DIV/0!, once as a plain error cell, once as the cached result
// of =1/0. Importing the rest around it would hand the user a polygon with
// a made-up or stale corner, so the import fails as a whole and names B3.
TEST(WorkbookImportErrorCell, FailsTheWholeImportNamingTheCell) {
    for (const char *file : {"error_cell.xlsx", "error_formula.xlsx"}) {
        SCOPED_TRACE(file);
        const QString path = kDataDir + QString::fromUtf8(file);
        ASSERT_TRUE(QFileInfo::exists(path)) << path.toStdString();

        const auto columns = XlsxSpreadsheet().readColumns(path);
        ASSERT_TRUE(columns.has_value());
        const auto outcome = importCorners(*columns);
        EXPECT_FALSE(outcome.corners.has_value())
            << "a workbook with an error cell among the corners was imported";
        EXPECT_EQ(outcome.message, "Ошибка импорта! Строка 3, столбец B: ошибка в ячейке");
    }
}

// A1 = 2.5 and, in B1, 7.25 wrapped in `levels` nested elements: inside the
// written number of an .xlsx, inside the text beside the stored value of an
// .ods. Each with only what its reader needs.
QByteArray nestedWorkbook(const char *format, int levels) {
    const QByteArray nested =
        QByteArray("<a>").repeated(levels) + "7.25" + QByteArray("</a>").repeated(levels);
    if (QByteArray(format) == "xlsx")
        return makeZip(
            {{"[Content_Types].xml", "<Types/>"},
             {"xl/workbook.xml", R"(<workbook xmlns:r="r"><sheet r:id="rId1"/></workbook>)"},
             {"xl/_rels/workbook.xml.rels",
              R"(<Relationships><Relationship Id="rId1" Type="worksheet")"
              R"( Target="worksheets/sheet1.xml"/></Relationships>)"},
             {"xl/worksheets/sheet1.xml",
              R"(<worksheet><sheetData><row r="1"><c r="A1"><v>2.5</v></c><c r="B1"><v>)" + nested +
                  "</v></c></row></sheetData></worksheet>"}});
    const QByteArray content =
        R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0")"
        R"( xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0")"
        R"( xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body>)"
        R"(<office:spreadsheet><table:table><table:table-row><table:table-cell)"
        R"( office:value-type="float" office:value="2.5"/><table:table-cell)"
        R"( office:value-type="float" office:value="7.25"><text:p>)" +
        nested +
        "</text:p></table:table-cell></table:table-row></table:table></office:spreadsheet>"
        "</office:body></office:document-content>";
    return makeZip(
        {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", content}});
}

// Parsers follow nested elements down the stack; a cell nesting two hundred
// thousand of them once took the reader down. Such a file reads as no
// workbook at all, in the reader and in this process alike (where a
// recursion that deep would end the test), while a cell nesting a handful
// of levels still gives its number.
TEST(WorkbookImportNesting, DeepNestingIsNoWorkbookAHandfulOfLevelsReads) {
    struct Case {
        const char *name;
        const char *format;
        int levels;
        bool reads;
    };
    const Case cases[] = {
        {"xlsx, 200 000 levels in a cell", "xlsx", 200000, false},
        {"xlsx, 5 levels in a cell", "xlsx", 5, true},
        {"ods, 200 000 levels in a cell", "ods", 200000, false},
        {"ods, 5 levels in a cell", "ods", 5, true},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("nested.") + c.format);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray bytes = nestedWorkbook(c.format, c.levels);
        ASSERT_EQ(file.write(bytes), bytes.size());
        file.close();

        const auto inReader = XlsxSpreadsheet().readColumns(path);
        const auto inProcess = readWorkbook(path);
        for (const auto *columns : {&inReader, &inProcess}) {
            ASSERT_EQ(columns->has_value(), c.reads);
            if (!c.reads) continue;
            EXPECT_EQ((*columns)->a[0].number, 2.5);
            EXPECT_EQ((*columns)->b[0].number, 7.25);
        }
    }
}

} // namespace
