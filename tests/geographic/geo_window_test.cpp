// The geographic entry windows: on their own, the corners they hand on,
// field corrections, rows, focus and storing; against the real main window,
// what it shows after entering and the lifecycle it drives.
#include "geographic/geo_window.h"
#include "support/window_fixture.h"

#include "platform/controls/colours.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

#include <memory>
#include <optional>
#include <vector>

namespace tarvel::testing {
namespace {

using geographic::Field;
using geographic::GeoKind;
using geographic::GeoWindow;
using geographic::PlaneCorners;
using platform::MsgResult;

// A window without a main window: what it hands on is collected.
class GeoWindowAloneTest : public WindowTest {
protected:
    void SetUp() override { services = bundleFor(fakes); }
    GeoWindow &load(GeoKind kind, int mainCornerCount) {
        windows.push_back(std::make_unique<GeoWindow>(nullptr, *services, settings, kind));
        GeoWindow &w = *windows.back();
        QObject::connect(&w, &GeoWindow::cornersEntered,
                         [this](const PlaneCorners &c) { entered.push_back(c); });
        w.Form_Load(mainCornerCount);
        w.show();
        return w;
    }
    void activate(GeoWindow &w) {
        w.raise();
        w.activateWindow();
        QApplication::setActiveWindow(&w);
        (void)QTest::qWaitForWindowActive(&w);
    }
    // The texts the entered corners take in the main window.
    static QStringList texts(const PlaneCorners &c, bool x) {
        QStringList out;
        for (int i = 1; i <= c.count; ++i)
            out << geographic::cornerText(x ? c.x[i] : c.y[i]);
        return out;
    }

