#include "files/spreadsheet_exchange.h"
#include "geometry/numtext.h"
#include "platform/io/spreadsheet.h"
#include "platform/io/xlsx_probe.h"
#include "support/fake_services.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <limits>
#include <memory>
#include <ostream>

using namespace tarvel::files;
using namespace tarvel::platform;
using Kind = SpreadsheetCell::Kind;

static void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// Automation objects that log every call and answer SaveAs as told.
struct SpyLog {
    QStringList calls;
    SpreadsheetError saveResult = SpreadsheetError::None;
};

class SpyRange : public SpreadsheetRange {
public:
    SpyRange(SpyLog &log, QString address) : log_(log), address_(std::move(address)) {}
    void setValue(double v) override { log_.calls << address_ + '=' + QString::number(v); }
    void setNumberFormat(const QString &f) override { log_.calls << address_ + " format " + f; }
    void setHorizontalAlignment(int a) override {
        log_.calls << address_ + " align " + QString::number(a);
    }

private:
    SpyLog &log_;
    QString address_;
};

class SpyWorkbook : public SpreadsheetWorkbook, public SpreadsheetWorksheet {
public:
    explicit SpyWorkbook(SpyLog &log) : log_(log) {}
    SpreadsheetWorksheet &Worksheets(int i) override {
        log_.calls << "Worksheets " + QString::number(i);
        return *this;
    }
    SpreadsheetRange &Range(const QString &address) override {
        return ranges_.emplace_back(log_, address);
    }
    SpreadsheetError SaveAs(const QString &name) override {
        log_.calls << "SaveAs " + name;
        return log_.saveResult;
    }

private:
    SpyLog &log_;
    std::deque<SpyRange> ranges_;
};

class SpyApplication : public SpreadsheetApplication {
public:
    explicit SpyApplication(SpyLog &log) : log_(log), book_(log) {}
    SpreadsheetWorkbook &WorkbooksAdd() override {
        log_.calls << "WorkbooksAdd";
        return book_;
    }
    void Quit() override { log_.calls << "Quit"; }

private:
    SpyLog &log_;
    SpyWorkbook book_;
};

class SpySpreadsheet : public SpreadsheetService {
public:
    SpyLog log;
    std::unique_ptr<SpreadsheetApplication> createApplication() override {
        return std::make_unique<SpyApplication>(log);
    }
    std::optional<SpreadsheetColumns> readColumns(const QString &) override { return {}; }
};

struct Fields {
    std::array<QString, 21> x, y;
    Fields() {
        for (int i = 1; i <= 20; ++i) {
            x[i] = QString::number(i) + ",5";
            y[i] = '-' + QString::number(i * 100) + ",25";
        }
    }
};

SpreadsheetCell number(double v) {
    return {Kind::Number, v, {}};
}
SpreadsheetCell text(const QString &t) {
    return {Kind::Text, 0, t};
}

} // namespace

TEST(ExportCoordinates, DrivesTheAutomationInOrderAndAlwaysQuits) {
    const Fields fields;
    QStringList expected{"WorkbooksAdd", "Worksheets 1"};
    for (int i = 1; i <= 20; ++i)
        expected << QString("A%1=%2.5").arg(i).arg(i) << QString("B%1=-%2.25").arg(i).arg(i * 100);
    expected << "A1:B20 format 0.00"
             << "A1:B20 align 4"
             << "SaveAs out.xls"
             << "Quit";

    const std::vector<std::pair<SpreadsheetError, ExportResult>> outcomes = {
        {SpreadsheetError::None, ExportResult::Ok},
        {SpreadsheetError::PermissionDenied, ExportResult::PermissionDenied},
        {SpreadsheetError::Other, ExportResult::Failed}};
    for (const auto &[saveResult, result] : outcomes) {
        SpySpreadsheet spy;
        spy.log.saveResult = saveResult;
        EXPECT_EQ(exportCoordinates(spy, fields.x, fields.y, "out.xls"), result);
        EXPECT_EQ(spy.log.calls, expected);
    }
}

TEST(ExportCoordinates, AnyTextThatIsNoNumberFailsBeforeWriting) {
    const std::vector<std::pair<bool, int>> bad = {{true, 20}, {false, 4}, {true, 1}, {false, 20}};
    const QStringList texts = {"abc", "", "1,2,3", "12.5.6"};
    QTemporaryDir dir;
    const QString target = dir.filePath("keep.xlsx");
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old workbook");
    file.close();

    for (int k = 0; k < texts.size(); ++k) {
        Fields fields;
        (bad[k].first ? fields.x : fields.y)[bad[k].second] = texts[k];
        SpySpreadsheet spy;
        EXPECT_EQ(exportCoordinates(spy, fields.x, fields.y, "out.xls"), ExportResult::Failed);
        EXPECT_EQ(spy.log.calls, (QStringList{"WorkbooksAdd", "Worksheets 1", "Quit"})) << k;

        XlsxSpreadsheet real;
        EXPECT_EQ(exportCoordinates(real, fields.x, fields.y, target), ExportResult::Failed);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "old workbook") << k;
        file.close();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.xlsx"});

    FakeSpreadsheet cannotStart;
    cannotStart.startFails = true;
    EXPECT_EQ(exportCoordinates(cannotStart, Fields().x, Fields().y, target), ExportResult::Failed);
}

