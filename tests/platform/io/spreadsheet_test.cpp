#include "platform/io/spreadsheet.h"
#include "platform/io/xlsx_probe.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <functional>
#include <iconv.h>
#include <limits>
#include <stop_token>
#include <string>
#include <sys/stat.h>
#include <thread>

using namespace tarvel::platform;
using Kind = SpreadsheetCell::Kind;

namespace {

const QString kDataDir = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../../data/";

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

// Saves a workbook with A1 = 1.5, B2 = -2.25 and A1:B2 formatted "0.00",
// right-aligned, after `extra` had its say on the worksheet.
SpreadsheetError saveSample(const QString &path,
                            const std::function<void(SpreadsheetWorksheet &)> &extra = {}) {
    XlsxSpreadsheet service;
    auto app = service.createApplication();
    SpreadsheetWorkbook &book = app->WorkbooksAdd();
    SpreadsheetWorksheet &sheet = book.Worksheets(1);
    sheet.Range("A1").setValue(1.5);
    sheet.Range("$b$2").setValue(-2.25);
    sheet.Range("B2:A1").setNumberFormat("0.00");
    sheet.Range("A1:B2").setHorizontalAlignment(4);
    if (extra) extra(sheet);
    const SpreadsheetError error = book.SaveAs(path);
    app->Quit();
    return error;
}

QStringList entries(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

TEST(XlsxSpreadsheet, SavedWorkbookHoldsNumbersFormatAndAlignment) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.xlsx");
    ASSERT_EQ(saveSample(path), SpreadsheetError::None);
    EXPECT_EQ(entries(dir.path()), QStringList{"out.xlsx"}); // no temporary file left

    const auto columns = XlsxSpreadsheet().readColumns(path);
    ASSERT_TRUE(columns);
    EXPECT_EQ(columns->a[0].kind, Kind::Number);
    EXPECT_DOUBLE_EQ(columns->a[0].number, 1.5);
    EXPECT_DOUBLE_EQ(columns->b[1].number, -2.25);
    EXPECT_EQ(columns->a[1].kind, Kind::Empty); // formatted but blank
    EXPECT_EQ(columns->b[0].kind, Kind::Empty);

    const auto styles = tarvel::test::cellStyles(path);
    for (const char *cell : {"A1", "A2", "B1", "B2"}) {
        EXPECT_EQ(styles.value(cell).numberFormat, "0.00") << cell;
        EXPECT_EQ(styles.value(cell).horizontal, "right") << cell;
    }
}

TEST(XlsxSpreadsheet, SavingKeepsFileModesAndLinks) {
    QTemporaryDir dir;
    const QString fresh = dir.filePath("fresh.xlsx");
    const mode_t oldMask = ::umask(022);
    ASSERT_EQ(saveSample(fresh), SpreadsheetError::None);
    ::umask(oldMask);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(fresh).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);

    ASSERT_EQ(::chmod(QFile::encodeName(fresh).constData(), 0640), 0);
    ASSERT_EQ(saveSample(fresh), SpreadsheetError::None);
    ASSERT_EQ(::stat(QFile::encodeName(fresh).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);

    // Saving through a link writes the linked file and keeps the link.
    const QString link = dir.filePath("link.xlsx");
    ASSERT_TRUE(QFile::link(fresh, link));
    QFile::remove(fresh);
    writeAll(fresh, "old");
    ASSERT_EQ(saveSample(link), SpreadsheetError::None);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(XlsxSpreadsheet().readColumns(fresh));
}

// Switches the C library to a locale with a decimal comma: an installed
// one, else one compiled into `scratch` with localedef. False when neither
// works here.
bool useCommaLocale(const QString &scratch) {
    const auto tryNames = [] {
        for (const char *name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "fr_FR.UTF-8"})
            if (std::setlocale(LC_ALL, name) &&
                std::string(std::localeconv()->decimal_point) == ",")
                return true;
        return false;
    };
    if (tryNames()) return true;
    if (QProcess::execute("localedef", {"-i", "ru_RU", "-f", "UTF-8", scratch + "/ru_RU.UTF-8"}) !=
        0)
        return false;
    qputenv("LOCPATH", QFile::encodeName(scratch));
    const bool ok = tryNames();
    qunsetenv("LOCPATH");
    return ok;
}

