// The window from the keyboard alone, the paste of coordinate lists, and the
// window on small and scaled screens.
#include "support/window_fixture.h"

#include "geographic/geo_window.h"
#include "main_window/coordinate_keys.h"
#include "drawing/drawing_surface.h"
#include "main_window/window_fit.h"
#include "platform/controls/help_window.h"
#include "platform/controls/keyboard.h"
#include "settings_windows/frm_about.h"
#include "settings_windows/frm_nastr_grid.h"
#include "settings_windows/frm_podsk1.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>

#include <functional>
#include <vector>

namespace tarvel::testing {
namespace {

using geometry::Axis;

class KeysTest : public WindowTest {
protected:
    void SetUp() override {
        makeWindow();
        form->setPopupMenu([this](QMenu &menu, const QPoint &at) {
            popups.push_back(&menu);
            popupAt.push_back(at);
        });
    }
    void activate(QWidget *w) {
        QApplication::setActiveWindow(w);
        (void)QTest::qWaitForWindowActive(w);
    }
    std::vector<QMenu *> popups;
    std::vector<QPoint> popupAt;
};

// Each menu's letters: the mnemonic of every item, in order.
QString lettersOf(const QList<QAction *> &actions) {
    QString letters;
    for (QAction *a : actions) {
        if (a->isSeparator()) continue;
        const QString mnemonic = QKeySequence::mnemonic(a->text()).toString();
        letters += mnemonic.isEmpty() ? QStringLiteral("?") : mnemonic.right(1).toLower();
    }
    return letters;
}

TEST_F(KeysTest, EveryMenuAndItemHasItsOwnLetter) {
    std::vector<std::pair<QString, QList<QAction *>>> menus = {
        {"bar", form->menuBar()->actions()}, {"Угол", form->controls().Menu_Ugol->actions()}};
    // A menu's items take their letters as it first opens; opened again,
    // they keep them.
    for (int opening = 0; opening < 2; ++opening)
        emit form->controls().Menu_Ugol->aboutToShow();
    for (QAction *title : form->menuBar()->actions()) {
        for (int opening = 0; opening < 2; ++opening)
            emit title->menu()->aboutToShow();
        menus.push_back({title->text(), title->menu()->actions()});
    }
    for (const auto &[name, actions] : menus) {
        SCOPED_TRACE(name.toStdString());
        const QString letters = lettersOf(actions);
        EXPECT_FALSE(letters.contains(QLatin1Char('?'))) << letters.toStdString();
        for (QChar c : letters)
            EXPECT_EQ(letters.count(c), 1) << "letter " << QString(c).toStdString() << " twice";
    }
    // The usual letters where they are free.
    EXPECT_EQ(lettersOf(form->menuBar()->actions()), QStringLiteral("финп"));
    EXPECT_EQ(lettersOf(form->controls().Menu_Ugol->actions()), QStringLiteral("ву"));
    // "Сохранить как..." finds "с" taken by "Сохранить" and takes its next word's;
    // the extract's command brings its own "е", leaving "в" to "Выход".
    EXPECT_EQ(lettersOf(form->controls().Menu_File->actions()), QStringLiteral("оескэипчнв"));
}

TEST(Mnemonics, CaptionsShowAsBefore) {
    struct Case {
        const char *name;
        const char *caption;
        const char *taken;
        const char *marked;
    };
    const Case cases[] = {
        {"FirstLetter", "Файл", "", "&Файл"},
        {"NextWordWhenTheFirstIsTaken", "Зеркально перевернуть", "з", "Зеркально &перевернуть"},
        {"AnyLetterWhenAllWordStartsAreTaken", "Зеркально перевернуть", "зп",
         "З&еркально перевернуть"},
        {"DigitsAreNoMnemonic", "90 гр.", "", "90 &гр."},
        {"MarkedAlreadyKeepsIts", "&1 R&&D.squ", "", "&1 R&&D.squ"},
        {"LiteralAmpersandStays", "R&&D", "r", "R&&&D"},
        {"NoFreeLetter", "Да", "да", "Да"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QSet<QChar> taken;
        for (QChar t : QString::fromUtf8(c.taken))
            taken.insert(t);
        const QString marked = platform::withMnemonic(QString::fromUtf8(c.caption), taken);
        EXPECT_EQ(marked, QString::fromUtf8(c.marked));
        EXPECT_EQ(platform::shownCaption(marked),
                  platform::shownCaption(QString::fromUtf8(c.caption)));
    }
}

TEST_F(KeysTest, F10OpensTheFileMenuAndAltWithALetterItsMenu) {
    QTest::keyClick(form->table().x(2)->edit(), Qt::Key_F10);
    EXPECT_EQ(form->menuBar()->activeAction(), form->controls().Menu_File->menuAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->controls().Menu_File->isVisible(); }, 2000));
    form->controls().Menu_File->close();

