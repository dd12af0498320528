#include "files/spreadsheet_exchange.h"
#include "geometry/numtext.h"
#include "platform/io/spreadsheet.h"
#include "platform/io/xlsx_probe.h"
#include "support/fake_services.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <limits>
#include <memory>
#include <ostream>

using namespace tarvel::files;
using namespace tarvel::platform;
using tarvel::geometry::TextColumn;
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
    // Every digit of the value: the default six would cut -1000000,25.
    void setValue(double v) override {
        log_.calls << address_ + '=' + QString::number(v, 'g', QLocale::FloatingPointShortest);
    }
    void setText(const QString &t) override { log_.calls << address_ + "='" + t + "'"; }
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
    void setName(const QString &name) override { log_.calls << "Name " + name; }
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

// Corner i at (i,5; -100i,25), rows 1..rows; the rows beyond are empty.
struct Fields {
    TextColumn x, y;
    explicit Fields(int rows = 20) {
        for (int i = 1; i <= rows; ++i) {
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
    QStringList expected{"WorkbooksAdd", "Worksheets 1", "Name Координаты", "A1='X'", "B1='Y'"};
    for (int i = 1; i <= 20; ++i)
        expected << QString("A%1=%2.5").arg(i + 1).arg(i) << QString("A%1 format 0.00").arg(i + 1)
                 << QString("B%1=-%2.25").arg(i + 1).arg(i * 100)
                 << QString("B%1 format 0.00").arg(i + 1);
    expected << "A1:B21 align 4"
             << "SaveAs out.xls"
             << "Quit";

    const std::vector<std::pair<SpreadsheetError, ExportResult>> outcomes = {
        {SpreadsheetError::None, ExportResult::Ok},
        {SpreadsheetError::PermissionDenied, ExportResult::PermissionDenied},
        {SpreadsheetError::Other, ExportResult::Failed}};
    for (const auto &[saveResult, result] : outcomes) {
        SpySpreadsheet spy;
        spy.log.saveResult = saveResult;
        EXPECT_EQ(exportCoordinates(spy, fields.x, fields.y, 20, "out.xls"), result);
        EXPECT_EQ(spy.log.calls, expected);
    }
}

// Only the corners in force are written; the hidden rows are no corners,
// whatever they hold (after the clear button they hold nothing at all).
TEST(ExportCoordinates, WritesTheCornersInForceOnly) {
    struct Case {
        const char *name;
        int count;
        int rowsWritten;
    };
    const std::vector<Case> cases = {
        {"triangle", 3, 3},
        {"six corners", 6, 6},
        {"twenty corners", 20, 20},
        {"twenty-five corners", 25, 25},
        {"ten thousand corners", 10000, 10000},
        {"count below three", 1, 3},
        {"count above ten thousand", 10001, 10000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        // The hidden rows are empty: writing one would fail the export.
        const Fields fields(c.rowsWritten);
        SpySpreadsheet spy;
        ASSERT_EQ(exportCoordinates(spy, fields.x, fields.y, c.count, "out.xls"), ExportResult::Ok);
        QStringList expected{"WorkbooksAdd", "Worksheets 1", "Name Координаты", "A1='X'",
                             "B1='Y'"};
        for (int i = 1; i <= c.rowsWritten; ++i)
            expected << QString("A%1=%2.5").arg(i + 1).arg(i)
                     << QString("A%1 format 0.00").arg(i + 1)
                     << QString("B%1=-%2.25").arg(i + 1).arg(i * 100)
                     << QString("B%1 format 0.00").arg(i + 1);
        expected << QString("A1:B%1 align 4").arg(c.rowsWritten + 1)
                 << "SaveAs out.xls"
                 << "Quit";
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
        EXPECT_EQ(exportCoordinates(spy, fields.x, fields.y, 20, "out.xls"), ExportResult::Failed);
        EXPECT_EQ(spy.log.calls, (QStringList{"WorkbooksAdd", "Worksheets 1", "Quit"})) << k;

        XlsxSpreadsheet real;
        EXPECT_EQ(exportCoordinates(real, fields.x, fields.y, 20, target), ExportResult::Failed);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "old workbook") << k;
        file.close();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.xlsx"});

    FakeSpreadsheet cannotStart;
    cannotStart.startFails = true;
    EXPECT_EQ(exportCoordinates(cannotStart, Fields().x, Fields().y, 20, target),
              ExportResult::Failed);
}

TEST(ExportCoordinates, WritesWorkbookThatImportsBack) {
    Fields fields;
    fields.x[1] = "1 234,5";
    fields.y[1] = "12,34567"; // four decimals are kept: 12,3457
    fields.x[2] = " 76,00";
    fields.y[2] = "-200,125"; // three decimals, shown with three
    QTemporaryDir dir;
    const QString path = dir.filePath("Координаты многоугольника.xls");
    XlsxSpreadsheet real;
    ASSERT_EQ(exportCoordinates(real, fields.x, fields.y, 20, path), ExportResult::Ok);

    const auto columns = real.readColumns(path);
    ASSERT_TRUE(columns);
    EXPECT_EQ(columns->a[0].text, "X");
    EXPECT_EQ(columns->b[0].text, "Y");
    EXPECT_DOUBLE_EQ(columns->a[1].number, 1234.5);
    EXPECT_DOUBLE_EQ(columns->b[1].number, 12.3457);
    EXPECT_DOUBLE_EQ(columns->a[2].number, 76);
    EXPECT_DOUBLE_EQ(columns->b[2].number, -200.125);
    EXPECT_DOUBLE_EQ(columns->b[20].number, -2000.25);

    // The heading is passed over.
    const auto corners = importCorners(*columns).corners;
    ASSERT_TRUE(corners);
    EXPECT_EQ(corners->count, 20);
    EXPECT_EQ(corners->x[1], "1 234,50");
    EXPECT_EQ(corners->y[1], " 12,35");
    EXPECT_EQ(corners->x[2], " 76,00");
    EXPECT_EQ(corners->y[20], "-2 000,25");

    const auto styles = tarvel::test::cellStyles(path);
    const struct {
        const char *cell;
        const char *format;
    } formats[] = {{"A2", "0.00"}, {"B2", "0.0000"}, {"A3", "0.00"},
                   {"B3", "0.000"}, {"A21", "0.00"}, {"B21", "0.00"}};
    for (const auto &f : formats)
        EXPECT_EQ(styles.value(f.cell).numberFormat, f.format) << f.cell;
    for (int row = 1; row <= 21; ++row)
        for (const QString &cell : {QString("A%1").arg(row), QString("B%1").arg(row)})
            EXPECT_EQ(styles.value(cell).horizontal, "right") << cell.toStdString();
    EXPECT_EQ(tarvel::test::sheetNames(path), QStringList{"Координаты"});
}

// Six corners with the hidden rows cleared come back as the same six
// corners, not as twenty, and nothing comes back past them.
TEST(ExportCoordinates, SixCornersRoundTrip) {
    Fields fields;
    for (int i = 7; i <= 20; ++i)
        fields.x[i] = fields.y[i] = "";
    QTemporaryDir dir;
    const QString path = dir.filePath("six.xlsx");
    XlsxSpreadsheet real;
    ASSERT_EQ(exportCoordinates(real, fields.x, fields.y, 6, path), ExportResult::Ok);
    const auto columns = real.readColumns(path);
    ASSERT_TRUE(columns);
    const auto corners = importCorners(*columns).corners;
    ASSERT_TRUE(corners);
    EXPECT_EQ(corners->count, 6);
    EXPECT_EQ(tarvel::geometry::textToDouble(corners->x[6]), 6.5);
    EXPECT_EQ(tarvel::geometry::textToDouble(corners->y[6]), -600.25);
    EXPECT_EQ(corners->x[7], "");
    EXPECT_EQ(corners->y[7], "");
}

TEST(ExportCoordinates, UnwritableFolderIsPermissionDenied) {
    QTemporaryDir dir;
    const auto locked = tarvel::test::unwritableFolder(dir.path());
    if (!locked) GTEST_SKIP() << "no folder refuses writing here";
    XlsxSpreadsheet real;
    EXPECT_EQ(exportCoordinates(real, Fields().x, Fields().y, 20, *locked + "/out.xlsx"),
              ExportResult::PermissionDenied);
}

TEST(ImportCorners, TakesTheFilledRowsOrNamesTheCellThatStopsIt) {
    struct Case {
        const char *name;
        std::vector<SpreadsheetCell> a, b;
        int count; // 0: refused with `message`
        QString message;
    };
    const SpreadsheetCell e;
    const SpreadsheetCell err{Kind::Error, 0, {}};
    const auto n = [](int k, SpreadsheetCell c) { return std::vector(k, c); };
    const auto plus = [](std::vector<SpreadsheetCell> v, std::vector<SpreadsheetCell> more) {
        v.insert(v.end(), more.begin(), more.end());
        return v;
    };
    const QString none = "Ошибка импорта! В столбцах A и B первого листа нет координат.";
    const QString tooMany = ": в файле больше 10000 строк с координатами, а программа "
                            "принимает не больше 10000 углов.";
    const std::vector<Case> cases = {
        {"nothing", {}, {}, 0, none},
        {"blank texts are empty", {text("  ")}, {text("")}, 0, none},
        {"three full rows", n(3, number(1)), n(3, number(2)), 3, {}},
        {"one corner makes a triangle", {number(1)}, {number(2)}, 3, {}},
        {"twenty rows", n(20, number(1)), n(20, number(2)), 20, {}},
        {"header row passed over",
         plus({text("X")}, n(4, number(1))),
         plus({text("Y")}, n(4, number(1))),
         4,
         {}},
        {"header only in A",
         plus({text("Координаты")}, n(3, number(1))),
         plus({e}, n(3, number(1))),
         3,
         {}},
        {"header and twenty rows",
         plus({text("X")}, n(20, number(1))),
         plus({text("Y")}, n(20, number(1))),
         20,
         {}},
        {"a number text in row 1 is a corner", plus({text("1,5")}, n(2, number(1))),
         plus({text("Y")}, n(2, number(1))), 0, "Ошибка импорта! Строка 1, столбец B: не число"},
        {"empty rows passed over",
         {number(1), e, number(3), e, e, number(4)},
         {number(1), e, number(3), e, e, number(4)},
         3,
         {}},
        {"twenty-one rows", n(21, number(1)), n(21, number(1)), 21, {}},
        {"ten thousand rows", n(10000, number(1)), n(10000, number(2)), 10000, {}},
        {"header and ten thousand rows",
         plus({text("X")}, n(10000, number(1))),
         plus({text("Y")}, n(10000, number(1))),
         10000,
         {}},
        {"ten thousand rows with blank rows between",
         plus(n(5000, number(1)), plus(n(3, e), n(5000, number(1)))),
         plus(n(5000, number(1)), plus(n(3, e), n(5000, number(1)))),
         10000,
         {}},
        {"ten thousand and one rows refused", n(10001, number(1)), n(10001, number(1)), 0,
         "Ошибка импорта! Строка 10001, столбец A" + tooMany},
        {"ten thousand and five rows refused", n(10005, number(1)), n(10005, number(1)), 0,
         "Ошибка импорта! Строка 10001, столбец A" + tooMany},
        {"header and ten thousand and one rows refused", plus({text("X")}, n(10001, number(1))),
         plus({text("Y")}, n(10001, number(1))), 0,
         "Ошибка импорта! Строка 10002, столбец A" + tooMany},
        {"a lone Y past ten thousand is refused", n(10001, number(1)),
         plus(n(10000, number(1)), {e, number(5)}), 0,
         "Ошибка импорта! Строка 10001, столбец A" + tooMany},
        {"X without Y", n(4, number(1)), n(3, number(1)), 0,
         "Ошибка импорта! Строка 4, столбец B: пустая ячейка"},
        {"Y without X",
         {number(1), e},
         {number(1), number(2)},
         0,
         "Ошибка импорта! Строка 2, столбец A: пустая ячейка"},
        {"text that is no number", n(7, number(1)), plus(n(6, number(1)), {text("abc")}), 0,
         "Ошибка импорта! Строка 7, столбец B: не число"},
        {"number with a unit",
         {number(1), text("12,5 м")},
         n(2, number(1)),
         0,
         "Ошибка импорта! Строка 2, столбец A: не число"},
        {"a number past a thousand million kilometres", n(3, number(1)),
         {number(1), number(1e13), number(1)}, 0,
         "Ошибка импорта! Строка 2, столбец B: не число"},
        {"a text past a thousand million kilometres", {number(1), number(1), text("-1e15")},
         n(3, number(1)), 0, "Ошибка импорта! Строка 3, столбец A: не число"},
        {"error value",
         n(3, number(1)),
         {number(1), number(1), err},
         0,
         "Ошибка импорта! Строка 3, столбец B: ошибка в ячейке"},
        {"not finite is empty", n(3, number(std::numeric_limits<double>::infinity())),
         n(3, number(1)), 0, "Ошибка импорта! Строка 1, столбец A: пустая ячейка"},
        {"first fault in reading order wins",
         {number(1), text("a")},
         {text("b"), e},
         0,
         "Ошибка импорта! Строка 1, столбец B: не число"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const ImportOutcome outcome = importCorners({c.a, c.b});
        if (c.count == 0) {
            EXPECT_FALSE(outcome.corners.has_value());
            EXPECT_EQ(outcome.message.toStdString(), c.message.toStdString());
        } else {
            ASSERT_TRUE(outcome.corners.has_value()) << outcome.message.toStdString();
            EXPECT_EQ(outcome.corners->count, c.count);
        }
    }
}

TEST(ImportCorners, EveryFieldGetsTheCellsNumberOrZero) {
    const SpreadsheetCell e;
    const auto corners =
        importCorners(
            {{text("X"), number(76), e, number(1234567.891), text("1.5"), number(-0.004)},
             {text("Y"), number(-1234.5), e, text("\u00a01\u00a0234,50"), number(0), text(" 7 ")}})
            .corners;
    ASSERT_TRUE(corners);
    EXPECT_EQ(corners->count, 4);
    const std::vector<std::pair<QString, QString>> expected = {
        {},
        {" 76,00", "-1 234,50"},
        {"1234 567,89", "1 234,50"},
        {" 1,50", " 0,00"},
        {" 0,00", " 7,00"},
    };
    for (int i = 1; i < static_cast<int>(expected.size()); ++i) {
        EXPECT_EQ(corners->x[i], expected[i].first) << i;
        EXPECT_EQ(corners->y[i], expected[i].second) << i;
    }
    // Nothing past the count: the rows there are no corners of the workbook.
    EXPECT_EQ(corners->x.size(), 5u);
    EXPECT_EQ(corners->y.size(), 5u);
    for (int i = 5; i <= 20; ++i)
        EXPECT_TRUE(corners->x[i].isEmpty() && corners->y[i].isEmpty()) << i;
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
