// The smaller commands of the main window: spreadsheet export and import,
// print, calculator, background picture, folder, hints, help and about.
#include "geometry/numtext.h"
#include "drawing/drawing_surface.h"
#include "platform/io/spreadsheet.h"
#include "settings_windows/frm_about.h"
#include "settings_windows/frm_nastr_grid.h"
#include "settings_windows/frm_podsk1.h"
#include "support/pipe_rescuer.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QWindow>

#include <cmath>
#include <deque>
#include <functional>

namespace tarvel::testing {

using geometry::textToDouble;
namespace {

using platform::MsgIcon;
using platform::MsgResult;
using platform::SpreadsheetCell;
using platform::SpreadsheetError;

// An automation application whose workbook answers SaveAs as scripted.
class ScriptedSpreadsheet : public platform::SpreadsheetService {
public:
    SpreadsheetError saveResult = SpreadsheetError::None;

    std::unique_ptr<platform::SpreadsheetApplication> createApplication() override {
        return std::make_unique<App>(saveResult);
    }
    std::optional<platform::SpreadsheetColumns> readColumns(const QString &) override {
        return std::nullopt;
    }

private:
    struct NullRange : platform::SpreadsheetRange {
        void setValue(double) override {}
        void setText(const QString &) override {}
        void setNumberFormat(const QString &) override {}
        void setHorizontalAlignment(int) override {}
    };
    struct Book : platform::SpreadsheetWorkbook, platform::SpreadsheetWorksheet {
        explicit Book(SpreadsheetError r) : result(r) {}
        SpreadsheetError result;
        std::deque<NullRange> ranges;
        SpreadsheetWorksheet &Worksheets(int) override { return *this; }
        platform::SpreadsheetRange &Range(const QString &) override {
            return ranges.emplace_back();
        }
        void setName(const QString &) override {}
        SpreadsheetError SaveAs(const QString &) override { return result; }
    };
    struct App : platform::SpreadsheetApplication {
        explicit App(SpreadsheetError r) : book(r) {}
        Book book;
        platform::SpreadsheetWorkbook &WorkbooksAdd() override { return book; }
        void Quit() override {}
    };
};

class Form1ToolsTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        fakes.spreadsheet = platform::FakeSpreadsheet(&xlsx);
        makeWindow();
        fakes.settings.writes.clear();
    }
    // A window whose spreadsheet service is the given one.
    void remakeWindowWith(platform::SpreadsheetService &sheet) {
        form.reset();
        auto b = fakes.bundle();
        services = std::make_unique<platform::Services>(
            platform::Services{b.messages, b.dialogs, b.screen, b.commandLine, b.shell, b.settings,
                               b.association, sheet, b.printer, b.clipboard, b.progress,
                               b.archives, b.gis, b.documents});
        form = std::make_unique<Form1>(state, *services);
        form->Form_Load();
        show();
    }
    void setPolygon(const QStringList &x, const QStringList &y) {
        type(*form->controls().Text1, QString::number(x.size()));
        for (int i = 0; i < x.size(); ++i) {
            type(*form->table().x(i + 1), x[i]);
            type(*form->table().y(i + 1), y[i]);
        }
        form->showRows(int(x.size()));
        form->VICHISLIT();
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QStringList messages() const {
        QStringList r;
        for (const auto &m : fakes.messages.shown)
            r << m.title + ": " + m.text;
        return r;
    }

    QTemporaryDir dir;
    platform::XlsxSpreadsheet xlsx;
    ScriptedSpreadsheet denied, broken;
};

// ---------------------------------------------------------------- export

TEST_F(Form1ToolsTest, ExportProposesItsFileAndCancelDoesNothing) {
    state.settings.WorkFolder = dir.path();
    fakes.dialogs.fileAnswers.push_back(std::nullopt);
    form->controls().Menu_File_Export->trigger();
    ASSERT_EQ(fakes.dialogs.asked.size(), 1u);
    const auto &request = fakes.dialogs.asked[0].request;
    EXPECT_EQ(fakes.dialogs.asked[0].kind, platform::FakeDialogs::Asked::Kind::Save);
    EXPECT_EQ(request.fileName, "Координаты многоугольника");
    EXPECT_EQ(request.initDir, dir.path());
    EXPECT_EQ(request.defaultExt, "*.xlsx");
    EXPECT_EQ(request.filter, "Файлы (*.xlsx)|*.xlsx|Все файлы(*.*)|*.*|");
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(Form1ToolsTest, ExportWritesTheCornersInForceAndLeavesThePolygonAlone) {
    setPolygon({"0", "30", "30,5", "0", "-12,25"}, {"0", "0", "40", "40", "1 234,5"});
    form->document().markSaved();
    fakes.dialogs.fileAnswers.push_back(path("out.xlsx"));
    form->controls().Menu_File_Export->trigger();
    EXPECT_TRUE(fakes.messages.shown.empty()) << messages().join('\n').toStdString();
    EXPECT_FALSE(form->document().isModified());

    const auto columns = xlsx.readColumns(path("out.xlsx"));
    ASSERT_TRUE(columns);
    // The heading in row 1, corner i in row i + 1.
    EXPECT_EQ(columns->a[0].text, "X");
    EXPECT_EQ(columns->b[0].text, "Y");
    for (int i = 1; i <= 5; ++i) {
        EXPECT_DOUBLE_EQ(columns->a[i].number, *textToDouble(form->table().x(i)->Text())) << i;
        EXPECT_DOUBLE_EQ(columns->b[i].number, *textToDouble(form->table().y(i)->Text())) << i;
    }
    // The hidden rows are no corners: a workbook holding them would import
    // as twenty.
    for (int i = 6; i <= 20; ++i)
        EXPECT_TRUE(columns->a[i].kind == SpreadsheetCell::Kind::Empty &&
                    columns->b[i].kind == SpreadsheetCell::Kind::Empty)
            << i;
}

// After the clear button the hidden rows hold no text at all; the corners
// typed in afterwards export, and come back as the same polygon.
TEST_F(Form1ToolsTest, ExportAfterClearingRoundTrips) {
    fakes.messages.answers.push_back(MsgResult::Yes);
    form->controls().CmdClear->button()->click();
    ASSERT_TRUE(form->table().x(20)->Text().isEmpty());
    setPolygon({"0", "30", "30", "0", "10", "5"}, {"0", "0", "40", "40", "50", "45"});
    const QString area = form->controls().Text3->Text();
    fakes.messages.shown.clear();
    fakes.dialogs.fileAnswers.push_back(path("six.xlsx"));
    form->controls().Menu_File_Export->trigger();
    EXPECT_TRUE(fakes.messages.shown.empty()) << messages().join('\n').toStdString();

    setPolygon({"1", "2", "3"}, {"1", "5", "1"});
    state.settings.ImportHintOff = 1;
    fakes.dialogs.fileAnswers.push_back(path("six.xlsx"));
    form->controls().Menu_File_Import->trigger();
    finishBackgroundWork();
    EXPECT_TRUE(fakes.messages.shown.empty()) << messages().join('\n').toStdString();
    EXPECT_EQ(form->controls().Text1->Text(), "6");
    EXPECT_EQ(form->controls().Text3->Text(), area);
}

TEST_F(Form1ToolsTest, ExportFailuresShowTheirMessages) {
    struct Case {
        const char *name;
        std::function<void()> arrange;
        QString text, title;
        MsgIcon icon;
    };
    denied.saveResult = SpreadsheetError::PermissionDenied;
    broken.saveResult = SpreadsheetError::Other;
    const Case cases[] = {
        {"no spreadsheet application", [this] { fakes.spreadsheet.startFails = true; },
         "Ошибка экспорта!", "Ошибка", MsgIcon::Information},
        {"field in force is no number",
         [this] {
             fakes.spreadsheet.startFails = false;
             setPolygon({"0", "10", "0"}, {"0", "0", "10"});
             type(*form->table().x(2), "abc");
         },
         "Ошибка экспорта!", "Ошибка", MsgIcon::Information},
        {"permission denied", [this] { remakeWindowWith(denied); }, "Доступ к файлу закрыт!",
         "Ошибка экспорта", MsgIcon::Exclamation},
        {"other save error", [this] { remakeWindowWith(broken); }, "Ошибка экспорта!", "Ошибка",
         MsgIcon::Information},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fakes.messages.shown.clear();
        c.arrange();
        const bool modified = form->document().isModified();
        const QString x12 = form->table().x(12)->Text();
        fakes.dialogs.fileAnswers.push_back(path(QString(c.name) + ".xlsx"));
        form->controls().Menu_File_Export->trigger();
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text, c.text);
        EXPECT_EQ(fakes.messages.shown[0].title, c.title);
        EXPECT_EQ(fakes.messages.shown[0].icon, c.icon);
        EXPECT_FALSE(QFile::exists(path(QString(c.name) + ".xlsx")));
        EXPECT_EQ(form->document().isModified(), modified);
        EXPECT_EQ(form->table().x(12)->Text(), x12);
    }
}

// ---------------------------------------------------------------- import

TEST_F(Form1ToolsTest, ImportBringsBackAnExportedWorkbook) {
    type(*form->table().x(3), "12,5");
    type(*form->table().y(20), "-7,25");
    form->VICHISLIT();
    QStringList x, y;
    for (int i = 1; i <= 20; ++i) {
        x << form->table().x(i)->Text();
        y << form->table().y(i)->Text();
    }
    const QString area = form->controls().Text3->Text();
    fakes.dialogs.fileAnswers.push_back(path("round.xlsx"));
    form->controls().Menu_File_Export->trigger();

    setPolygon({"1", "2", "3"}, {"1", "5", "1"});
    form->document().markSaved();
    state.settings.ImportHintOff = 1;
    fakes.dialogs.fileAnswers.push_back(path("round.xlsx"));
    form->controls().Menu_File_Import->trigger();
    finishBackgroundWork();

    EXPECT_TRUE(fakes.messages.shown.empty()) << messages().join('\n').toStdString();
    EXPECT_EQ(form->controls().Text1->Text(), "20");
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(textToDouble(form->table().x(i)->Text()), textToDouble(x[i - 1])) << i;
        EXPECT_EQ(textToDouble(form->table().y(i)->Text()), textToDouble(y[i - 1])) << i;
        EXPECT_TRUE(form->table().x(i)->Visible()) << i;
    }
    EXPECT_EQ(form->controls().Text3->Text(), area);
    EXPECT_TRUE(form->document().isModified());
}