// Cell values go into the file with a decimal point whatever the process
// locale says; the program runs under the user's locale.
TEST(XlsxSpreadsheet, NumbersSurviveDecimalCommaLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    QTemporaryDir locales;
    // scripts/setup provides one (the locales package); without it this
    // test could not show anything, so it fails rather than skips.
    if (!useCommaLocale(locales.path())) {
        std::setlocale(LC_ALL, previous.c_str());
        FAIL() << "no locale with a decimal comma available";
    }
    QTemporaryDir dir;
    const SpreadsheetError error = saveSample(dir.filePath("ru.xlsx"));
    const auto columns = XlsxSpreadsheet().readColumns(dir.filePath("ru.xlsx"));
    std::setlocale(LC_ALL, previous.c_str());
    ASSERT_EQ(error, SpreadsheetError::None);
    ASSERT_TRUE(columns);
    EXPECT_DOUBLE_EQ(columns->a[0].number, 1.5);
    EXPECT_DOUBLE_EQ(columns->b[1].number, -2.25);
    EXPECT_TRUE(tarvel::test::zipEntry(dir.filePath("ru.xlsx"), "xl/worksheets/sheet1.xml")
                    .contains("<v>1.5</v>"));
}

// Calls the real automation refuses make the save fail, and nothing is
// written.
TEST(XlsxSpreadsheet, InvalidAutomationCallsFailTheSave) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::pair<const char *, std::function<void(SpreadsheetWorksheet &)>>> cases =
        {{"row 0", [](auto &s) { s.Range("A0").setValue(1); }},
         {"row first", [](auto &s) { s.Range("1A").setValue(1); }},
         {"too many letters", [](auto &s) { s.Range("AAAA1").setValue(1); }},
         {"row too big", [](auto &s) { s.Range("A1048577").setValue(1); }},
         {"column too big", [](auto &s) { s.Range("XFE1").setNumberFormat("0"); }},
         {"three parts", [](auto &s) { s.Range("A1:B2:C3").setValue(1); }},
         {"empty", [](auto &s) { s.Range("").setValue(1); }},
         {"blank inside", [](auto &s) { s.Range("A 1").setValue(1); }},
         {"whole sheet", [](auto &s) { s.Range("A1:XFD1048576").setHorizontalAlignment(4); }},
         {"NaN", [nan](auto &s) { s.Range("A3").setValue(nan); }},
         {"infinity", [](auto &s) { s.Range("A3").setValue(HUGE_VAL); }},
         {"alignment", [](auto &s) { s.Range("A3").setHorizontalAlignment(99); }}};
    for (const auto &[name, call] : cases) {
        QTemporaryDir dir;
        EXPECT_EQ(saveSample(dir.filePath("x.xlsx"), call), SpreadsheetError::Other) << name;
        EXPECT_TRUE(entries(dir.path()).isEmpty()) << name;
    }

    QTemporaryDir dir;
    XlsxSpreadsheet service;
    auto app = service.createApplication();
    app->WorkbooksAdd().Worksheets(2);
    SpreadsheetWorkbook &secondSheet = app->WorkbooksAdd();
    secondSheet.Worksheets(2).Range("A1").setValue(1);
    EXPECT_EQ(secondSheet.SaveAs(dir.filePath("y.xlsx")), SpreadsheetError::Other);
    SpreadsheetWorkbook &afterQuit = app->WorkbooksAdd();
    app->Quit();
    EXPECT_EQ(afterQuit.SaveAs(dir.filePath("y.xlsx")), SpreadsheetError::Other);
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}