    activate(form.get());
    form->table().x(2)->edit()->setFocus();
    // "&Помощь": Alt+П.
    QTest::sendKeyEvent(QTest::Click, form->table().x(2)->edit(), Qt::Key(0x041F),
                        QStringLiteral("П"), Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->controls().Menu_Help->isVisible(); }, 2000));
    form->controls().Menu_Help->close();
}

TEST_F(KeysTest, ShiftF10AndTheMenuKeyOpenTheCornerMenuAtTheField) {
    struct Case {
        const char *name;
        Axis axis;
        int row;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {{"ShiftF10OnX3", Axis::X, 3, Qt::Key_F10, Qt::ShiftModifier},
                          {"MenuKeyOnY7", Axis::Y, 7, Qt::Key_Menu, Qt::NoModifier}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        popups.clear();
        popupAt.clear();
        QLineEdit *edit = form->table().field(c.axis, c.row)->edit();
        QTest::keyClick(edit, c.key, c.modifiers);
        ASSERT_EQ(popups.size(), 1u);
        EXPECT_EQ(popups[0], form->controls().Menu_Ugol);
        EXPECT_EQ(form->view().currentCorner, c.row);
        EXPECT_EQ(popupAt[0], edit->mapToGlobal(QPoint(0, edit->height())));
    }
    // The corner menu then deletes the corner of the field.
    fakes.messages.answers.push_back(platform::MsgResult::Yes);
    form->controls().Menu_DelUgol->trigger();
    EXPECT_EQ(form->cornerCount(), 19);
    EXPECT_EQ(form->document().text(Axis::X, 7), QStringLiteral("114,00"));
}

TEST_F(KeysTest, OneGlyphButtonsSayWhatTheyDo) {
    form->controls().Menu_Tools_GK->trigger();
    ASSERT_NE(form->frmGK(), nullptr);
    for (QWidget *window :
         {static_cast<QWidget *>(form.get()), static_cast<QWidget *>(form->frmGK())}) {
        int glyphs = 0;
        for (QPushButton *b : window->findChildren<QPushButton *>()) {
            if (b->text().size() > 1) continue;
            ++glyphs;
            SCOPED_TRACE(b->text().toStdString());
            EXPECT_GT(b->toolTip().size(), 10);
        }
        EXPECT_GE(glyphs, 4);
    }
}

TEST_F(KeysTest, EscapeClosesEverySecondaryWindow) {
    fakes.shell.openSucceeds = false; // no viewer: the built-in help
    state.settings.ImportHintOff = 0;
    fakes.dialogs.fileAnswers.push_back(std::nullopt); // the import after the hint
    const std::pair<const char *, std::function<QWidget *()>> windows[] = {
        {"about",
         [&]() -> QWidget * {
             form->controls().Menu_About->trigger();
             return form->findChild<settings_windows::FrmAbout *>();
         }},
        {"graphics",
         [&]() -> QWidget * {
             form->controls().Menu_Set_Grid->trigger();
             return form->findChild<settings_windows::FrmNastrGrid *>();
         }},
        {"degrees minutes seconds",
         [&]() -> QWidget * {
             form->controls().Menu_Tools_GK->trigger();
             return form->frmGK();
         }},
        {"degrees",
         [&]() -> QWidget * {
             form->controls().Menu_Tools_GK1->trigger();
             return form->frmGK1();
         }},
        {"import hint",
         [&]() -> QWidget * {
             form->controls().Menu_File_Import->trigger();
             return form->findChild<settings_windows::FrmPodsk1 *>();
         }},
        {"help",
         [&]() -> QWidget * {
             form->controls().Menu_Help_Help->trigger();
             return form->findChild<QDialog *>("helpWindow");
         }},
    };
    for (const auto &[name, open] : windows) {
        SCOPED_TRACE(name);
        QPointer<QWidget> window = open();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(window->isVisible());
        activate(window);
        QWidget *target = window->focusWidget() ? window->focusWidget() : window.data();
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window || !window->isVisible(); }, 2000));
        EXPECT_TRUE(form->isEnabled());
        activate(form.get());
    }
}