TEST_F(Form1ToolsTest, ImportOfFewerRowsSetsTheCountAndLeavesNoOldCornerBehind) {
    QFile csv(path("four.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("0;0\n30;0\n30;40\n0;40\n");
    csv.close();
    ASSERT_NE(textToDouble(form->table().x(5)->Text()), 0.0);
    state.settings.ImportHintOff = 1;
    fakes.dialogs.fileAnswers.push_back(path("four.csv"));
    form->controls().Menu_File_Import->trigger();
    finishBackgroundWork();
    EXPECT_EQ(form->controls().Text1->Text(), "4");
    EXPECT_EQ(form->cornerCount(), 4);
    EXPECT_EQ(textToDouble(form->controls().Text3->Text()), 1200.0);
    // The hidden rows are empty, as rows never typed into are, not the
    // corners of the polygon shown before: "+" must not bring one back.
    for (int i = 5; i <= 20; ++i) {
        EXPECT_EQ(form->table().x(i)->Text(), QString()) << i;
        EXPECT_EQ(form->table().y(i)->Text(), QString()) << i;
    }
    EXPECT_FALSE(form->table().x(5)->Visible());
    EXPECT_EQ(form->controls().Cmb1->ListCount(), 4);
}

// Catalogues of text, as surveyors' programs write them: read as a paste
// into the first row, contours parted by blank lines. A plain two-column
// ".csv" stays a sheet (the test above).
TEST_F(Form1ToolsTest, ImportReadsCataloguesOfText) {
    const struct {
        const char *name;
        const char *file;
        QByteArray bytes;
        int contours, corners;
        const char *x2, *area; // of the first contour; the plot's area
        const char *message;   // when refused, nothing changes
    } rows[] = {
        // Windows-1251, as a Windows program writes "н1".
        {"names and two contours in Windows-1251", "catalogue.txt",
         QByteArray("\xb9 X Y\r\n\xed" "1 0 0\r\n\xed" "2 30 0\r\n\xed" "3 30 40\r\n\r\n"
                    "\xed" "4 100 100\r\n\xed" "5 110 100\r\n\xed" "6 110 110\r\n"),
         2, 3, "30,00", "650,00", ""},
        {"quoted name,X,Y with decimal points", "points.csv",
         QByteArray("\"name\",\"X\",\"Y\"\n\"n1\",\"0.5\",\"0\"\n\"n2\",\"10.5\",\"0\"\n"
                    "\"n3\",\"10.5\",\"10\"\n\"n4\",\"0.5\",\"10\"\n"),
         1, 4, "10,50", "100,00", ""},
        {"UTF-8 with a byte order mark", "bom.txt", QByteArray("\xef\xbb\xbf" "1;0;0\n2;4;0\n3;4;3\n"), 1, 3,
         "4,00", "6,00", ""},
        {"a line that is no row", "bad.txt", QByteArray("1 0 0\n2 30 0\n3 30 сорок\n"), 1, 20, "", "",
         "Ошибка импорта! Строка 3: не пара чисел"},
    };
    state.settings.ImportHintOff = 1;
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        makeWindow();
        state.settings.ImportHintOff = 1;
        fakes.messages.shown.clear();
        const geometry::PolygonTexts before = form->document().texts();
        QFile file(path(QString::fromLatin1(r.file)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(r.bytes);
        file.close();
        fakes.dialogs.fileAnswers.push_back(path(QString::fromLatin1(r.file)));
        form->controls().Menu_File_Import->trigger();
        if (*r.message) {
            ASSERT_EQ(fakes.messages.shown.size(), 1u);
            EXPECT_EQ(fakes.messages.shown[0].text, QString::fromUtf8(r.message));
            EXPECT_EQ(form->document().texts(), before);
            continue;
        }
        EXPECT_TRUE(fakes.messages.shown.empty()) << messages().join('\n').toStdString();
        EXPECT_EQ(form->document().contourCount(), r.contours);
        EXPECT_EQ(form->cornerCount(), r.corners);
        EXPECT_EQ(form->table().x(2)->Text().trimmed(), QString::fromUtf8(r.x2));
        EXPECT_EQ(form->controls().Text3->Text().trimmed(), QString::fromUtf8(r.area));
    }
}

// A header row and blank rows, as people lay out a table by hand.
TEST_F(Form1ToolsTest, ImportPassesOverAHeaderAndBlankRows) {
    QFile csv(path("header.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("X;Y\n0;0\n30;0\n\n30;40\n;\n0;40\n");
    csv.close();
    state.settings.ImportHintOff = 1;
    fakes.dialogs.fileAnswers.push_back(path("header.csv"));
    form->controls().Menu_File_Import->trigger();
    finishBackgroundWork();
    EXPECT_TRUE(fakes.messages.shown.empty()) << messages().join('\n').toStdString();
    EXPECT_EQ(form->controls().Text1->Text(), "4");
    EXPECT_EQ(textToDouble(form->controls().Text3->Text()), 1200.0);
    EXPECT_EQ(textToDouble(form->table().x(3)->Text()), 30.0);
    EXPECT_EQ(textToDouble(form->table().y(3)->Text()), 40.0);
}

TEST_F(Form1ToolsTest, ImportOfAnUnusableFileChangesNothing) {
    const auto write = [this](const char *name, const QByteArray &content) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    };
    write("broken.xlsx", "PK\x03\x04 this is no workbook");
    write("only_x.csv", "1.5\n2.5\n3.5\n");
    // A corner without its Y: taking the old Y, or zero, would move the
    // corner in silence.
    write("gap.csv", "1;1\n2;\n3;3\n4;4\n");
    write("text.csv", "1;1\n2;2\n3;3\n4;4\n5;5\n6;6\n7;abc\n");
    QByteArray rows;
    for (int i = 1; i <= 10001; ++i)
        rows += QByteArray::number(i) + ";" + QByteArray::number(i % 7) + "\n";
    write("10001_rows.csv", rows);
    // B3 holds #DIV/0!: no reader may skip it and keep the old Y there.
    ASSERT_TRUE(QFile::copy(QFileInfo(QStringLiteral(__FILE__)).absolutePath() +
                                "/../data/workbooks/error_cell.xlsx",
                            path("error_cell.xlsx")));

    const std::vector<std::pair<const char *, QString>> cases = {
        {"broken.xlsx", "Ошибка импорта!"},
        {"missing.xlsx", "Ошибка импорта!"},
        {"only_x.csv", "Ошибка импорта! Строка 1, столбец B: пустая ячейка"},
        {"gap.csv", "Ошибка импорта! Строка 2, столбец B: пустая ячейка"},
        {"text.csv", "Ошибка импорта! Строка 7, столбец B: не число"},
        {"10001_rows.csv", "Ошибка импорта! Строка 10001, столбец A: в файле больше 10000 строк с "
                           "координатами, а программа принимает не больше 10000 углов."},
        {"error_cell.xlsx", "Ошибка импорта! Строка 3, столбец B: ошибка в ячейке"},
    };
    state.settings.ImportHintOff = 1;
    for (const auto &[name, message] : cases) {
        SCOPED_TRACE(name);
        fakes.messages.shown.clear();
        form->document().markSaved();
        const QString x1 = form->table().x(1)->Text(), text1 = form->controls().Text1->Text();
        fakes.dialogs.fileAnswers.push_back(path(name));
        form->controls().Menu_File_Import->trigger();
        finishBackgroundWork();
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text, message);
        EXPECT_EQ(fakes.messages.shown[0].title, "Ошибка импорта");
        EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(form->table().x(1)->Text(), x1);
        EXPECT_EQ(form->controls().Text1->Text(), text1);
        EXPECT_FALSE(form->document().isModified());
    }
}

TEST_F(Form1ToolsTest, ImportHintRunsTheImportWhenClosedAndKeepsItsTick) {
    for (int tick : {0, 1}) {
        SCOPED_TRACE(tick);
        state.settings.ImportHintOff = 0;
        fakes.dialogs.asked.clear();
        fakes.settings.writes.clear();
        form->controls().Menu_File_Import->trigger();
        auto *hint = form->findChild<settings_windows::FrmPodsk1 *>();
        ASSERT_NE(hint, nullptr);
        EXPECT_TRUE(hint->isVisible());
        EXPECT_EQ(hint->windowTitle(), "Подсказка");
        EXPECT_EQ(hint->Label1->Caption().split('\n'),
                  QStringList({"Импорт координат из Excel осуществляется из ячеек:",
                               "A1 - A20 - это координаты X1 - X20",
                               "B1 - B20 - это координаты Y1 - Y20"}));
        EXPECT_EQ(hint->Ch1->Caption(), "Больше не выводить это сообщение");
        EXPECT_FALSE(hint->Picture1->label()->pixmap().isNull());
        EXPECT_TRUE(fakes.dialogs.asked.empty()) << "the import waits for the hint";

        hint->Ch1->setValue(tick);
        fakes.dialogs.fileAnswers.push_back(std::nullopt);
        hint->close();
        EXPECT_FALSE(hint->isVisible());
        // The file dialog comes once the hint has gone, at the next turn of
        // the event loop.
        EXPECT_TRUE(fakes.dialogs.asked.empty());
        QApplication::processEvents();
        EXPECT_EQ(state.settings.ImportHintOff, tick);
        EXPECT_EQ(fakes.settings.writes, QStringList{"Tunes/Gr9=" + QString::number(tick)});
        ASSERT_EQ(fakes.dialogs.asked.size(), 1u);
        EXPECT_EQ(fakes.dialogs.asked[0].kind, platform::FakeDialogs::Asked::Kind::Open);
    }
}

TEST_F(Form1ToolsTest, HintsCommandSwitchesAllThreeBackOn) {
    state.settings.ImportHintOff = state.settings.StepHintOff = state.settings.CornerHintOff = 1;
    form->controls().Menu_Set_Hlp->trigger();
    EXPECT_EQ(state.settings.ImportHintOff, 0);
    EXPECT_EQ(state.settings.StepHintOff, 0);
    EXPECT_EQ(state.settings.CornerHintOff, 0);
    EXPECT_EQ(fakes.settings.writes, QStringList({"Tunes/Gr9=0", "Tunes/Fl5=0", "Tunes/Fl6=0"}));
}

// ---------------------------------------------------------------- picture, folder

TEST_F(Form1ToolsTest, PictureLowerEdgeLiesOnTheXAxisWhateverItsHeight) {
    state.settings.WorkFolder = dir.path();
    const struct {
        int height;
        const char *format;
    } pictures[] = {{1, "PNG"}, {37, "BMP"}, {480, "PNG"}};
    for (const auto &[height, format] : pictures) {
        SCOPED_TRACE(height);
        const QString file = path(QString("p%1.%2").arg(height).arg(QString(format).toLower()));
        QImage image(20, height, QImage::Format_RGB32);
        image.fill(Qt::green);
        ASSERT_TRUE(image.save(file, format));
        form->controls().Menu_Tools_Map_No->trigger();
        fakes.dialogs.fileAnswers.push_back(file);
        form->controls().Menu_Tools_Map->trigger();
        EXPECT_EQ(state.settings.MapPicture, file);
        EXPECT_DOUBLE_EQ(form->plot().picture()->Height(), height * 15.0);
        EXPECT_DOUBLE_EQ(form->plot().picture()->Top() + form->plot().picture()->Height(),
                         form->view().originY);
        EXPECT_TRUE(form->plot().picture()->Visible());
    }
    const auto &request = fakes.dialogs.asked.back().request;
    EXPECT_EQ(request.defaultExt, "*.bmp");
    EXPECT_EQ(request.filter, "Файлы (*.bmp)|*.bmp|Файлы (*.gif)|*.gif|Файлы (*.jpg)|*.jpg|"
                              "Все файлы(*.*)|*.*|");
    EXPECT_EQ(request.initDir, dir.path());
}

TEST_F(Form1ToolsTest, AFileThatIsNoPictureKeepsThePreviousOne) {
    QImage image(10, 40, QImage::Format_RGB32);
    ASSERT_TRUE(image.save(path("good.bmp"), "BMP"));
    QFile bad(path("bad.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    fakes.dialogs.fileAnswers = {path("good.bmp"), path("bad.bmp"), std::nullopt};
    form->controls().Menu_Tools_Map->trigger();
    form->controls().Menu_Tools_Map->trigger();
    form->controls().Menu_Tools_Map->trigger();
    EXPECT_EQ(state.settings.MapPicture, path("good.bmp"));
    EXPECT_DOUBLE_EQ(form->plot().picture()->Height(), 600);
    EXPECT_TRUE(form->plot().picture()->Visible());
    form->controls().Menu_Tools_Map_No->trigger();
    EXPECT_FALSE(form->plot().picture()->Visible());
    form->controls().Menu_Tools_Map_Yes->trigger();
    EXPECT_TRUE(form->plot().picture()->Visible());
    EXPECT_EQ(state.settings.MapPicture, path("good.bmp"));
}

// Opening a named pipe for reading waits for a writer: every file the window
// reads or hands on must be refused at once instead, as a file it cannot use.
TEST_F(Form1ToolsTest, NamedPipesAreRefusedWithoutWaiting) {
    const QString fifo = path("pipe.bmp");
    ASSERT_TRUE(makeFifo(fifo));
    QImage image(10, 40, QImage::Format_RGB32);
    ASSERT_TRUE(image.save(path("good.bmp"), "BMP"));
    state.settings.ImportHintOff = 1;
    const struct {
        const char *what;
        std::function<void()> run;
    } cases[] = {
        {"picture",
         [&] {
             fakes.dialogs.fileAnswers = {path("good.bmp"), fifo};
             form->controls().Menu_Tools_Map->trigger();
             form->controls().Menu_Tools_Map->trigger();
             EXPECT_EQ(state.settings.MapPicture, path("good.bmp"));
             EXPECT_DOUBLE_EQ(form->plot().picture()->Height(), 600);
         }},
        {"import",
         [&] {
             fakes.dialogs.fileAnswers = {fifo};
             form->controls().Menu_File_Import->trigger();
             finishBackgroundWork();
             EXPECT_EQ(messages(), QStringList{"Ошибка импорта: Ошибка импорта!"});
             EXPECT_EQ(form->controls().Text1->Text(), "20");
         }},
        {"help document",
         [&] {
             form->setHelpDocument(fifo);
             form->controls().Menu_Help_Help->trigger();
             EXPECT_TRUE(fakes.shell.opened.isEmpty()) << "a pipe is no document to hand on";
             auto *help = form->findChild<QDialog *>("helpWindow");
             ASSERT_NE(help, nullptr);
             help->close();
         }},
        {"picture stored from the last run",
         [&] {
             platform::FakeServices f;
             f.settings.write("Tunes", "imgFName", fifo);
             auto s = bundleFor(f);
             SharedState st;
             Form1 w(st, *s);
             w.Form_Load();
             EXPECT_TRUE(w.plot().picture()->Picture().isNull());
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        fakes.messages.shown.clear();
        fakes.shell.opened.clear();
        const PipeRescuer rescuer(fifo);
        c.run();
        EXPECT_FALSE(rescuer.rescued()) << "the window waited on the pipe";
    }
}

TEST_F(Form1ToolsTest, FolderCommandKeepsTheFolderOnCancelAndStoresAChoice) {
    state.settings.WorkFolder = "/srv/polygons";
    fakes.dialogs.fileAnswers = {std::nullopt, QString("/home/user/plots")};
    form->controls().Menu_Set_Path->trigger();
    EXPECT_EQ(state.settings.WorkFolder, "/srv/polygons");
    EXPECT_TRUE(fakes.settings.writes.isEmpty());
    EXPECT_EQ(fakes.dialogs.asked[0].request.title, "Выберите папку");
    EXPECT_EQ(fakes.dialogs.asked[0].request.initDir, "/srv/polygons");

    form->controls().Menu_Set_Path->trigger();
    EXPECT_EQ(state.settings.WorkFolder, "/home/user/plots");
    EXPECT_EQ(fakes.settings.writes,
              QStringList({"Tunes/VibFolder=/home/user/plots",
                           "Tunes/SquFolder=", "Tunes/XlsFolder=", "Tunes/PicFolder="}));

    state.settings.WorkFolder.clear();
    form->controls().Menu_Set_Path->trigger();
    EXPECT_EQ(fakes.dialogs.asked.back().request.initDir, "/");
}

// Each kind of file dialog starts where a file of its kind was last chosen,
// whatever the other kinds did meanwhile; a folder that is gone, and a new
// work folder, send it back to the work folder.
TEST_F(Form1ToolsTest, FileDialogsStartInTheFolderLastUsedForTheirKind) {
    const struct {
        const char *name;
        const char *file;
        const char *key;
        std::function<void()> run;
    } kinds[] = {
        {"import", "book.csv", "XlsFolder",
         [this] {
             form->controls().Menu_File_Import->trigger();
             finishBackgroundWork();
         }},
        {"export", "out.xlsx", "XlsFolder",
         [this] { form->controls().Menu_File_Export->trigger(); }},
        {"picture", "plan.bmp", "PicFolder",
         [this] { form->controls().Menu_Tools_Map->trigger(); }},
    };
    state.settings.ImportHintOff = 1;
    const QString work = path("work"), gone = path("gone");
    ASSERT_TRUE(QDir().mkpath(work));
    const auto lastStart = [this] { return fakes.dialogs.asked.back().request.initDir; };
    for (const auto &kind : kinds) {
        SCOPED_TRACE(kind.name);
        // The folder of the kind's last file; no other kind starts there.
        const QString own = path(kind.name);
        ASSERT_TRUE(QDir().mkpath(own));
        state.settings.WorkFolder = work;
        fakes.dialogs.fileAnswers = {own + "/" + kind.file};
        kind.run();
        fakes.messages.shown.clear();
        EXPECT_EQ(lastStart(), work) << "the first start is the work folder";
        EXPECT_EQ(fakes.settings.value("Tunes", kind.key), own);
        fakes.dialogs.fileAnswers = {std::nullopt};
        kind.run();
        EXPECT_EQ(lastStart(), own);
        for (const auto &other : kinds) {
            if (QString(other.key) == kind.key) continue;
            fakes.dialogs.fileAnswers = {std::nullopt};
            other.run();
            EXPECT_NE(lastStart(), own) << other.name;
        }
        // Taken away: the work folder again.
        ASSERT_TRUE(QDir().rename(own, gone));
        fakes.dialogs.fileAnswers = {std::nullopt};
        kind.run();
        EXPECT_EQ(lastStart(), work);
        ASSERT_TRUE(QDir().rename(gone, own));
        // A new work folder is where every dialog starts again.
        fakes.dialogs.fileAnswers = {path("new")};
        ASSERT_TRUE(QDir().mkpath(path("new")));
        form->controls().Menu_Set_Path->trigger();
        EXPECT_EQ(fakes.settings.value("Tunes", kind.key), QString());
        fakes.dialogs.fileAnswers = {std::nullopt};
        kind.run();
        EXPECT_EQ(lastStart(), path("new"));
    }
}

// ---------------------------------------------------------------- print

TEST_F(Form1ToolsTest, PrintedPageHoldsOwnerAreaAndTable) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
    form->document().editOwner("Иванов Пётр, участок №12");
    fakes.printer.pdfPath = path("page.pdf");
    form->controls().Menu_File_Print->trigger();
    ASSERT_EQ(fakes.printer.printed, 1);

    QProcess p;
    p.start("pdftotext", {path("page.pdf"), "-"});
    ASSERT_TRUE(p.waitForFinished());
    QString text = QString::fromUtf8(p.readAllStandardOutput());
    text.remove(QRegularExpression("\\s"));
    EXPECT_TRUE(text.contains("ИвановПётр,участок№12")) << text.toStdString();
    EXPECT_TRUE(text.contains("Площадь:10700,00")) << text.toStdString();
    EXPECT_TRUE(text.contains("176,00")); // a coordinate of the table
    // Documents write units as "м²", not as the window's captions "Кв. М".
    EXPECT_TRUE(text.contains("Площадь:10700,00м²")) << text.toStdString();

    // The unit is the document's: undone, the page goes back with it.
    choose(*form->controls().CmbEd, 1); // "КМ"
    const auto printed = [&] {
        fakes.printer.pdfPath = path("page.pdf");
        form->controls().Menu_File_Print->trigger();
        QProcess q;
        q.start("pdftotext", {path("page.pdf"), "-"});
        q.waitForFinished();
        return QString::fromUtf8(q.readAllStandardOutput()).remove(QRegularExpression("\\s"));
    };
    EXPECT_TRUE(printed().contains("Площадь:10700,00км²"));
    form->controls().Menu_Undo->trigger();
    EXPECT_TRUE(printed().contains("Площадь:10700,00м²"));
}

TEST_F(Form1ToolsTest, PrintedDrawingKeepsTheScreenScale) {
    // A square of 100 m at 10 m per centimetre is 10 cm on paper: 1000 dots
    // at 254 dots per inch.
    setPolygon({"0", "100", "100", "0"}, {"0", "0", "100", "100"});
    QImage page(2100, 2970, QImage::Format_RGB32);
    page.setDotsPerMeterX(10000);
    page.setDotsPerMeterY(10000);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        form->paintPrintPage(painter, 254);
    }
    int left = page.width(), right = -1, top = page.height(), bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            if (qRed(row[x]) > 200 && qGreen(row[x]) < 60 && qBlue(row[x]) < 60) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_NEAR(right - left, 1000, 6);
    EXPECT_NEAR(bottom - top, 1000, 6);
}

// The page shows what the window's view shows: a survey plot the view took
// in, with the real coordinates on its axes, and X upward when north is up.
// The label's unedited prompt is no title.
TEST_F(Form1ToolsTest, ThePrintedPageFollowsTheView) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
    const auto text = [&] {
        fakes.printer.pdfPath = path("page.pdf");
        form->controls().Menu_File_Print->trigger();
        QProcess q;
        q.start("pdftotext", {path("page.pdf"), "-"});
        q.waitForFinished();
        return QString::fromUtf8(q.readAllStandardOutput()).remove(QRegularExpression("\\s"));
    };
    // The red edges' extent on a page at 254 dots per inch.
    const auto edges = [&] {
        QImage page(2100, 2970, QImage::Format_RGB32);
        page.setDotsPerMeterX(10000);
        page.setDotsPerMeterY(10000);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            form->paintPrintPage(painter, 254);
        }
        QRect box;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QRgb c = page.pixel(x, y);
                if (qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60) box |= QRect(x, y, 1, 1);
            }
        return box.size();
    };
    EXPECT_FALSE(text().contains(QStringLiteral("Сюдаможно")));

    // 100 m of X and 20 m of Y at 10 m per centimetre: 10 cm by 2 cm.
    setPolygon({"6123456", "6123556", "6123556", "6123456"},
               {"2345678", "2345678", "2345698", "2345698"});
    form->controls().Menu_Tools_ShowAll->trigger();
    const QString page = text();
    EXPECT_TRUE(page.contains("6123500")) << page.toStdString();
    EXPECT_TRUE(page.contains("2345700")) << page.toStdString();
    const QSize across = edges();
    EXPECT_NEAR(across.width(), 1000, 6);
    EXPECT_NEAR(across.height(), 200, 6);

    form->controls().Menu_Set_Grid->trigger();
    auto *grid = form->findChild<settings_windows::FrmNastrGrid *>();
    ASSERT_NE(grid, nullptr);
    grid->Check7->setValue(1);
    grid->close();
    const QSize up = edges();
    EXPECT_NEAR(up.width(), 200, 6);
    EXPECT_NEAR(up.height(), 1000, 6);
    EXPECT_EQ(fakes.settings.value("Tunes", "Gr13"), std::optional<QString>("1"));
}

// Survey coordinates typed by hand, key by key, print with the page's own
// axes at the plot: their values, the corner numbers and the side lengths
// (each length once in the drawing and once in the table). At 1 cm = 10 m
// the 74 m by 62 m with a centimetre of room all round take 14 cm from
// 6 123 400 and 10 cm from 2 345 650, the tick multiples below.
TEST_F(Form1ToolsTest, AHandTypedSurveyPlotPrintsWithItsAxesAndCaptions) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
    const char *corners[][2] = {{"6123456", "2345678"},
                                {"6123500", "2345690"},
                                {"6123530", "2345740"},
                                {"6123460", "2345730"},
                                {"6123458", "2345700"}};
    QLineEdit *count = form->controls().Text1->edit();
    focus(*form->controls().Text1);
    count->selectAll();
    QTest::keyClicks(count, QStringLiteral("5"));
    QTest::keyClick(count, Qt::Key_Return);
    for (int i = 1; i <= 5; ++i)
        for (const geometry::Axis axis : {geometry::Axis::X, geometry::Axis::Y}) {
            const platform::TextBox &field = *form->table().field(axis, i);
            focus(field);
            field.edit()->selectAll();
            QTest::keyClicks(field.edit(),
                             QString::fromLatin1(corners[i - 1][axis == geometry::Axis::Y]));
        }
    focus(*form->table().x(1));
    type(*form->controls().txtMsb, QStringLiteral("10"));
    ASSERT_EQ(form->cornerCount(), 5);

    fakes.printer.pdfPath = path("page.pdf");
    form->controls().Menu_File_Print->trigger();
    ASSERT_EQ(fakes.printer.printed, 1);
    QProcess p;
    p.start("pdftotext", {path("page.pdf"), "-"});
    ASSERT_TRUE(p.waitForFinished());
    const QString text = QString::fromUtf8(p.readAllStandardOutput()).remove(QRegularExpression("\\s"));
    for (const char *tick : {"6123450", "6123500", "6123550", "2345700", "2345750"})
        EXPECT_TRUE(text.contains(QLatin1String(tick))) << tick << "\n" << text.toStdString();
    for (const char *length : {"45,61", "58,31", "70,71", "30,07", "22,09"})
        EXPECT_EQ(text.count(QLatin1String(length)), 2) << length;
    EXPECT_TRUE(text.contains("Масштаб:в1см10м")) << text.toStdString();
}

// The page is laid out from the document and the view, not read from the
// screen: a corner's marker half dragged prints at its corner, and a
// measurement the screen shows is printed with it.
TEST_F(Form1ToolsTest, ThePrintedPageIsLaidOutFromTheDocumentAndTheView) {
    setPolygon({"0", "100", "100", "0"}, {"0", "0", "100", "100"});
    const auto render = [&] {
        QImage page(1050, 1485, QImage::Format_RGB32);
        page.setDotsPerMeterX(5000);
        page.setDotsPerMeterY(5000);
        page.fill(Qt::white);
        QPainter painter(&page);
        form->paintPrintPage(painter, 127);
        return page;
    };
    const QImage still = render();

    QWidget *s = form->surface();
    const QRectF marker = form->plot().layout().corner(2).marker.box;
    const QPoint grip(int(std::lround(marker.left() / 15)) + 1,
                      int(std::lround(marker.top() / 15)) + 1);
    const auto mouse = [s](QEvent::Type type, Qt::MouseButton b, Qt::MouseButtons held, QPoint at) {
        QMouseEvent e(type, QPointF(at), s->mapToGlobal(QPointF(at)), b, held, Qt::NoModifier);
        QApplication::sendEvent(s, &e);
    };
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, grip);
    mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grip + QPoint(60, 40));
    ASSERT_NE(form->plot().layout().corner(2).marker.box, marker); // moved on the screen
    EXPECT_EQ(render(), still);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, grip + QPoint(60, 40));

    // The measuring line, green, from corner 1 to corner 3.
    setPolygon({"0", "100", "100", "0"}, {"0", "0", "100", "100"});
    choose(*form->controls().Cmb1, 0);
    choose(*form->controls().Cmb2, 2);
    ASSERT_TRUE(form->plot().layout().measureLine.visible);
    const QImage measured = render();
    int green = 0;
    for (int y = 0; y < measured.height(); ++y)
        for (int x = 0; x < measured.width(); ++x) {
            const QRgb c = measured.pixel(x, y);
            green += qGreen(c) > 150 && qRed(c) < 80 && qBlue(c) < 80;
        }
    // 100 * sqrt(2) m at 10 m per cm: about 14 cm, some 700 dots of line.
    EXPECT_GT(green, 500);
}