    files::Settings settings;
    std::vector<std::unique_ptr<GeoWindow>> windows;
    std::vector<PlaneCorners> entered;
};

class GeoWindowTest : public WindowTest {
protected:
    GeoWindow &open(GeoKind kind) {
        if (kind == GeoKind::DegreesMinutesSeconds)
            form->controls().Menu_Tools_GK->trigger();
        else
            form->controls().Menu_Tools_GK1->trigger();
        GeoWindow *w = kind == GeoKind::DegreesMinutesSeconds ? form->frmGK() : form->frmGK1();
        EXPECT_NE(w, nullptr);
        return *w;
    }
    void activate(GeoWindow &w) {
        QApplication::setActiveWindow(&w);
        (void)QTest::qWaitForWindowActive(&w);
    }
    QStringList mainTexts(bool x, int n) {
        QStringList out;
        for (int i = 1; i <= n; ++i)
            out << (x ? form->table().x(i) : form->table().y(i))->Text();
        return out;
    }
    int storedGeoWrites() const {
        return int(fakes.settings.writes.filter(QStringLiteral("txt")).size());
    }
};

// ---------------------------------------------------------------- alone

TEST_F(GeoWindowAloneTest, EnteringHandsOnTheRowsInUseBoundToTheAxes) {
    struct Case {
        GeoKind kind;
        QStringList x, y;
    } cases[] = {
        {GeoKind::DegreesMinutesSeconds,
         {"0", "0", "19,88", "19,88"},
         {"0", "20,06", "20,06", "0"}},
        {GeoKind::DecimalDegrees, {"0", "0", "19,9", "19,9"}, {"0", "20,11", "20,11", "0"}},
    };
    for (const Case &c : cases) {
        entered.clear();
        GeoWindow &w = load(c.kind, 4);
        EXPECT_EQ(w.Text1->Text(), "4");
        w.CmdVnesty->button()->click();
        ASSERT_EQ(entered.size(), 1u);
        EXPECT_EQ(entered[0].count, 4);
        EXPECT_EQ(texts(entered[0], true), c.x);
        EXPECT_EQ(texts(entered[0], false), c.y);
        // The window stays open and unchanged.
        EXPECT_TRUE(w.isLoaded());
        EXPECT_EQ(w.rowCount(), 4);
        EXPECT_TRUE(fakes.messages.shown.empty());
    }
}

TEST_F(GeoWindowAloneTest, EachColumnIsCorrectedByItsOwnRuleOnLeaving) {
    struct Case {
        GeoKind kind;
        Field field;
        const char *typed, *left;
    } cases[] = {
        {GeoKind::DegreesMinutesSeconds, Field::txtShG, "95", "90"},
        {GeoKind::DegreesMinutesSeconds, Field::txtShG, "-3", "0"},
        {GeoKind::DegreesMinutesSeconds, Field::txtShM, "60", "60"},
        {GeoKind::DegreesMinutesSeconds, Field::txtShS, "47", "47,00"},
        {GeoKind::DegreesMinutesSeconds, Field::txtDG, "181", "180"},
        {GeoKind::DegreesMinutesSeconds, Field::txtDG, "37,5", "37,"},
        {GeoKind::DegreesMinutesSeconds, Field::txtDM, "61", "60"},
        {GeoKind::DegreesMinutesSeconds, Field::txtDS, "47,5", "47,50"},
        {GeoKind::DegreesMinutesSeconds, Field::txtDS, "abc", "abc"},
        {GeoKind::DegreesMinutesSeconds, Field::txtShG, "", ""},
        {GeoKind::DecimalDegrees, Field::txtShG, "95", "90,000 000"},
        {GeoKind::DecimalDegrees, Field::txtDG, "95", "95,000 000"},
        {GeoKind::DecimalDegrees, Field::txtDG, "200", "180,000 000"},
        {GeoKind::DecimalDegrees, Field::txtDG, "-1", "0,000 000"},
        {GeoKind::DecimalDegrees, Field::txtShG, "55,605 181", "55,605 181"},
    };
    GeoWindow &gk = load(GeoKind::DegreesMinutesSeconds, 20);
    GeoWindow &gk1 = load(GeoKind::DecimalDegrees, 20);
    for (const Case &c : cases) {
        GeoWindow &w = c.kind == GeoKind::DegreesMinutesSeconds ? gk : gk1;
        platform::TextBox &t = *w.array(c.field)[2];
        t.setText(QString::fromUtf8(c.typed));
        w.field_LostFocus(c.field, 2);
        EXPECT_EQ(t.Text(), QString::fromUtf8(c.left)) << int(c.kind) << " " << c.typed;
    }

    // The same through a real focus move.
    activate(gk);
    focus(*gk.txtShS[1]);
    gk.txtShS[1]->setText(QStringLiteral("75"));
    focus(*gk.txtShS[2]);
    EXPECT_EQ(gk.txtShS[1]->Text(), "60,00");
}

TEST_F(GeoWindowAloneTest, TypedPointsBecomeCommasInEveryField) {
    GeoWindow &gk = load(GeoKind::DegreesMinutesSeconds, 20);
    GeoWindow &gk1 = load(GeoKind::DecimalDegrees, 20);
    std::vector<platform::TextBox *> fields;
    for (GeoWindow *w : {&gk, &gk1})
        for (const Field f : w->fields())
            fields.push_back(w->array(f)[1].get());
    ASSERT_EQ(fields.size(), 8u);
    for (platform::TextBox *field : fields) {
        field->setText(QString());
        QTest::keyClicks(field->edit(), QStringLiteral("37.5"));
        EXPECT_EQ(field->Text(), "37,5") << field->Left();
        EXPECT_EQ(field->edit()->cursorPosition(), field->Text().size());
    }
}

// A point typed into a degree field once read as 0 degrees and put the
// corner hundreds of kilometres away from the others.
TEST_F(GeoWindowAloneTest, APointTypedIntoDegreesKeepsTheCornerInPlace) {
    GeoWindow &w = load(GeoKind::DegreesMinutesSeconds, 3);
    activate(w);
    focus(*w.txtDG[1]);
    w.txtDG[1]->setText(QString());
    QTest::keyClicks(w.txtDG[1]->edit(), QStringLiteral("37.5"));
    QTest::keyClick(w.txtDG[1]->edit(), Qt::Key_Tab);
    w.CmdVnesty->button()->click();
    EXPECT_TRUE(fakes.messages.shown.empty());
    ASSERT_EQ(entered.size(), 1u);
    ASSERT_EQ(entered[0].count, 3);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_LT(entered[0].x[i], 100) << i;
        EXPECT_LT(entered[0].y[i], 100) << i;
    }
}

TEST_F(GeoWindowAloneTest, EnteringRefusesAFieldThatIsNotANumberAndHandsOnNothing) {
    struct Case {
        GeoKind kind;
        Field field;
        int row;
        const char *text;
    } cases[] = {
        {GeoKind::DegreesMinutesSeconds, Field::txtDG, 1, "abc"},
        {GeoKind::DegreesMinutesSeconds, Field::txtShM, 2, "37.5.1"},
        {GeoKind::DegreesMinutesSeconds, Field::txtDS, 3, "1,2,3"},
        {GeoKind::DegreesMinutesSeconds, Field::txtShS, 3, ""},
        {GeoKind::DegreesMinutesSeconds, Field::txtShG, 2, "40000"}, // no whole degree
        {GeoKind::DecimalDegrees, Field::txtShG, 3, "abc"},
        {GeoKind::DecimalDegrees, Field::txtDG, 1, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        fakes.messages.shown.clear();
        GeoWindow &w = load(c.kind, 3);
        ASSERT_EQ(w.rowCount(), 3);
        activate(w);
        platform::TextBox &bad = *w.array(c.field)[c.row];
        // A real click takes the focus to the button (the field, had it the
        // focus, would be corrected on leaving).
        focus(*w.CmdVnesty);
        bad.setText(QString::fromUtf8(c.text));
        w.CmdVnesty->button()->click();
        QApplication::processEvents();

        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text, "В поле с координатами не число!");
        EXPECT_EQ(fakes.messages.shown[0].title, "Ошибка");
        EXPECT_EQ(fakes.messages.shown[0].icon, platform::MsgIcon::Exclamation);
        EXPECT_EQ(fakes.messages.shown[0].buttons, platform::MsgButtons::OK);
        EXPECT_TRUE(entered.empty());
        EXPECT_EQ(QApplication::focusWidget(), bad.edit());
        EXPECT_TRUE(bad.hasFocus());
        w.hide();
    }
}

TEST_F(GeoWindowAloneTest, JunkInARowBeyondTheCountDoesNotBlockEntering) {
    const struct {
        GeoKind kind;
        QStringList x;
    } cases[] = {
        {GeoKind::DegreesMinutesSeconds, {"0", "0", "19,88"}},
        {GeoKind::DecimalDegrees, {"0", "0", "19,9"}},
    };
    for (const auto &c : cases) {
        entered.clear();
        GeoWindow &w = load(c.kind, 3);
        w.txtShG[4]->setText(QStringLiteral("abc"));
        w.txtDG[20]->setText(QString());
        w.CmdVnesty->button()->click();
        EXPECT_TRUE(fakes.messages.shown.empty());
        ASSERT_EQ(entered.size(), 1u);
        EXPECT_EQ(entered[0].count, 3);
        EXPECT_EQ(texts(entered[0], true), c.x);
    }
}

TEST_F(GeoWindowAloneTest, RowsStartFromTheMainCountWithinTheLimits) {
    for (const auto &[main, rows] : {std::pair{25, 20}, {1, 3}, {7, 7}}) {
        GeoWindow &w = load(GeoKind::DecimalDegrees, main);
        EXPECT_EQ(w.rowCount(), rows) << main;
        EXPECT_EQ(w.Text1->Text(), QString::number(rows)) << main;
        EXPECT_TRUE(w.txtShG[rows]->Visible()) << main;
        if (rows < 20) EXPECT_FALSE(w.txtShG[rows + 1]->Visible()) << main;
    }
}

TEST_F(GeoWindowAloneTest, RowButtonsStopAtTheLimitsAndKeepTexts) {
    GeoWindow &w = load(GeoKind::DegreesMinutesSeconds, 20);
    EXPECT_EQ(w.rowCount(), 20);
    w.Command2_Click();
    EXPECT_EQ(w.Text1->Text(), "20");

    w.txtDS[20]->setText(QStringLiteral("12,34"));
    w.Command3->button()->click();
    EXPECT_EQ(w.Text1->Text(), "19");
    EXPECT_EQ(w.rowCount(), 19);
    EXPECT_FALSE(w.txtDS[20]->Visible());
    EXPECT_FALSE(w.LblX[20]->Visible());
    EXPECT_TRUE(w.txtDS[19]->Visible());
    w.Command2->button()->click();
    EXPECT_TRUE(w.txtDS[20]->Visible());
    EXPECT_EQ(w.txtDS[20]->Text(), "12,34");

    for (int k = 0; k < 20; ++k)
        w.Command3_Click();
    EXPECT_EQ(w.Text1->Text(), "3");
    EXPECT_TRUE(w.LblY[3]->Visible());
    EXPECT_FALSE(w.LblY[4]->Visible());
}

TEST_F(GeoWindowAloneTest, FocusHighlightsTheRowAndArrowsMoveWithinTheColumn) {
    GeoWindow &w = load(GeoKind::DegreesMinutesSeconds, 4);
    activate(w);
    focus(*w.txtDM[2]);
    EXPECT_EQ(w.CurrentRow, 2);
    for (const Field f : w.fields()) {
        EXPECT_EQ(w.array(f)[2]->BackColor(), 0xFFFFu);
        EXPECT_EQ(w.array(f)[1]->BackColor(), platform::kSysWindowBackground);
    }

    const struct {
        int key;
        int from, to;
    } moves[] = {
        {Qt::Key_Down, 2, 3}, {Qt::Key_Return, 3, 4}, {Qt::Key_Down, 4, 4},
        {Qt::Key_Up, 4, 3},   {Qt::Key_Up, 2, 1},     {Qt::Key_Up, 1, 1},
    };
    for (const auto &m : moves) {
        focus(*w.txtDM[m.from]);
        QTest::keyClick(w.txtDM[m.from]->edit(), Qt::Key(m.key));
        EXPECT_TRUE(w.txtDM[m.to]->hasFocus()) << m.key << " from " << m.from;
    }

    // The setting is read at every focus, as the graphics settings may
    // change it while the window is open.
    focus(*w.txtShS[3]);
    EXPECT_TRUE(w.txtShS[3]->edit()->selectedText().isEmpty());
    focus(*w.txtShS[2]);
    settings.SelectOnFocus = 1;
    focus(*w.txtShS[3]);
    EXPECT_EQ(w.txtShS[3]->edit()->selectedText(), w.txtShS[3]->Text());
}

// With select-on-focus the click that brings the focus selects the whole
// text, so that typing replaces it; a further click places the caret.
TEST_F(GeoWindowAloneTest, AClickThatBringsTheFocusSelectsTheTextWhenAsked) {
    const struct {
        int selectOnFocus;
        const char *afterFirst, *afterSecond;
    } cases[] = {{1, "9", "19"}, {0, "18,659", "118,659"}};
    GeoWindow &w = load(GeoKind::DegreesMinutesSeconds, 20);
    activate(w);
    QLineEdit *edit = w.txtShS[2]->edit();
    const QPoint end(edit->width() - 3, edit->height() / 2);
    const QPoint start(2, edit->height() / 2);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.selectOnFocus);
        settings.SelectOnFocus = std::int16_t(c.selectOnFocus);
        w.txtShS[2]->setText(QStringLiteral("18,65"));
        focus(*w.txtShG[1]);
        QTest::mouseClick(edit, Qt::LeftButton, {}, end);
        ASSERT_TRUE(w.txtShS[2]->hasFocus());
        QTest::keyClick(edit, Qt::Key_9);
        EXPECT_EQ(w.txtShS[2]->Text(), QString::fromUtf8(c.afterFirst));
        QTest::mouseClick(edit, Qt::LeftButton, {}, start);
        QTest::keyClick(edit, Qt::Key_1);
        EXPECT_EQ(w.txtShS[2]->Text(), QString::fromUtf8(c.afterSecond));
    }
}

