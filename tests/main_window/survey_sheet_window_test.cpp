// The survey sheet's window over the real main window: opened from the
// menu, following the document once per change, the Mt choice kept in the
// settings, the clipboard, the printed page with the drawing to scale, and
// the ways to close it.
#include "main_window/survey_sheet_window.h"

#include "geographic/geo_window.h"
#include "platform/controls/colours.h"
#include "support/window_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>

#include <cmath>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>

namespace tarvel::testing {
namespace {

class SurveySheetWindowTest : public WindowTest {
protected:
    void SetUp() override { makeWindow(); }
    SurveySheetWindow &openSheet() {
        form->controls().Menu_Tools_Sheet->trigger();
        auto *w = form->findChild<SurveySheetWindow *>();
        EXPECT_NE(w, nullptr);
        return *w;
    }
    void setPolygon(const QStringList &x, const QStringList &y) {
        geometry::PolygonTexts t = form->document().texts();
        t.count = QString::number(x.size());
        for (int i = 0; i < x.size(); ++i) {
            t.x[std::size_t(i + 1)] = x[i];
            t.y[std::size_t(i + 1)] = y[i];
        }
        form->document().apply(t, QStringLiteral("test"));
    }
};

TEST_F(SurveySheetWindowTest, MenuOpensOneWindowAndBringsItBack) {
    SurveySheetWindow &w = openSheet();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Ведомость участка"));
    EXPECT_FALSE(w.isModal());
    EXPECT_EQ(w.table->model()->rowCount(), 20);
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(&openSheet(), &w);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(form->findChildren<SurveySheetWindow *>().size(), 1);
}

// At 200 % on 1920 x 1080 the room is 960 x 540 pixels: less than the
// sheet's 700 x 672. The window fits the room and its content scrolls, so
// that "Закрыть" can be reached.
TEST_F(SurveySheetWindowTest, TheWindowFitsASmallScreenAndScrolls) {
    const struct {
        const char *name;
        QRect room;
        QSize expected;
        bool scrolls;
    } rows[] = {
        {"large screen", QRect(0, 0, 1920, 1040), QSize(700, 672), false},
        {"200 per cent", QRect(0, 0, 960, 540), QSize(700, 492), true},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        fakes.screen.available = r.room;
        SurveySheetWindow w(*form, *services, form->printPage(), {});
        w.show();
        QApplication::processEvents();
        EXPECT_EQ(w.size(), r.expected);
        auto *area = w.findChild<QScrollArea *>();
        ASSERT_NE(area, nullptr);
        EXPECT_EQ(area->verticalScrollBar()->maximum() > 0, r.scrolls);
        area->ensureWidgetVisible(w.cmdClose->button());
        QApplication::processEvents();
        const QRect close(w.cmdClose->button()->mapTo(&w, QPoint(0, 0)),
                          w.cmdClose->button()->size());
        EXPECT_TRUE(w.rect().contains(close)) << "the button can be scrolled to";
    }
}

// Every kind of change reaches the sheet exactly once: a typed field, a
// command, the count, undo and redo, the unit.
TEST_F(SurveySheetWindowTest, OneUpdatePerDocumentChange) {
    SurveySheetWindow &w = openSheet();
    geometry::PolygonDocument &doc = form->document();
    const struct {
        const char *name;
        std::function<void()> change;
    } rows[] = {
        {"TypeIntoAField", [&] { doc.editField(geometry::Axis::X, 1, QStringLiteral("27")); }},
        {"Mirror", [&] { form->controls().Menu_Tools_Zerkalo->trigger(); }},
        {"CountButton", [&] { form->controls().Command3->button()->click(); }},
        {"Undo", [&] { form->controls().Menu_Undo->trigger(); }},
        {"Redo", [&] { form->controls().Menu_Redo->trigger(); }},
        {"Unit", [&] { choose(*form->controls().CmbEd, 1); }},
        {"Owner", [&] { doc.editOwner(QStringLiteral("Иванов")); }},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const int before = w.updateCount(), changes = doc.recomputeCount();
        r.change();
        ASSERT_EQ(doc.recomputeCount(), changes + 1);
        EXPECT_EQ(w.updateCount(), before + 1);
    }
    // What it shows is the document as it is now, also while closed.
    w.close();
    setPolygon({"0", "4", "0"}, {"0", "0", "3"});
    EXPECT_EQ(w.table->model()->rowCount(), 3);
    EXPECT_EQ(w.table->model()->index(1, 5).data().toString(), QStringLiteral("36° 52′ 12″"));
    EXPECT_EQ(w.table->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("X, км"));
    EXPECT_TRUE(w.lblTotals->Caption().contains(QStringLiteral("Площадь: 6 000 000 м²")));
}

// The design-time rectangle of the degrees-minutes-seconds window: 19,88 m
// by 20,06 m on the plane (398,79 m²), 401,2116 m² on the ellipsoid
// (GeographicLib's Planimeter), 0,61 % more. The sheet shows that while the
// polygon is as entered, and not after any edit, in the one update of the
// edit; the undo of the edit brings it back.
TEST_F(SurveySheetWindowTest, TheEllipsoidAreaShowsWhileThePolygonIsAsEntered) {
    const QString line =
        QStringLiteral("Площадь на эллипсоиде WGS 84: 401 м² (+0,61 % к площади на плоскости)");
    const auto shown = [](const SurveySheetWindow &w) {
        return w.lblTotals->Caption().split(QLatin1Char('\n'));
    };
    type(*form->controls().Text1, QStringLiteral("4"));
    form->Text1_LostFocus();
    form->controls().Menu_Tools_GK->trigger();
    ASSERT_NE(form->frmGK(), nullptr);
    form->frmGK()->CmdVnesty->button()->click();
    SurveySheetWindow &w = openSheet();
    EXPECT_TRUE(shown(w).contains(line)) << shown(w).join('|').toStdString();
    ASSERT_TRUE(w.sheet().ellipsoidAreaM2.has_value());
    EXPECT_NEAR(*w.sheet().ellipsoidAreaM2, 401.2116, 1e-3);
    ASSERT_TRUE(w.sheet().ellipsoidDiffPercent.has_value());
    EXPECT_NEAR(*w.sheet().ellipsoidDiffPercent, (401.2116 / (19.88 * 20.06) - 1) * 100, 1e-3);

    const struct {
        const char *name;
        std::function<void()> edit;
    } rows[] = {
        {"TypedCoordinate", [&] { type(*form->table().x(3), QStringLiteral("19,9")); }},
        {"StepMove",
         [&] {
             focus(*form->table().x(2));
             form->controls().CmdXUp->button()->click();
         }},
        // The same texts in kilometres are another polygon; the sheet gives
        // its area in square metres and leaves the ellipsoid out.
        {"UnitKilometres", [&] { choose(*form->controls().CmbEd, 1); }},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_TRUE(shown(w).contains(line));
        const int before = w.updateCount();
        r.edit();
        EXPECT_EQ(w.updateCount(), before + 1);
        EXPECT_FALSE(w.sheet().ellipsoidAreaM2.has_value());
        for (const QString &l : shown(w))
            EXPECT_FALSE(l.contains(QStringLiteral("эллипсоид"))) << l.toStdString();
        form->controls().Menu_Undo->trigger();
        EXPECT_EQ(w.updateCount(), before + 2);
        EXPECT_TRUE(shown(w).contains(line));
    }
}

TEST_F(SurveySheetWindowTest, CopyPutsTextAndHtmlOnTheClipboard) {
    SurveySheetWindow &w = openSheet();
    setPolygon({"0", "100", "100", "0"}, {"0", "0", "100", "100"});
    w.cmdCopy->Click();
    EXPECT_TRUE(fakes.clipboard.plain.startsWith(QStringLiteral("Ведомость участка\n")));
    EXPECT_TRUE(fakes.clipboard.plain.contains(
        // Two decimals of each coordinate; the side from (100; 0) to
        // (100; 100) heads north, up Y: 0°.
        QStringLiteral("\n2\t100,00\t0,00\t100,00\t0° 00′ 00″\t90° 00′ 00″\n")))
        << fakes.clipboard.plain.toStdString();
    EXPECT_TRUE(fakes.clipboard.plain.contains(QStringLiteral("\nПлощадь, га\t1,0000\n")));
    EXPECT_TRUE(fakes.clipboard.html.contains(QStringLiteral("<td>1,0000</td>")));
}

TEST_F(SurveySheetWindowTest, MtChoiceIsKeptInTheSettings) {
    SurveySheetWindow &w = openSheet();
    setPolygon({"0", "100", "100", "0"}, {"0", "0", "100", "100"});
    EXPECT_EQ(w.cmbCategory->Text(), QStringLiteral("земли населённых пунктов"));
    EXPECT_EQ(w.txtMt->Text(), QStringLiteral("0,10"));
    EXPECT_EQ(w.sheet().toleranceM2, 35.0);

    w.cmbCategory->setListIndex(5); // forest, water, reserve: 5 m
    EXPECT_EQ(w.txtMt->Text(), QStringLiteral("5,00"));
    EXPECT_EQ(w.sheet().toleranceM2, 1750.0);
    EXPECT_EQ(fakes.settings.value(files::kTunes, QStringLiteral("VedKat")), QStringLiteral("5"));

    w.txtMt->setText(QStringLiteral("0,3")); // typed: the list says so
    EXPECT_EQ(w.cmbCategory->Text(), SurveySheetWindow::kTypedMtItem);
    EXPECT_EQ(w.sheet().toleranceM2, 105.0);
    EXPECT_EQ(fakes.settings.value(files::kTunes, QStringLiteral("VedKat")), QStringLiteral("6"));
    EXPECT_EQ(fakes.settings.value(files::kTunes, QStringLiteral("VedMt")), QStringLiteral("0,3"));

    w.txtMt->setText(QStringLiteral("abc")); // no Mt, no tolerance; nothing breaks
    EXPECT_EQ(w.sheet().toleranceM2, std::nullopt);
    EXPECT_EQ(w.txtMt->ForeColor(), 0x0000FFu);
    w.txtMt->setText(QStringLiteral("0,3"));
    EXPECT_EQ(w.txtMt->ForeColor(), platform::kSysWindowText);

    // A new sheet starts from what was kept.
    SurveySheetWindow again(*form, *services, form->printPage());
    EXPECT_EQ(again.cmbCategory->Text(), SurveySheetWindow::kTypedMtItem);
    EXPECT_EQ(again.txtMt->Text(), QStringLiteral("0,3"));
    EXPECT_EQ(again.sheet().toleranceM2, 105.0);
}

TEST_F(SurveySheetWindowTest, EscapeAndCloseButtonClose) {
    SurveySheetWindow &w = openSheet();
    QApplication::setActiveWindow(&w);
    (void)QTest::qWaitForWindowActive(&w);
    QTest::keyClick(w.table, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    openSheet();
    w.cmdClose->Click();
    EXPECT_FALSE(w.isVisible());
}

// A square of 100 m at 10 m per centimetre is 10 cm on paper, as on the
// main page: 1000 dots at 254 dots per inch.
TEST_F(SurveySheetWindowTest, PrintedSheetCarriesTheDrawingToScale) {
    SurveySheetWindow &w = openSheet();
    setPolygon({"0", "100", "100", "0"}, {"0", "0", "100", "100"});
    QImage page(2100, 2970, QImage::Format_RGB32);
    page.setDotsPerMeterX(10000);
    page.setDotsPerMeterY(10000);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        w.paintPage(painter, 254);
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

TEST_F(SurveySheetWindowTest, PrintGoesThroughThePrinterWithTheSheet) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
    QTemporaryDir dir;
    SurveySheetWindow &w = openSheet();
    form->document().editOwner(QStringLiteral("Иванов Пётр"));
    fakes.printer.pdfPath = dir.filePath(QStringLiteral("sheet.pdf"));
    w.cmdPrint->Click();
    ASSERT_EQ(fakes.printer.printed, 1);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {fakes.printer.pdfPath, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished());
    QString text = QString::fromUtf8(p.readAllStandardOutput());
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    EXPECT_TRUE(text.contains(QStringLiteral("Ведомостьучастка"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("ИвановПётр")));
    EXPECT_TRUE(text.contains(QStringLiteral("Площадь:10700м²(10700,00м²)"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Дирекционныйугол"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("отосиY(север),почасовойстрелке")))
        << text.toStdString();
}

TEST_F(SurveySheetWindowTest, ALongSheetRunsOnOverPagesEachWithTheHeading) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
    QTemporaryDir dir;
    SurveySheetWindow &w = openSheet();
    // 200 corners on a circle of 500 m.
    geometry::PolygonTexts t = form->document().texts();
    t.count = QStringLiteral("200");
    for (int i = 1; i <= 200; ++i) {
        const double a = 2 * 3.14159265358979 * i / 200;
        t.x[std::size_t(i)] = QString::number(500 * std::cos(a), 'f', 2).replace('.', ',');
        t.y[std::size_t(i)] = QString::number(500 * std::sin(a), 'f', 2).replace('.', ',');
    }
    form->document().apply(t, QStringLiteral("Круг"));
    ASSERT_EQ(w.table->model()->rowCount(), 200);
    fakes.printer.pdfPath = dir.filePath(QStringLiteral("sheet.pdf"));
    w.cmdPrint->Click();
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {fakes.printer.pdfPath, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished());
    const QStringList pages =
        QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    // 200 rows of about 5 mm do not fit on one A4 page.
    ASSERT_GE(pages.size(), 3);
    for (const QString &page : pages) {
        QString text = page;
        text.remove(QRegularExpression(QStringLiteral("\\s")));
        EXPECT_TRUE(text.contains(QStringLiteral("Дирекционный"))) << text.toStdString();
    }
    QString last = pages.last();
    last.remove(QRegularExpression(QStringLiteral("\\s")));
    EXPECT_TRUE(last.contains(QStringLiteral("Площадь:"))) << "the totals follow the last row";
}

// ---- "Сохранить..."

// What `program` writes to its output, empty when it fails.
QString outputOf(const QString &program, const QStringList &arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished() || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A 30 x 20 rectangle at (10 000; 20 000): 600 m², its first side 30 m
// east (90° with Y north), every corner 90°.
class SurveySheetSaveTest : public SurveySheetWindowTest {
protected:
    void SetUp() override {
        SurveySheetWindowTest::SetUp();
        sheet = &openSheet();
        setPolygon({"10000", "10030", "10030", "10000"}, {"20000", "20000", "20020", "20020"});
        form->document().editOwner(QStringLiteral("Петров & сын"));
    }
    SurveySheetWindow *sheet = nullptr;
    QTemporaryDir dir;
};

TEST_F(SurveySheetSaveTest, TheChosenNameGivesTheKindOfFile) {
    if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "no unzip or pdftotext";
    const struct {
        const char *name;
        const char *file;
        bool pdf;
    } rows[] = {
        {"OpenDocument", "sheet.odt", false},
        {"PDF", "sheet.pdf", true},
        {"PDF in capitals", "SHEET.PDF", true},
        {"no suffix is an OpenDocument", "sheet", false},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        fakes.documents.odts.clear();
        fakes.documents.pdfs.clear();
        const QString path = dir.filePath(QString::fromUtf8(r.file));
        fakes.dialogs.fileAnswers.push_back(path);
        sheet->cmdSave->button()->click();

        ASSERT_EQ(fakes.documents.pdfs.size(), r.pdf ? 1u : 0u);
        ASSERT_EQ(fakes.documents.odts.size(), r.pdf ? 0u : 1u);
        EXPECT_TRUE(fakes.messages.shown.empty());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        if (r.pdf) {
            EXPECT_EQ(file.read(5), QByteArrayLiteral("%PDF-"));
            QString text = outputOf(QStringLiteral("pdftotext"), {path, "-"});
            text.remove(QRegularExpression(QStringLiteral("\\s")));
            for (const char *held : {"Ведомостьучастка", "10030,00", "20020,00", "Площадь:600м²"})
                EXPECT_TRUE(text.contains(QString::fromUtf8(held))) << held;
        } else {
            EXPECT_EQ(file.read(2), QByteArrayLiteral("PK")) << "a zip";
            const QString content = outputOf(QStringLiteral("unzip"), {"-p", path, "content.xml"});
            // The corners, and the totals; the head row and four corners,
            // and the seven totals (area, ha, сотки, perimeter, ΔP, angles,
            // north axis).
            EXPECT_EQ(content.count(QStringLiteral("<table:table ")), 2) << content.toStdString();
            EXPECT_EQ(content.count(QStringLiteral("<table:table-row")), 5 + 7);
            for (const char *cell : {"Дирекционный угол", "10 030,00", "20 020,00", "270° 00′ 00″",
                                     "600 м² (600,00 м²)", "Петров &amp; сын"})
                EXPECT_TRUE(content.contains(QString::fromUtf8(cell))) << cell;
        }
    }
    // Both kinds offered, the document first, from the polygon folder.
    const platform::FileDialogRequest &asked = fakes.dialogs.asked.at(0).request;
    EXPECT_EQ(asked.filter,
              QStringLiteral("Документ OpenDocument (*.odt)|*.odt|PDF (*.pdf)|*.pdf|"));
    EXPECT_EQ(asked.defaultExt, QStringLiteral("*.odt"));
    // With its suffix, which the dialog turns to ".pdf" with the filter.
    EXPECT_EQ(asked.fileName, QStringLiteral("Ведомость участка.odt"));
    EXPECT_EQ(asked.initDir, state.settings.WorkFolder);
    state.settings.PolygonFolder = dir.path();
    sheet->cmdSave->button()->click(); // Cancel
    EXPECT_EQ(fakes.dialogs.asked.back().request.initDir, dir.path());
}

// Cancel writes nothing and says nothing; a write that fails says so and
// changes nothing else.
TEST_F(SurveySheetSaveTest, CancelAndAFailedWrite) {
    const struct {
        const char *name;
        std::optional<QString> answer;
        std::size_t odts, pdfs;
    } rows[] = {
        {"Cancel", std::nullopt, 0, 0},
        {"a document that cannot be written", QStringLiteral("sheet.odt"), 1, 0},
        {"a PDF that cannot be written", QStringLiteral("sheet.pdf"), 0, 1},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        fakes.documents.odts.clear();
        fakes.documents.pdfs.clear();
        fakes.documents.fails = true;
        fakes.messages.shown.clear();
        fakes.dialogs.fileAnswers.push_back(r.answer ? std::optional(dir.filePath(*r.answer))
                                                     : std::nullopt);
        const int updates = sheet->updateCount();
        const bool modified = form->document().isModified();
        sheet->cmdSave->button()->click();

        EXPECT_EQ(fakes.documents.odts.size(), r.odts);
        EXPECT_EQ(fakes.documents.pdfs.size(), r.pdfs);
        ASSERT_EQ(fakes.messages.shown.size(), r.answer ? 1u : 0u);
        if (r.answer) {
            EXPECT_EQ(fakes.messages.shown[0].text, QStringLiteral("Ошибка записи файла!"));
            EXPECT_EQ(fakes.messages.shown[0].buttons, platform::MsgButtons::OK);
            EXPECT_EQ(fakes.messages.shown[0].icon, platform::MsgIcon::Exclamation);
        }
        EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "no file left behind";
        EXPECT_EQ(sheet->updateCount(), updates);
        EXPECT_EQ(form->document().isModified(), modified);
    }
}

} // namespace
} // namespace tarvel::testing