// ---- paste ----

TEST_F(KeysTest, CtrlVOfACalcRangeFillsTheCornersAsOneStep) {
    type(*form->controls().Text1, QStringLiteral("4"));
    form->Text1_LostFocus();
    const int steps = form->document().undoStack().count();
    const geometry::PolygonTexts before = form->document().texts();
    fakes.clipboard.plain = QString::fromUtf8("X\tY\r\n6\xC2\xA0"
                                              "123\xC2\xA0"
                                              "456,78\t2345678,9\r\n"
                                              "6123460\t2345690\r\n6123470\t2345680\r\n");
    focus(*form->table().y(3));
    QTest::keyClick(form->table().y(3)->edit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(form->cornerCount(), 5);
    EXPECT_EQ(form->table().x(3)->Text(), QStringLiteral("6123 456,78"));
    EXPECT_EQ(form->table().y(3)->Text(), QStringLiteral("2345 678,90"));
    EXPECT_EQ(form->table().x(5)->Text(), QStringLiteral("6123 470,00"));
    EXPECT_EQ(form->table().x(2)->Text(), before.x[2]);
    EXPECT_EQ(form->document().undoStack().count(), steps + 1);
    form->controls().Menu_Undo->trigger();
    EXPECT_EQ(form->document().texts(), before);
    EXPECT_EQ(form->cornerCount(), 4);
}

TEST_F(KeysTest, ARefusedPasteNamesTheLineAndChangesNothing) {
    struct Case {
        const char *name;
        int row;
        const char *clipboard;
        QString message;
    };
    const Case cases[] = {
        {"LineNotAPair", 1, "1\t2\n3\t4\nтри\t5\n", CoordinateKeys::notAPairText(3)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fakes.messages.shown.clear();
        const geometry::PolygonTexts before = form->document().texts();
        const int steps = form->document().undoStack().count();
        fakes.clipboard.plain = QString::fromUtf8(c.clipboard);
        focus(*form->table().x(c.row));
        QTest::keyClick(form->table().x(c.row)->edit(), Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text, c.message);
        EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Ошибка вставки координат"));
        EXPECT_EQ(form->document().texts(), before);
        EXPECT_EQ(form->document().undoStack().count(), steps);
    }
}

TEST_F(KeysTest, ASingleNumberPastesIntoTheFieldAsTyped) {
    fakes.clipboard.plain = QStringLiteral("6 123 456,78\r\n"); // one cell of a spreadsheet
    QLineEdit *edit = form->table().x(2)->edit();
    focus(*form->table().x(2));
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form->document().text(Axis::X, 2), QStringLiteral("6 123 456,78"));
    EXPECT_EQ(form->cornerCount(), 20);
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(KeysTest, TheFieldMenusPasteGoesTheSameWay) {
    fakes.clipboard.plain = QStringLiteral("1\t2\n3\t4\n");
    QLineEdit *edit = form->table().x(5)->edit();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                            edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(edit, &click);
    QAction *paste = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *menu = qobject_cast<QMenu *>(w); menu && menu->isVisible())
            for (QAction *a : menu->actions())
                if (a->text().endsWith(QStringLiteral("\tCtrl+V"))) paste = a;
    ASSERT_NE(paste, nullptr);
    paste->setEnabled(true); // the desktop's clipboard, which it follows, is not the test's
    paste->trigger();
    EXPECT_EQ(form->document().text(Axis::X, 5), QStringLiteral(" 1,00"));
    EXPECT_EQ(form->document().text(Axis::Y, 6), QStringLiteral(" 4,00"));
    EXPECT_TRUE(popups.empty()) << "a mouse click keeps the field's own menu";
}

// ---- small and scaled screens ----

struct FitRow {
    const char *name;
    QSize room;
    bool scrollX, scrollY;
};

class FitTable : public ::testing::TestWithParam<FitRow> {};

// The client area of 1071 x 701 with a menu bar of 22, a frame of 4 and a
// title bar of 32, scroll bars of 16.
TEST_P(FitTable, TheWindowTakesNoMoreThanTheRoom) {
    const FitRow &r = GetParam();
    const QMargins frame(4, 32, 4, 4);
    const FitPlan p = planFit({1071, 701}, 22, frame, 16, r.room);
    EXPECT_EQ(p.scrollX, r.scrollX);
    EXPECT_EQ(p.scrollY, r.scrollY);
    EXPECT_LE(p.window.width() + 8, r.room.width());
    EXPECT_LE(p.window.height() + 36, r.room.height());
    if (p.whole()) EXPECT_EQ(p.window, QSize(1071, 723));
    // Where a direction scrolls, the bar of the other is paid for.
    if (p.scrollX && !p.scrollY) EXPECT_EQ(p.window.height(), 723 + 16);
    if (p.scrollY && !p.scrollX) EXPECT_EQ(p.window.width(), 1071 + 16);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, FitTable,
    ::testing::Values(FitRow{"FullHdAt100", {1920, 1040}, false, false},
                      FitRow{"FullHdAt125", {1536, 824}, false, false},
                      FitRow{"FullHdAt150", {1280, 680}, false, true},
                      FitRow{"FullHdAt200", {960, 500}, true, true},
                      FitRow{"Laptop1366x768WithPanel", {1366, 728}, false, true},
                      FitRow{"Laptop1366x768NoPanel", {1366, 768}, false, false},
                      FitRow{"NarrowOnly", {1000, 1000}, true, false},
                      FitRow{"WidthLostToTheVerticalBar", {1088, 740}, true, true}),
    [](const auto &info) { return std::string(info.param.name); });

// 1920 x 1080 at 200 %: the client area scrolls, and the keyboard brings
// what it moves to into view.
class SmallRoomTest : public WindowTest {
protected:
    void SetUp() override {
        fakes.screen.size = {960, 540};
        fakes.screen.available = {0, 0, 960, 540};
        makeWindow();
    }
};

TEST_F(SmallRoomTest, AControlThatTakesTheFocusScrollsIntoView) {
    auto *area = form->findChild<QScrollArea *>();
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->verticalScrollBar()->value(), 0);
    for (const platform::Control *c :
         {static_cast<const platform::Control *>(form->controls().txtStep.get()),
          static_cast<const platform::Control *>(form->table().x(1))}) {
        focus(*c);
        const QRect shown =
            QRect(c->widget()->mapTo(area->viewport(), QPoint(0, 0)), c->widget()->size());
        EXPECT_TRUE(area->viewport()->rect().contains(shown));
    }
    focus(*form->controls().txtStep);
    EXPECT_GT(area->verticalScrollBar()->value(), 0);
}