TEST_F(GeoWindowAloneTest, FixedSizeWindowsOfferNoMaximiseButton) {
    for (const GeoKind kind : {GeoKind::DegreesMinutesSeconds, GeoKind::DecimalDegrees}) {
        GeoWindow &w = load(kind, 20);
        ASSERT_TRUE(w.isVisible());
        for (int round = 0; round < 2; ++round) {
            EXPECT_EQ(w.minimumSize(), w.maximumSize());
            for (const Qt::WindowFlags flags : {w.windowFlags(), w.windowHandle()->flags()}) {
                EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint)) << round;
                // A tool window of the main window is minimised with it.
                EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint)) << round;
                EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint)) << round;
                EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool) << round;
            }
            // A row fewer resizes the window: it stays shown and fixed.
            w.Command3_Click();
            EXPECT_TRUE(w.isVisible());
        }
    }
}

TEST_F(GeoWindowAloneTest, HelpAndClearing) {
    GeoWindow &w = load(GeoKind::DecimalDegrees, 4);
    w.Cmd1->button()->click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].title, "Справка.");
    EXPECT_EQ(fakes.messages.shown[0].icon, platform::MsgIcon::None);
    EXPECT_EQ(fakes.messages.shown[0].text.split(QStringLiteral("\r\n")).size(), 4);

    fakes.messages.answers = {MsgResult::No, MsgResult::Yes};
    w.CmdClear_Click();
    EXPECT_EQ(w.txtDG[20]->Text(), "37,596 389");
    w.CmdClear->button()->click();
    EXPECT_EQ(fakes.messages.shown.back().icon, platform::MsgIcon::Question);
    EXPECT_EQ(fakes.messages.shown.back().title, "Подтвердите очистку.");
    for (int i = 1; i <= 20; ++i)
        EXPECT_TRUE(w.txtShG[i]->Text().isEmpty() && w.txtDG[i]->Text().isEmpty()) << i;
    EXPECT_EQ(w.Text1->Text(), "4");
    EXPECT_TRUE(entered.empty());
}