TEST(XlsxSpreadsheet, FailedSaveLeavesExistingTargetUntouched) {
    QTemporaryDir dir;
    const QString readOnly = dir.filePath("readonly.xlsx");
    writeAll(readOnly, "precious");
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_EQ(saveSample(readOnly), SpreadsheetError::PermissionDenied);
    EXPECT_EQ(readAll(readOnly), "precious");

    EXPECT_EQ(saveSample(dir.filePath("missing/out.xlsx")), SpreadsheetError::Other);
    EXPECT_EQ(saveSample(dir.path()), SpreadsheetError::Other); // a folder as target
    EXPECT_EQ(entries(dir.path()), QStringList{"readonly.xlsx"});

    const auto locked = tarvel::test::unwritableFolder(dir.path());
    if (!locked) GTEST_SKIP() << "no folder refuses writing here";
    EXPECT_EQ(saveSample(*locked + "/out.xlsx"), SpreadsheetError::PermissionDenied);
}

TEST(XlsxSpreadsheet, ReadsFirstSheetOfEveryFormat) {
    // The same cells in every fixture (see make_fixtures.py).
    const auto check = [](const SpreadsheetColumns &c, const QString &name) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_EQ(c.a.size(), std::size_t{kSpreadsheetRowsRead});
        ASSERT_EQ(c.b.size(), std::size_t{kSpreadsheetRowsRead});
        EXPECT_EQ(c.a[0].kind, Kind::Number);
        EXPECT_DOUBLE_EQ(c.a[0].number, 12.5); // not the 999 of the second sheet
        EXPECT_DOUBLE_EQ(c.b[0].number, 7);
        EXPECT_EQ(c.a[1].kind, Kind::Text);
        EXPECT_EQ(c.a[1].text, "100,25");
        EXPECT_DOUBLE_EQ(c.b[1].number, -3.75);
        EXPECT_EQ(c.a[2].kind, Kind::Number);
        EXPECT_DOUBLE_EQ(c.a[2].number, 0);
        EXPECT_EQ(c.b[2].kind, Kind::Empty);
        EXPECT_DOUBLE_EQ(c.a[3].number, 1234.5);
        EXPECT_EQ(c.b[3].text, "abc");
        for (int row = 4; row < kSpreadsheetRowsRead; ++row)
            EXPECT_TRUE(c.a[row].kind == Kind::Empty && c.b[row].kind == Kind::Empty) << row;
    };
    for (const char *name :
         {"coords.ods", "coords.xls", "coords_semicolon.csv", "coords_comma.csv"}) {
        const auto columns = XlsxSpreadsheet().readColumns(kDataDir + name);
        ASSERT_TRUE(columns) << name;
        check(*columns, name);
    }
}

TEST(XlsxSpreadsheet, JudgesWorkbooksByContentNotName) {
    QTemporaryDir dir;
    // The export dialog proposes ".xls"; what it saves is still .xlsx.
    for (const char *name : {"saved.xls", "SAVED.XLSX", "saved.ods", "saved"}) {
        ASSERT_EQ(saveSample(dir.filePath(name)), SpreadsheetError::None);
        const auto columns = XlsxSpreadsheet().readColumns(dir.filePath(name));
        ASSERT_TRUE(columns) << name;
        EXPECT_DOUBLE_EQ(columns->b[1].number, -2.25) << name;
    }
    QFile::copy(kDataDir + "coords.ods", dir.filePath("ods.xlsx"));
    QFile::copy(kDataDir + "coords.xls", dir.filePath("xls.xlsx"));
    for (const char *name : {"ods.xlsx", "xls.xlsx"}) {
        const auto columns = XlsxSpreadsheet().readColumns(dir.filePath(name));
        ASSERT_TRUE(columns) << name;
        EXPECT_DOUBLE_EQ(columns->a[0].number, 12.5) << name;
    }
}