TEST(SmallScreen, TheWindowFitsAndTellsOnlyWhenItCannotShowWhole) {
    struct Case {
        const char *name;
        QSize screen;
        QRect available;
        bool told;
        bool scrolls;
    };
    const Case cases[] = {
        {"FullHd", {1920, 1080}, {}, false, false},
        {"FullHdAt150", {1280, 720}, {0, 0, 1280, 690}, true, true},
        {"Laptop1366x768WithPanel", {1366, 768}, {0, 0, 1366, 728}, false, true},
        {"Small800x600", {800, 600}, {}, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        platform::FakeServices f;
        f.screen.size = c.screen;
        f.screen.available = c.available;
        platform::Services s = f.bundle();
        SharedState st;
        Form1 w(st, s);
        w.Form_Load();
        EXPECT_EQ(f.messages.shown.size(), c.told ? 1u : 0u);
        const QRect room = f.screen.availableArea();
        EXPECT_LE(w.width(), room.width());
        EXPECT_LE(w.height(), room.height());
        // The client area scrolls only where the room is short.
        auto *area = w.findChild<QScrollArea *>();
        EXPECT_EQ(area != nullptr, c.scrolls);
        if (area) EXPECT_EQ(area->widget(), w.surface());
        EXPECT_EQ(w.surface()->size(), QSize(1071, 701));
    }
}

} // namespace
} // namespace tarvel::testing