// The exact conversion (WGS 84, transverse Mercator centred on the rows):
// the design-time rectangles, against GeographicLib's own projection tool
// centred the same way, e.g. for the degrees-minutes-seconds rows
//   TransverseMercatorProj -k 1 -l 37.596547222222 -p 6
// (the X of row 2 comes out 0,000046 m, the west side leaning with the
// meridian).
TEST_F(GeoWindowAloneTest, TheExactChoiceEntersTheProjectedCorners) {
    struct Case {
        GeoKind kind;
        QStringList x, y;
    } cases[] = {
        {GeoKind::DegreesMinutesSeconds, {"0", "0", "19,96", "19,96"}, {"0", "20,1", "20,1", "0"}},
        {GeoKind::DecimalDegrees, {"0", "0", "19,98", "19,98"}, {"0", "20,15", "20,15", "0"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.kind));
        entered.clear();
        GeoWindow &w = load(c.kind, 4);
        EXPECT_EQ(w.chkExact->Caption(), "Точный пересчёт (эллипсоид WGS 84)");
        EXPECT_EQ(w.chkExact->Value(), 0); // the simple conversion stays the default
        w.chkExact->check()->click();
        w.CmdVnesty->button()->click();
        ASSERT_EQ(entered.size(), 1u);
        EXPECT_EQ(texts(entered[0], true), c.x);
        EXPECT_EQ(texts(entered[0], false), c.y);
        EXPECT_EQ(entered[0].geographic.size(), 4u);
        EXPECT_TRUE(fakes.messages.shown.empty());
    }
}