TEST(ExportCoordinates, WritesWorkbookThatImportsBack) {
    Fields fields;
    fields.x[1] = "1 234,5";
    fields.y[1] = "12,34567"; // four decimals are kept: 12,3457
    fields.x[2] = " 76,00";
    QTemporaryDir dir;
    const QString path = dir.filePath("Координаты многоугольника.xls");
    XlsxSpreadsheet real;
    ASSERT_EQ(exportCoordinates(real, fields.x, fields.y, path), ExportResult::Ok);

    const auto columns = real.readColumns(path);
    ASSERT_TRUE(columns);
    EXPECT_DOUBLE_EQ(columns->a[0].number, 1234.5);
    EXPECT_DOUBLE_EQ(columns->b[0].number, 12.3457);
    EXPECT_DOUBLE_EQ(columns->a[1].number, 76);
    EXPECT_DOUBLE_EQ(columns->b[19].number, -2000.25);

    const auto corners = importCorners(*columns);
    ASSERT_TRUE(corners);
    EXPECT_EQ(corners->count, 20);
    EXPECT_EQ(corners->x[1], "1 234,50");
    EXPECT_EQ(corners->y[1], " 12,35");
    EXPECT_EQ(corners->x[2], " 76,00");
    EXPECT_EQ(corners->y[20], "-2 000,25");

    const auto styles = tarvel::test::cellStyles(path);
    for (int row = 1; row <= 20; ++row) {
        for (const QString &cell : {QString("A%1").arg(row), QString("B%1").arg(row)}) {
            EXPECT_EQ(styles.value(cell).numberFormat, "0.00") << cell.toStdString();
            EXPECT_EQ(styles.value(cell).horizontal, "right") << cell.toStdString();
        }
    }
}

TEST(ExportCoordinates, UnwritableFolderIsPermissionDenied) {
    QTemporaryDir dir;
    const auto locked = tarvel::test::unwritableFolder(dir.path());
    if (!locked) GTEST_SKIP() << "no folder refuses writing here";
    XlsxSpreadsheet real;
    EXPECT_EQ(exportCoordinates(real, Fields().x, Fields().y, *locked + "/out.xlsx"),
              ExportResult::PermissionDenied);
}

TEST(ImportCorners, CountsRowsAndRefusesCornersWithoutACoordinate) {
    struct Case {
        const char *name;
        std::vector<SpreadsheetCell> a, b;
        std::optional<int> count;
    };
    const SpreadsheetCell e;
    const auto three = [](SpreadsheetCell c) { return std::vector(3, c); };
    const std::vector<Case> cases = {
        {"nothing", {}, {}, std::nullopt},
        {"only column A", {number(1), number(2), number(3)}, {}, std::nullopt},
        {"no row with both", {number(1), e}, {e, number(2)}, std::nullopt},
        {"blank texts are empty", {text("  "), number(1)}, {number(1), text("")}, std::nullopt},
        {"not finite is empty", three(number(std::numeric_limits<double>::infinity())),
         three(number(1)), std::nullopt},
        {"three full rows", three(number(1)), three(number(2)), 3},
        // A count below three still shows three rows, and row 3 is empty.
        {"one corner is no polygon", {number(1)}, {number(2)}, std::nullopt},
        {"gap inside the rows used",
         {number(1), e, number(3), number(4)},
         {number(1), number(2), number(3), number(4)},
         std::nullopt},
        {"text that is no number still counts", three(text("x")), three(number(1)), 3},
        {"last full row counts, a lone X after it is kept",
         {number(1), number(2), number(3), number(4), number(5)},
         {number(1), number(2), number(3), number(4)},
         4},
        {"rows past twenty ignored", std::vector(25, number(1)), std::vector(25, number(1)), 20},
    };
    for (const auto &c : cases) {
        const auto corners = importCorners({c.a, c.b});
        ASSERT_EQ(corners.has_value(), c.count.has_value()) << c.name;
        if (corners) EXPECT_EQ(corners->count, *c.count) << c.name;
    }
}

TEST(ImportCorners, EveryFieldGetsTheCellsTextOrZero) {
    const SpreadsheetCell e;
    const auto corners = importCorners(
        {{number(76), text("12,5 м"), number(1234567.891), text("1.5"), number(-0.004), e,
          number(9)},
         {number(-1234.5), text(" 7 "), text("\u00a01\u00a0234,50"), number(0), text("x")}});
    ASSERT_TRUE(corners);
    EXPECT_EQ(corners->count, 5);
    const std::vector<std::pair<QString, QString>> expected = {
        {},
        {" 76,00", "-1 234,50"},
        {"12,5 м", " 7,00"},
        {"1234 567,89", "1 234,50"},
        {" 1,50", " 0,00"},
        {" 0,00", "x"},
        {" 0,00", " 0,00"}, // empty cells past the count: zero, not the old corner
        {" 9,00", " 0,00"}, // a lone X past the count is kept in its hidden field
    };
    for (int i = 1; i < static_cast<int>(expected.size()); ++i) {
        EXPECT_EQ(corners->x[i], expected[i].first) << i;
        EXPECT_EQ(corners->y[i], expected[i].second) << i;
    }
    for (int i = 8; i <= 20; ++i)
        EXPECT_TRUE(corners->x[i] == " 0,00" && corners->y[i] == " 0,00") << i;
}

// Numbers that reach a workbook as text, typed by people or written by
// other programs.
TEST(ImportCorners, TextCellsThatAreNumbers) {
    const std::vector<std::pair<const char *, std::optional<double>>> cases = {
        {"1,5", 1.5},
        {"1.5", 1.5},
        {" 1 234,50", 1234.5},
        {"1\u00a0234,5", 1234.5},
        {"1\u202f234,5", 1234.5},
        {"-0.25", -0.25},
        {"1e3", 1000},
        {"1.234.567", {}},
        {"1.234,5", {}},
        {"12,5 м", {}},
        {"", {}},
        {"abc", {}},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(cellTextNumber(QString::fromUtf8(text)), value) << text;
}