// ---------------------------------------------------------------- help, about, calculator

TEST_F(Form1ToolsTest, HelpOpensThePdfBesideTheProgramElseItsOwnWindow) {
    form->controls().Menu_Help_Help->trigger();
    EXPECT_EQ(fakes.shell.opened,
              QStringList{QCoreApplication::applicationDirPath() + "/Help.pdf"});
    EXPECT_EQ(form->findChild<QDialog *>("helpWindow"), nullptr);

    fakes.shell.openSucceeds = false;
    form->controls().Menu_Help_Help->trigger();
    form->controls().Menu_Help_Help->trigger();
    const auto windows = form->findChildren<QDialog *>("helpWindow");
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->isVisible());
    const QString text = windows[0]->findChild<QTextBrowser *>()->toPlainText();
    EXPECT_TRUE(text.contains("Импорт координат из Excel"));
    EXPECT_TRUE(text.contains("около 1%"));
    windows[0]->close();
}

// The help keeps up with the window: every command of the menus and every
// shortcut is described there, under its exact caption.
TEST_F(Form1ToolsTest, TheHelpNamesEveryCommandAndShortcut) {
    fakes.shell.openSucceeds = false;
    form->controls().Menu_Help_Help->trigger();
    auto *help = form->findChild<QDialog *>("helpWindow");
    ASSERT_NE(help, nullptr);
    const QString text = help->findChild<QTextBrowser *>()->toPlainText().simplified();
    help->close();
    const auto caption = [](const QAction *a) {
        return QString(a->text()).remove(QRegularExpression("&(?!&)")).replace("&&", "&");
    };
    std::function<void(const QMenu *)> commandsOf = [&](const QMenu *menu) {
        SCOPED_TRACE(caption(menu->menuAction()).toStdString());
        EXPECT_TRUE(text.contains(caption(menu->menuAction()))) << "a menu";
        // The recent files are files, not commands.
        if (menu == form->controls().Menu_File_Recent) return;
        for (const QAction *a : menu->actions()) {
            if (a->isSeparator()) continue;
            if (a->menu()) {
                commandsOf(a->menu());
                continue;
            }
            EXPECT_TRUE(text.contains(caption(a))) << caption(a).toStdString();
        }
    };
    for (QAction *a : form->menuBar()->actions())
        if (a->menu()) commandsOf(a->menu());
    for (const QAction *a : form->findChildren<QAction *>())
        for (const QKeySequence &keys : a->shortcuts())
            EXPECT_TRUE(text.contains(keys.toString(QKeySequence::PortableText)))
                << keys.toString().toStdString() << " (" << caption(a).toStdString() << ")";
}