// 90° 60′ 60″ passes every field's own check, but lies beyond the pole: the
// simple formula would enter it, the ellipsoid has no such point.
TEST_F(GeoWindowAloneTest, TheExactChoiceRefusesRowsOffTheEllipsoid) {
    GeoWindow &w = load(GeoKind::DegreesMinutesSeconds, 4);
    w.txtShG[3]->setText(QStringLiteral("90"));
    w.txtShM[3]->setText(QStringLiteral("60"));
    w.txtShS[3]->setText(QStringLiteral("60,00"));
    w.chkExact->check()->click();
    w.CmdVnesty->button()->click();
    EXPECT_TRUE(entered.empty());
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, GeoWindow::kExactRefused);
    // Unchecked, the same rows go through the simple formula as before.
    w.chkExact->check()->click();
    w.CmdVnesty->button()->click();
    EXPECT_EQ(entered.size(), 1u);
}

// Each window keeps its own choice across runs, stored with its fields.
TEST_F(GeoWindowAloneTest, EachWindowKeepsItsExactChoice) {
    GeoWindow &gk = load(GeoKind::DegreesMinutesSeconds, 4);
    GeoWindow &gk1 = load(GeoKind::DecimalDegrees, 4);
    gk.chkExact->check()->click();
    EXPECT_FALSE(fakes.settings.value("Tunes", "GKExact").has_value()); // not before unloading
    gk.Form_Unload();
    gk1.Form_Unload();
    EXPECT_EQ(fakes.settings.value("Tunes", "GKExact"), "1");
    EXPECT_EQ(fakes.settings.value("Tunes", "GK1Exact"), "0");
    EXPECT_EQ(load(GeoKind::DegreesMinutesSeconds, 4).chkExact->Value(), 1);
    EXPECT_EQ(load(GeoKind::DecimalDegrees, 4).chkExact->Value(), 0);
    // A stored value that is not 1 leaves the default.
    fakes.settings.write("Tunes", "GK1Exact", "да");
    EXPECT_EQ(load(GeoKind::DecimalDegrees, 4).chkExact->Value(), 0);
}

