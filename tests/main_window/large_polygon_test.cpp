// Polygons beyond the table's twenty rows: the paste that makes one, the
// keys and the wheel that scroll the table, the .squx file, and the drawing
// of thousands of corners.
#include "support/window_fixture.h"

#include "files/polygon_file.h"
#include "drawing/drawing_layout.h"
#include "main_window/file_actions.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>

namespace tarvel::testing {
namespace {

using geometry::Axis;

// A list of n corners as a spreadsheet copies it: corner i is
// (1000 + i; 2000 + (i % 2) * 5), a zigzag.
QString cornerList(int n) {
    QString text;
    for (int i = 1; i <= n; ++i)
        text += QStringLiteral("%1\t%2\n").arg(1000 + i).arg(2000 + (i % 2) * 5);
    return text;
}

class LargePolygonTest : public WindowTest {
protected:
    void SetUp() override { makeWindow(); }
    // Pastes a list of n corners into X1: the polygon becomes that list.
    void pasteCorners(int n) {
        fakes.clipboard.plain = cornerList(n);
        QLineEdit *edit = form->table().x(1)->edit();
        focus(*form->table().x(1));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    }
    QString focusedCaption() const {
        const CoordinateTable &t = form->table();
        for (int s = 1; s <= CoordinateTable::kRows; ++s)
            if (t.fieldInRow(Axis::X, s)->edit()->hasFocus())
                return t.captionInRow(Axis::X, s)->Caption();
        return {};
    }
    QTemporaryDir dir;
};

TEST_F(LargePolygonTest, AListPastedIntoTheFirstRowIsThePolygon) {
    struct Case {
        const char *name;
        int pasted;
        bool scrolls;
        const char *lastX; // the last corner's X in the field pattern
    } cases[] = {{"six corners of twenty", 6, false, "1 006,00"},
                 {"twenty-five", 25, true, "1 025,00"},
                 {"two thousand", 2000, true, "3 000,00"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        pasteCorners(c.pasted);
        // Six pasted corners used to keep corners 7 to 20 of the old outline.
        EXPECT_EQ(form->cornerCount(), c.pasted);
        EXPECT_EQ(form->controls().Text1->Text(), QString::number(c.pasted));
        EXPECT_EQ(form->table().scrollBarShown(), c.scrolls);
        EXPECT_EQ(form->document().text(Axis::X, c.pasted), QString::fromUtf8(c.lastX));
        EXPECT_EQ(form->plot().layout().cornerCount(), c.pasted);
    }
    // One undo takes the whole paste back.
    form->controls().Menu_Undo->trigger();
    EXPECT_EQ(form->cornerCount(), 25);
}

TEST_F(LargePolygonTest, KeysAndTheWheelScrollTheTableAndTheFocusFollows) {
    pasteCorners(60);
    struct Step {
        const char *name;
        std::function<void()> act;
        int first;       // the corner in the first row after it
        QString focused; // the caption of the row with the focus
    };
    const auto key = [this](Qt::Key k, Qt::KeyboardModifiers m = {}) {
        return [this, k, m] { QTest::keyClick(QApplication::focusWidget(), k, m); };
    };
    const Step steps[] = {
        {"Ctrl+End", key(Qt::Key_End, Qt::ControlModifier), 41, "X60"},
        {"Ctrl+Home", key(Qt::Key_Home, Qt::ControlModifier), 1, "X1"},
        {"PageDown", key(Qt::Key_PageDown), 21, "X21"},
        {"PageUp", key(Qt::Key_PageUp), 1, "X1"},
        {"Down in the last row", [this] {
             focus(*form->table().x(20));
             QTest::keyClick(form->table().x(20)->edit(), Qt::Key_Down);
         }, 2, "X21"},
        {"Enter in the last row", key(Qt::Key_Return), 3, "X22"},
        {"a press on a corner's marker brings its row in", [this] {
             const QRectF marker = form->plot().layout().corner(50).marker.box;
             const QPoint at(int(marker.center().x() / platform::kTwipsPerPixel),
                             int(marker.center().y() / platform::kTwipsPerPixel));
             ASSERT_EQ(hitTest(form->plot().layout(), at.x() * platform::kTwipsPerPixel,
                               at.y() * platform::kTwipsPerPixel),
                       (DrawingHit{DrawingHit::Marker, 50}));
             QTest::mousePress(form->surface(), Qt::LeftButton, {}, at);
             QTest::mouseRelease(form->surface(), Qt::LeftButton, {}, at);
             ASSERT_EQ(form->view().currentCorner, 50);
         }, 31, "X50"},
    };
    focus(*form->table().x(1));
    for (const Step &s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        EXPECT_EQ(form->table().first(), s.first);
        EXPECT_EQ(form->table().captionInRow(Axis::X, 1)->Caption(),
                  QStringLiteral("X%1").arg(s.first));
        EXPECT_EQ(focusedCaption(), s.focused);
    }
    // The wheel: three corners a notch, within the corners there are. A
    // field takes no wheel: it comes on to the surface under the rows.
    QWidget *row = form->table().fieldInRow(Axis::Y, 5)->edit();
    QWidget *surface = row->parentWidget();
    const QPointF at = row->mapTo(surface, QPointF(5, 5));
    QWheelEvent down(at, surface->mapToGlobal(at), {}, QPoint(0, -240), Qt::NoButton, {},
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(surface, &down);
    EXPECT_EQ(form->table().first(), 37);
    QApplication::sendEvent(surface, &down);
    EXPECT_EQ(form->table().first(), 41);
    // Over the drawing the wheel is not the table's.
    const QPointF drawing(600, 300);
    QWheelEvent up(drawing, surface->mapToGlobal(drawing), {}, QPoint(0, 240), Qt::NoButton, {},
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(surface, &up);
    EXPECT_EQ(form->table().first(), 41);
}

TEST_F(LargePolygonTest, TheCornerAtHandScrollsIntoView) {
    pasteCorners(60);
    struct Step {
        const char *name;
        std::function<void()> act;
        int first; // the corner in the first row after it
    };
    const Step steps[] = {
        {"a corner chosen in a distance list", [this] {
             choose(*form->controls().Cmb2, QStringLiteral("45"));
         }, 26},
        {"an undo brings the current corner back", [this] {
             makeCurrent(3);
             form->table().scrollBar()->setValue(41); // and the table scrolled away from it
             form->document().editField(Axis::X, 58, QStringLiteral("1"));
             form->document().endTyping();
             form->controls().Menu_Undo->trigger();
         }, 3},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        EXPECT_EQ(form->table().first(), s.first);
    }
}

TEST_F(LargePolygonTest, MoreThanTwentyCornersGoIntoASquxFileOnly) {
    pasteCorners(25);
    form->document().editOwner(QStringLiteral("Иванов"));
    const QString squ = dir.filePath(QStringLiteral("plot.squ"));
    const QString squx = dir.filePath(QStringLiteral("plot.squx"));

    fakes.dialogs.fileAnswers = {squ};
    fakes.messages.shown.clear();
    EXPECT_FALSE(form->SAVE_AS());
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text,
              "В файл .squ помещается не больше 20 углов. Сохраните многоугольник как файл .squx.");
    EXPECT_FALSE(QFile::exists(squ)) << "nothing is written";
    EXPECT_EQ(fakes.dialogs.asked.back().request.defaultExt, "*.squx");

    fakes.dialogs.fileAnswers = {squx};
    ASSERT_TRUE(form->SAVE_AS());
    const geometry::PolygonTexts saved = form->document().texts();
    QFile file(squx);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines[0], "TARVEL-SQUX 1");
    EXPECT_EQ(lines[1], "25");
    EXPECT_EQ(lines[2], "1 001,00\t2 005,00");
    EXPECT_EQ(lines[27], "Иванов");

    pasteCorners(30);
    fakes.messages.answers = {platform::MsgResult::No};
    fakes.dialogs.fileAnswers = {squx};
    form->controls().Menu_File_Open->trigger();
    EXPECT_EQ(form->cornerCount(), 25);
    EXPECT_EQ(form->document().texts(), saved);
    EXPECT_FALSE(form->document().isModified());
}

TEST_F(LargePolygonTest, ADamagedSquxIsRefusedNamingItsLine) {
    const QString path = dir.filePath(QStringLiteral("bad.squx"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("TARVEL-SQUX 1\n3\n1\t1\n2 no tab\n3\t3\nowner\n");
    file.close();
    const geometry::PolygonTexts before = form->document().texts();
    fakes.dialogs.fileAnswers = {path};
    form->controls().Menu_File_Open->trigger();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, "Ошибка чтения файла! Файл повреждён в строке 4.");
    EXPECT_EQ(form->document().texts(), before);
}

TEST_F(LargePolygonTest, ThePrintedPageShowsTheWholePolygonAndRunsTheTableOn) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
    // 300 corners on a zigzag 300 m long: at the screen's 10 m a centimetre
    // it is 30 cm across, more than a page holds.
    pasteCorners(300);
    type(*form->controls().txtMsb, QStringLiteral("10"));
    fakes.printer.pdfPath = dir.filePath(QStringLiteral("page.pdf"));
    form->controls().Menu_File_Print->trigger();
    ASSERT_EQ(fakes.printer.printed, 1);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {fakes.printer.pdfPath, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished());
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput())
                            .remove(QLatin1Char(' '))
                            .split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 3) << "300 rows of about 5 mm run on over pages";
    for (const QString &page : pages) EXPECT_TRUE(page.contains(QStringLiteral("Сторона")));
    EXPECT_TRUE(pages.last().contains(QStringLiteral("300-1"))) << "the last side, back to 1";
    // 30 cm do not fit the 17 cm of drawing an A4 page leaves inside the
    // writer's margins and the page's own, of which the values beside the
    // Y axis take 1,6 cm. At 20 m a centimetre the 300 m with a centimetre
    // of room either side need 17 cm; at 25 m, 14 cm.
    EXPECT_TRUE(pages.last().contains(QStringLiteral("Масштаб:в1см25м")))
        << pages.last().toStdString();
    EXPECT_EQ(form->view().scale, 10.0f) << "the screen keeps its scale";
}

TEST_F(LargePolygonTest, CrowdedCaptionsAreLeftOutButTheEndsAndTheCurrentKeepTheirs) {
    pasteCorners(2000);
    // The current corner, chosen in the distance list's way.
    makeCurrent(1000);
    form->controls().Cmb1->combo()->setEditText(QStringLiteral("1000"));
    choose(*form->controls().Cmb2, QStringLiteral("1"));
    const DrawingLayout &d = form->plot().layout();
    ASSERT_EQ(d.cornerCount(), 2000);
    std::vector<QRectF> shown;
    int left = 0;
    for (int i = 1; i <= 2000; ++i)
        for (const Caption *c : {&d.corner(i).number, &d.corner(i).angle}) {
            if (c->text.isEmpty()) continue;
            if (!c->visible) {
                ++left;
                continue;
            }
            shown.push_back(c->box);
        }
    EXPECT_GT(left, 0) << "two thousand corners on one drawing cannot all be captioned";
    for (int i : {1, 1000, 2000}) EXPECT_TRUE(d.corner(i).number.visible) << i;
    for (std::size_t a = 0; a < shown.size(); ++a)
        for (std::size_t b = a + 1; b < shown.size(); ++b)
            ASSERT_FALSE(shown[a].intersects(shown[b])) << a << " and " << b;
}

} // namespace
} // namespace tarvel::testing