TEST(XlsxSpreadsheet, BrokenFilesReadAsNothing) {
    QTemporaryDir dir;
    ASSERT_EQ(saveSample(dir.filePath("good.xlsx")), SpreadsheetError::None);
    const QByteArray good = readAll(dir.filePath("good.xlsx"));
    const QByteArray xls = readAll(kDataDir + "coords.xls");
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919 + 13) % 251);

    const std::vector<std::pair<const char *, QByteArray>> files = {
        {"empty.xlsx", {}},
        {"noise.xlsx", noise},
        {"noise.xls", noise},
        {"noise.csv", noise},
        {"text.xlsx", "12,5;7\n"},
        {"truncated.xlsx", good.left(good.size() / 2)},
        {"zipheader.xlsx", good.left(30)},
        {"cfbfheader.xls", xls.left(512)},
        {"truncated.xls", xls.left(xls.size() - 600)},
    };
    for (const auto &[name, data] : files) {
        writeAll(dir.filePath(name), data);
        EXPECT_FALSE(XlsxSpreadsheet().readColumns(dir.filePath(name))) << name;
    }
    EXPECT_FALSE(XlsxSpreadsheet().readColumns(dir.filePath("missing.xlsx")));
    EXPECT_FALSE(XlsxSpreadsheet().readColumns(dir.path()));

    // A crafted legacy workbook that made the .xls reader run past its
    // buffers (found by the fuzzer; the first byte chose the file name there).
    const QByteArray crafted =
        readAll(kDataDir + "../fuzz/regressions/spreadsheet_read_fuzz/xls_string_overread").mid(1);
    ASSERT_FALSE(crafted.isEmpty());
    writeAll(dir.filePath("crafted.xls"), crafted);
    EXPECT_FALSE(XlsxSpreadsheet().readColumns(dir.filePath("crafted.xls")));

    // A spreadsheet of a few kilobytes whose zip entry claims gigabytes: the
    // parser would reserve all of it. The reading ends in its child process
    // at the memory ceiling, and this process carries on.
    const QByteArray claims =
        readAll(kDataDir + "../fuzz/regressions/spreadsheet_read_fuzz/ods_claims_gigabytes").mid(1);
    ASSERT_FALSE(claims.isEmpty());
    writeAll(dir.filePath("claims.ods"), claims);
    EXPECT_FALSE(XlsxSpreadsheet().readColumns(dir.filePath("claims.ods")));
    // And the good file still reads after these failures.
    EXPECT_TRUE(XlsxSpreadsheet().readColumns(dir.filePath("good.xlsx")));
}

// The reader runs as a program of its own. A forked copy of this threaded
// process would inherit the converter lock another thread holds at that
// moment and wait on it for ever; a started program has no such locks.
TEST(XlsxSpreadsheet, ReadsWhileOtherThreadsConvertText) {
    std::atomic<bool> stop{false};
    std::vector<std::thread> converters;
    for (int t = 0; t < 4; ++t) {
        converters.emplace_back([&stop] {
            char text[] = "Участок";
            while (!stop) {
                const iconv_t cd = iconv_open("CP1251", "UTF-8");
                if (cd == reinterpret_cast<iconv_t>(-1)) continue;
                char out[64];
                char *in = text;
                char *to = out;
                std::size_t inLeft = sizeof text - 1, outLeft = sizeof out;
                iconv(cd, &in, &inLeft, &to, &outLeft);
                iconv_close(cd);
            }
        });
    }
    int read = 0;
    for (int i = 0; i < 40; ++i)
        for (const char *name : {"workbooks/xlwt.xls", "workbooks/cp1251.csv"})
            read += XlsxSpreadsheet().readColumns(kDataDir + name).has_value();
    stop = true;
    for (auto &t : converters)
        t.join();
    EXPECT_EQ(read, 80);
}