// ---------------------------------------------------------------- with Form1

TEST_F(GeoWindowTest, EnteredCornersReplaceTheMainPolygon) {
    struct Case {
        GeoKind kind;
        QStringList x, y;
        const char *area;
    } cases[] = {
        {GeoKind::DegreesMinutesSeconds,
         {"0", "0", "19,88", "19,88"},
         {"0", "20,06", "20,06", "0"},
         "398,79"},
        {GeoKind::DecimalDegrees,
         {"0", "0", "19,9", "19,9"},
         {"0", "20,11", "20,11", "0"},
         "400,19"},
    };
    makeWindow();
    for (const Case &c : cases) {
        type(*form->controls().Text1, QStringLiteral("4"));
        choose(*form->controls().CmbEd, QStringLiteral("КМ"));
        form->document().markSaved();
        const QStringList before = mainTexts(true, 4);
        GeoWindow &w = open(c.kind);
        EXPECT_EQ(w.Text1->Text(), "4");
        // The whole entry is one change of the polygon: one recompute, one
        // redraw, one step to undo.
        const int recomputes = form->document().recomputeCount();
        const int draws = form->drawCount();
        const int steps = form->document().undoStack().count();
        w.CmdVnesty->button()->click();
        EXPECT_EQ(form->document().recomputeCount(), recomputes + 1);
        EXPECT_EQ(form->drawCount(), draws + 1);
        EXPECT_EQ(form->document().undoStack().count(), steps + 1);

        EXPECT_EQ(mainTexts(true, 4), c.x);
        EXPECT_EQ(mainTexts(false, 4), c.y);
        EXPECT_EQ(form->cornerCount(), 4);
        EXPECT_EQ(form->controls().Text1->Text(), "4");
        EXPECT_TRUE(form->document().isModified());
        EXPECT_TRUE(form->table().x(4)->Visible());
        EXPECT_FALSE(form->table().x(5)->Visible());
        EXPECT_EQ(form->controls().CmbEd->Text(), "М");
        EXPECT_EQ(form->controls().Label1[4]->Caption(), "М");
        EXPECT_EQ(form->controls().Label1[1]->Caption(), "Кв. М");
        EXPECT_EQ(form->controls().Label1[2]->Caption(), "Шаг, М");
        EXPECT_EQ(form->plot().layout().corner(2).angle.colour, 0xC000C0u);
        EXPECT_EQ(form->controls().Text3->Text().trimmed(), QString::fromUtf8(c.area));
        // The unit the entry set goes back with the entry, in its one step.
        form->controls().Menu_Undo->trigger();
        EXPECT_EQ(form->controls().CmbEd->Text(), "КМ");
        EXPECT_EQ(form->controls().Label1[1]->Caption(), "Кв. КМ");
        EXPECT_EQ(mainTexts(true, 4), before);
        form->controls().Menu_Redo->trigger();
        EXPECT_EQ(form->controls().CmbEd->Text(), "М");
        w.unload();
    }
}