TEST_F(Form1ToolsTest, AboutBoxLinksAndOk) {
    using settings_windows::FrmAbout;
    form->controls().Menu_About->trigger();
    auto *about = form->findChild<FrmAbout *>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), "О программе");
    EXPECT_FALSE(form->isEnabled());
    EXPECT_TRUE(about->isEnabled());
    EXPECT_EQ(about->lblDescription->Caption(), "Тарвел 3.0");
    // No owner to name: no bare owner line, and the links move up into its place.
    EXPECT_FALSE(about->Label3->widget()->isVisibleTo(about));
    EXPECT_LT(about->Label1->Top(), about->Label2->Top());
    EXPECT_EQ(about->Label1->Top(), about->Label3->Top());

    QTest::mouseClick(about->Label1->widget(), Qt::LeftButton);
    QTest::mouseClick(about->Label2->widget(), Qt::LeftButton);
    EXPECT_EQ(fakes.shell.opened,
              QStringList({"https://tarvel.ru/",
                           "mailto:info@tarvel.ru?Subject=На счет программы Тарвел"}));

    QTest::mouseClick(about->cmdOK->widget(), Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(form->isEnabled());
}

// The windows that take input away from the main window are its dialogs:
// the desktop keeps them above it, and a click on the main window brings
// them forward rather than burying them.
TEST_F(Form1ToolsTest, SettingsAndAboutWindowsStayAboveTheDisabledMainWindow) {
    const std::pair<const char *, std::function<QWidget *()>> windows[] = {
        {"settings",
         [&]() -> QWidget * {
             form->controls().Menu_Set_Grid->trigger();
             return form->findChild<settings_windows::FrmNastrGrid *>();
         }},
        {"about",
         [&]() -> QWidget * {
             form->controls().Menu_About->trigger();
             return form->findChild<settings_windows::FrmAbout *>();
         }},
    };
    for (const auto &[name, open] : windows) {
        SCOPED_TRACE(name);
        QWidget *window = open();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(window->isVisible());
        EXPECT_FALSE(form->isEnabled());
        EXPECT_EQ(window->windowType(), Qt::Dialog);
        ASSERT_NE(window->windowHandle(), nullptr);
        EXPECT_EQ(window->windowHandle()->transientParent(), form->windowHandle());

        QApplication::setActiveWindow(form.get());
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == window; }, 2000));
        window->close();
        EXPECT_TRUE(form->isEnabled());
    }
}