// Only regular files are workbooks: a named pipe would block the reader
// until a writer came, a device would never end.
TEST(XlsxSpreadsheet, PipesAndDevicesAreNoWorkbooks) {
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath("p.csv"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    // No writer ever opens the pipe: a reader that waited for one would
    // hang this test.
    for (const QString &path : {dir.filePath("p.csv"), QStringLiteral("/dev/zero"), dir.path()})
        EXPECT_FALSE(XlsxSpreadsheet().readColumns(path)) << path.toStdString();
}

// Whatever the reader does, the program goes on: a reader that is missing,
// fails, or never ends gives no workbook, and one that hangs is stopped at
// the time limit, not left to run.
TEST(XlsxSpreadsheet, AReaderThatFailsOrHangsGivesNoWorkbook) {
    QTemporaryDir dir;
    const auto script = [&](const char *name, const QByteArray &body) {
        const QString path = dir.filePath(name);
        writeAll(path, "#!/bin/sh\n" + body + "\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    };
    const QString workbook = kDataDir + "workbooks/comma.csv";
    struct Row {
        const char *name;
        QString reader;
    };
    const Row rows[] = {
        {"missing", dir.filePath("missing")},
        {"fails", script("fails", "exit 1")},
        {"writes garbage", script("garbage", "printf 'xyz' >&3")},
        {"crashes", script("crashes", "kill -SEGV $$")},
        {"hangs", script("hangs", "echo $$ >\"$0.pid\"; exec sleep 600")},
        {"hangs after writing",
         script("stalls", "echo $$ >\"$0.pid\"; printf '\\000' >&3; exec sleep 600")},
    };
    // A reader left to hang would hold the test for ten minutes, past its
    // time-out: no clock of this test's own is needed to catch it.
    constexpr std::chrono::milliseconds kLimit{200};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(XlsxSpreadsheet(row.reader, kLimit).readColumns(workbook));
        QFile pid(row.reader + ".pid");
        if (!pid.open(QIODevice::ReadOnly)) continue; // a reader that did not hang
        const QByteArray id = pid.readAll().trimmed();
        ASSERT_FALSE(id.isEmpty());
        EXPECT_FALSE(QFileInfo::exists("/proc/" + QString::fromLatin1(id)))
            << "the hanging reader is still there";
    }
}

// "Отмена" during an import ends the reading at once: the reader process is
// stopped, not left to run to its time limit, and nothing is read.
TEST(XlsxSpreadsheet, AStoppedReadingEndsAtOnceAndReadsNothing) {
    QTemporaryDir dir;
    const QString pidFile = dir.filePath("pid");
    const QString reader = dir.filePath("slow");
    // Writes its process id, then never ends of itself.
    writeAll(reader, "#!/bin/sh\necho $$ >'" + pidFile.toUtf8() + "'\nexec sleep 600\n");
    QFile::setPermissions(reader, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString workbook = kDataDir + "workbooks/comma.csv";
    // Far beyond the test's time-out: a stop that did not work holds the
    // test until then.
    constexpr std::chrono::milliseconds kLimit{600000};
    struct Row {
        const char *name;
        bool whileReading; // else stopped before the reading starts
    };
    for (const Row row : {Row{"stopped while reading", true}, Row{"stopped beforehand", false}}) {
        SCOPED_TRACE(row.name);
        QFile::remove(pidFile);
        std::stop_source stop;
        if (!row.whileReading) stop.request_stop();
        // Stops the reading once the reader runs.
        std::jthread stopper([&] {
            if (!row.whileReading) return;
            for (int i = 0; i < 1000 && !QFile::exists(pidFile); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            stop.request_stop();
        });
        EXPECT_FALSE(
            XlsxSpreadsheet(reader, kLimit).readColumnsUnlessStopped(workbook, stop.get_token()));
        if (!row.whileReading) {
            EXPECT_FALSE(QFile::exists(pidFile)) << "a stopped reading started the reader";
            continue;
        }
        QFile pid(pidFile);
        ASSERT_TRUE(pid.open(QIODevice::ReadOnly));
        const QByteArray id = pid.readAll().trimmed();
        ASSERT_FALSE(id.isEmpty());
        EXPECT_FALSE(QFileInfo::exists("/proc/" + QString::fromLatin1(id)))
            << "the reader process is still there";
    }
}
