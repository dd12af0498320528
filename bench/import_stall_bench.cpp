// How long the window stops answering while it imports a workbook that the
// reader parses slowly: the longest gap between ticks of a 1 ms timer of the
// window's event loop, from the import command until its result is in the
// polygon (or its message is shown). For comparison, the time the same
// reading takes when it runs on the window's thread, which is how long the
// window would be frozen if the reading were not in the background.
//
//   import_stall_bench [--quick]    (QT_QPA_PLATFORM=offscreen by default)
//
// The workbooks are made here: one whose first row carries 100 000
// attributes, one with 3 000 000 shared strings. Both hold four corners.
#include "main_window/form1.h"
#include "platform/io/spreadsheet.h"
#include "platform/services/progress_dialog.h"
#include "support/fake_services.h"
#include "support/zip_writer.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

const QByteArray kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// A workbook of four corners (0;0) (30;0) (30;40) (0;40). `rowAttributes`
// extra attributes on the first row, `sharedStrings` strings in the table
// of shared strings (the cells use none of them).
QByteArray workbook(int rowAttributes, int sharedStrings) {
    const QByteArray types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
        "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/></Types>";
    const QByteArray rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\""
                            "http://schemas.openxmlformats.org/package/2006/relationships\">"
                            "<Relationship Id=\"rId1\" Type=\"" +
                            kRel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    const QByteArray book = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"" + kMain +
                            "\" xmlns:r=\"" + kRel +
                            "\"><sheets><sheet name=\"A\" sheetId=\"1\" r:id=\"rId1\"/>"
                            "</sheets></workbook>";
    const QByteArray bookRels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\""
        "http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"" +
        kRel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
        kRel + "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>";
    QByteArray attributes;
    attributes.reserve(rowAttributes * 12);
    for (int i = 0; i < rowAttributes; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"0\"";
    QByteArray rows;
    const int corners[4][2] = {{0, 0}, {30, 0}, {30, 40}, {0, 40}};
    for (int r = 0; r < 4; ++r)
        rows += "<row r=\"" + QByteArray::number(r + 1) + "\"" + (r == 0 ? attributes : "") +
                "><c r=\"A" + QByteArray::number(r + 1) + "\"><v>" +
                QByteArray::number(corners[r][0]) + "</v></c><c r=\"B" + QByteArray::number(r + 1) +
                "\"><v>" + QByteArray::number(corners[r][1]) + "</v></c></row>";
    const QByteArray sheet = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"" +
                             kMain + "\"><sheetData>" + rows + "</sheetData></worksheet>";
    QByteArray strings = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"" + kMain +
                         "\" count=\"" + QByteArray::number(sharedStrings) + "\" uniqueCount=\"" +
                         QByteArray::number(sharedStrings) + "\">";
    strings.reserve(strings.size() + qsizetype(sharedStrings) * 16 + 8);
    for (int i = 0; i < sharedStrings; ++i)
        strings += "<si><t>s</t></si>";
    strings += "</sst>";
    return tarvel::test::makeZip({{"[Content_Types].xml", types},
                                  {"_rels/.rels", rels},
                                  {"xl/workbook.xml", book},
                                  {"xl/_rels/workbook.xml.rels", bookRels},
                                  {"xl/worksheets/sheet1.xml", sheet},
                                  {"xl/sharedStrings.xml", strings}});
}

struct Stall {
    qint64 total = 0;   // from the command to its result, ms
    double longest = 0; // the longest gap between timer ticks, ms
    QString outcome;
};

// Runs one import through the real window and measures its event loop.
Stall measureImport(const QString &path, tarvel::platform::FakeServices &fakes,
                    tarvel::main_window::Form1 &form) {
    fakes.messages.shown.clear();
    fakes.dialogs.fileAnswers = {path};
    const auto before = form.document().undoStack().index();
    QElapsedTimer clock, tick;
    Stall stall;
    QEventLoop loop;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        stall.longest = std::max(stall.longest, tick.nsecsElapsed() / 1e6);
        tick.restart();
        const bool done =
            !fakes.messages.shown.empty() || form.document().undoStack().index() != before;
        if (done && QThreadPool::globalInstance()->activeThreadCount() == 0) loop.quit();
    });
    clock.start();
    tick.start();
    ticker.start();
    // However the reading goes, the measurement ends.
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    // The command itself runs inside the loop, as a click's handler would.
    QTimer::singleShot(0, &form, [&] { form.controls().Menu_File_Import->trigger(); });
    loop.exec();
    stall.total = clock.elapsed();
    stall.outcome = fakes.messages.shown.empty()
                        ? QStringLiteral("imported, %1 corners").arg(form.cornerCount())
                        : fakes.messages.shown.back().text;
    form.document().undoStack().undo();
    return stall;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    QApplication app(argc, argv);
    QTemporaryDir dir;
    struct Case {
        const char *name;
        int attributes, strings;
    };
    const Case cases[] = {
        {"one row with 100 000 attributes", quick ? 10000 : 100000, 0},
        {"3 000 000 shared strings", 0, quick ? 300000 : 3000000},
    };

    tarvel::platform::XlsxSpreadsheet xlsx(QStringLiteral(TARVEL_READER_PATH));
    tarvel::platform::FakeServices fakes;
    fakes.spreadsheet = tarvel::platform::FakeSpreadsheet(&xlsx);
    tarvel::platform::QtProgress progress; // the real window, as the user sees it
    tarvel::platform::Services services = fakes.bundle();
    tarvel::platform::Services real{services.messages,
                                    services.dialogs,
                                    services.screen,
                                    services.commandLine,
                                    services.shell,
                                    services.settings,
                                    services.association,
                                    services.spreadsheet,
                                    services.printer,
                                    services.clipboard,
                                    progress,
                                    services.archives,
                                    services.gis,
                                    services.documents};
    tarvel::main_window::SharedState state;
    tarvel::main_window::Form1 form(state, real);
    form.Form_Load();
    state.settings.ImportHintOff = 1; // no hint window before the import
    form.show();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    std::printf("%-34s %10s %12s %14s  %s\n", "workbook", "import ms", "longest gap",
                "same on thread", "outcome");
    for (const Case &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name).replace(' ', '_') + ".xlsx");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(workbook(c.attributes, c.strings)) < 0)
            return 1;
        file.close();
        const Stall stall = measureImport(path, fakes, form);
        QElapsedTimer onThread;
        onThread.start();
        (void)xlsx.readColumns(path);
        std::printf("%-34s %10lld %9.1f ms %11lld ms  %s\n", c.name,
                    static_cast<long long>(stall.total), stall.longest,
                    static_cast<long long>(onThread.elapsed()), qPrintable(stall.outcome));
    }
    return 0;
}