// Closed by the user the hint starts the import; closed along with the main
// window it must not: there is no window left to import into, and an open
// dialog would keep the program alive.
TEST_F(Form1ToolsTest, ClosingTheMainWindowClosesTheImportHintWithoutImporting) {
    state.settings.ImportHintOff = 0;
    form->controls().Menu_File_Import->trigger();
    auto *hint = form->findChild<settings_windows::FrmPodsk1 *>();
    ASSERT_NE(hint, nullptr);
    ASSERT_TRUE(hint->isVisible());
    form->document().markSaved();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(hint->isVisible());
    EXPECT_TRUE(fakes.dialogs.asked.empty());
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->windowTitle().toStdString();
}

TEST_F(Form1ToolsTest, CalculatorStartsTheFirstFoundOrSaysItIsMissing) {
    form->controls().Menu_Tools_Kalk->trigger();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, "Калькулятор не найден.");
    EXPECT_EQ(fakes.messages.shown[0].title, "Сообщение программы");
    EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::Information);
    EXPECT_TRUE(fakes.shell.started.empty());

    fakes.shell.programsOnPath = {"xcalc", "kcalc"};
    form->controls().Menu_Tools_Kalk->trigger();
    ASSERT_EQ(fakes.shell.started.size(), 1u);
    EXPECT_EQ(fakes.shell.started[0].first, "kcalc");
    EXPECT_EQ(fakes.messages.shown.size(), 1u);
}

} // namespace
} // namespace tarvel::testing