// A refused entry leaves the main window as it was.
TEST_F(GeoWindowTest, ARefusedEntryChangesNothingInTheMainWindow) {
    makeWindow();
    type(*form->controls().Text1, QStringLiteral("3"));
    form->Text1_LostFocus();
    const auto mainWindow = [this] {
        return QStringList{mainTexts(true, 20).join('|'),  mainTexts(false, 20).join('|'),
                           form->controls().Text1->Text(), QString::number(form->cornerCount()),
                           form->controls().CmbEd->Text(), form->controls().Text3->Text()};
    };
    const QStringList before = mainWindow();
    GeoWindow &w = open(GeoKind::DecimalDegrees);
    w.txtDG[2]->setText(QStringLiteral("abc"));
    w.CmdVnesty->button()->click();
    EXPECT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(mainWindow(), before);
}

TEST_F(GeoWindowTest, ClosingStoresAndReopeningLoadsAfresh) {
    makeWindow();
    GeoWindow &first = open(GeoKind::DegreesMinutesSeconds);
    EXPECT_TRUE(first.isLoaded());
    first.txtShG[20]->setText(QStringLiteral("12"));
    // Choosing the menu item again only shows the loaded window.
    first.txtDG[1]->setText(QStringLiteral("38"));
    EXPECT_EQ(&open(GeoKind::DegreesMinutesSeconds), &first);
    EXPECT_EQ(first.txtDG[1]->Text(), "38");
    EXPECT_EQ(storedGeoWrites(), 0);

    first.close();
    EXPECT_FALSE(first.isLoaded());
    EXPECT_EQ(storedGeoWrites(), 120);
    EXPECT_EQ(fakes.settings.value("txtShG", "20"), "12");
    EXPECT_EQ(fakes.settings.value("txtDS", "5"), "47,08");

    type(*form->controls().Text1, QStringLiteral("5"));
    GeoWindow &again = open(GeoKind::DegreesMinutesSeconds);
    EXPECT_TRUE(again.isLoaded());
    EXPECT_EQ(again.Text1->Text(), "5");
    EXPECT_EQ(again.CurrentRow, 0);
    EXPECT_EQ(again.txtShG[20]->Text(), "12");
    EXPECT_EQ(again.txtDG[1]->Text(), "38");
    EXPECT_TRUE(again.txtShG[5]->Visible());
    EXPECT_FALSE(again.txtShG[6]->Visible());
}

TEST_F(GeoWindowTest, BothWindowsWriteIntoTheSameMainWindow) {
    makeWindow();
    type(*form->controls().Text1, QStringLiteral("4"));
    GeoWindow &gk = open(GeoKind::DegreesMinutesSeconds);
    GeoWindow &gk1 = open(GeoKind::DecimalDegrees);
    EXPECT_TRUE(gk.isLoaded());
    EXPECT_TRUE(gk1.isLoaded());

    gk.VICHISLIT1();
    EXPECT_EQ(form->table().x(3)->Text(), "19,88");
    gk1.Command2_Click(); // row 5: same as row 1
    gk1.VICHISLIT3();
    EXPECT_EQ(form->cornerCount(), 5);
    EXPECT_EQ(mainTexts(true, 5), (QStringList{"0", "0", "19,9", "19,9", "0"}));
    EXPECT_TRUE(form->table().x(5)->Visible());
    gk.VICHISLIT1();
    EXPECT_EQ(form->cornerCount(), 4);
    EXPECT_FALSE(form->table().x(5)->Visible());
}

TEST_F(GeoWindowTest, ClosingTheMainWindowUnloadsOnlyLoadedWindows) {
    makeWindow();
    GeoWindow &gk = open(GeoKind::DegreesMinutesSeconds);
    GeoWindow &gk1 = open(GeoKind::DecimalDegrees);
    gk1.txtShG[3]->setText(QStringLiteral("56,000 000"));
    form->Form_Unload();
    EXPECT_FALSE(gk.isLoaded());
    EXPECT_FALSE(gk1.isLoaded());
    EXPECT_FALSE(gk.isVisible());
    EXPECT_FALSE(gk1.isVisible());
    EXPECT_EQ(storedGeoWrites(), 160);
    EXPECT_EQ(fakes.settings.value("txtShG2", "3"), "56,000 000");
    EXPECT_EQ(fakes.settings.value("txtDG2", "20"), "37,596 389");

    // A window the user closed already is not stored over again.
    GeoWindow &closed = open(GeoKind::DegreesMinutesSeconds);
    closed.close();
    const int writes = storedGeoWrites();
    form->Form_Unload();
    closed.Form_Unload();
    EXPECT_EQ(storedGeoWrites(), writes);
}

// The main window knows the ellipsoid area of the polygon exactly while it
// is the one a geographic entry made. The design-time rectangle of frmGK:
//   printf '55.605 37.596388888889\n55.605180555556 37.596388888889\n
//           55.605180555556 37.596705555556\n55.605 37.596705555556\n' | Planimeter -p 9
//   ->  4 80.121581363 -401.2116
TEST_F(GeoWindowTest, TheEllipsoidAreaHoldsWhileThePolygonIsAsEntered) {
    makeWindow();
    EXPECT_FALSE(form->ellipsoidArea().has_value()); // nothing entered yet
    type(*form->controls().Text1, QStringLiteral("4"));
    form->Text1_LostFocus();
    GeoWindow &w = open(GeoKind::DegreesMinutesSeconds);
    std::optional<double> seenOnChange;
    QObject::connect(&form->document(), &geometry::PolygonDocument::changed,
                     [&] { seenOnChange = form->ellipsoidArea(); });
    w.CmdVnesty->button()->click();
    ASSERT_TRUE(form->ellipsoidArea().has_value());
    EXPECT_NEAR(*form->ellipsoidArea(), 401.2116, 1e-3);
    // Whoever follows the document sees it with the change itself.
    ASSERT_TRUE(seenOnChange.has_value());
    EXPECT_NEAR(*seenOnChange, 401.2116, 1e-3);

    type(*form->table().x(3), QStringLiteral("19,9"));
    EXPECT_FALSE(form->ellipsoidArea().has_value());
    form->controls().Menu_Undo->trigger();
    EXPECT_TRUE(form->ellipsoidArea().has_value());
    choose(*form->controls().CmbEd, QStringLiteral("КМ"));
    EXPECT_FALSE(form->ellipsoidArea().has_value());
}

} // namespace
} // namespace tarvel::testing
