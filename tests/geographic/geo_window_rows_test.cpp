// The rows of the geographic entry windows: a count typed into the window,
// the window growing at its bottom within the screen, and its place above
// the main window.
#include "geographic/geo_window.h"
#include "support/window_fixture.h"

#include <QLineEdit>

#include <memory>
#include <optional>

namespace tarvel::testing {
namespace {

using geographic::GeoKind;
using geographic::GeoWindow;

class GeoRowsTest : public WindowTest {
protected:
    void SetUp() override { services = bundleFor(fakes); }
    GeoWindow &load(int mainCornerCount) {
        window = std::make_unique<GeoWindow>(nullptr, *services, settings,
                                             GeoKind::DegreesMinutesSeconds);
        window->Form_Load(mainCornerCount);
        window->show();
        QApplication::setActiveWindow(window.get());
        (void)QTest::qWaitForWindowActive(window.get());
        return *window;
    }
    // Types into the count field as a user does, then leaves it by Enter or
    // by taking the focus elsewhere.
    void typeCount(GeoWindow &w, const QString &text, bool enter) {
        QLineEdit *edit = w.Text1->edit();
        edit->setFocus();
        QApplication::processEvents();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        if (enter) {
            QTest::keyClick(edit, Qt::Key_Return);
        } else {
            w.txtShG[1]->edit()->setFocus();
            QApplication::processEvents();
        }
    }

    files::Settings settings;
    std::unique_ptr<GeoWindow> window;
};

TEST_F(GeoRowsTest, ATypedCountIsTakenOrRefusedWithAMessage) {
    const struct {
        const char *name;
        const char *typed;
        bool enter;
        int rows;         // the rows in use afterwards, from 5
        const char *shown; // what the count field then shows
        bool refused;
    } rows[] = {
        {"seven, left", "7", false, 7, "7", false},
        {"twelve, Enter", "12", true, 12, "12", false},
        {"the least", "3", false, 3, "3", false},
        {"the most", "20", true, 20, "20", false},
        {"too few", "2", false, 5, "5", true},
        {"too many", "21", true, 5, "5", true},
        {"letters", "abc", false, 5, "5", true},
        {"nothing", "", true, 5, "5", true},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        fakes.messages.shown.clear();
        GeoWindow &w = load(5);
        typeCount(w, QString::fromUtf8(r.typed), r.enter);
        EXPECT_EQ(w.rowCount(), r.rows);
        EXPECT_EQ(w.Text1->Text(), QString::fromUtf8(r.shown));
        EXPECT_TRUE(w.txtShG[r.rows]->Visible());
        if (r.rows < 20) EXPECT_FALSE(w.txtShG[r.rows + 1]->Visible());
        ASSERT_EQ(fakes.messages.shown.size(), r.refused ? 1u : 0u);
        if (r.refused) {
            EXPECT_EQ(fakes.messages.shown[0].text, QStringLiteral("Количество углов — от 3 до 20"));
            EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Ошибка"));
        }
    }
}

TEST_F(GeoRowsTest, PlusGrowsTheWindowDownwardAndKeepsItOnTheScreen) {
    fakes.screen.size = QSize(1280, 800);
    const struct {
        const char *name;
        int top;          // where the window's top is put before "+"
        int expectedTop;  // where it is after; -1: moved up to end at the screen's bottom
    } rows[] = {
        {"room below", 100, 100},
        {"at the screen's top", 0, 0},
        {"near the bottom", 700, -1},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        GeoWindow &w = load(5);
        w.move(40, r.top);
        QApplication::processEvents();
        const int before = w.frameGeometry().height();
        for (int k = 0; k < 3; ++k)
            w.Command2->button()->click();
        QApplication::processEvents();
        const QRect frame = w.frameGeometry();
        EXPECT_GT(frame.height(), before);
        EXPECT_EQ(frame.left(), 40);
        if (r.expectedTop >= 0)
            EXPECT_EQ(frame.top(), r.expectedTop);
        else
            EXPECT_EQ(frame.bottom(), 799);
        EXPECT_TRUE(QRect(0, 0, 1280, 800).contains(frame));
    }
}

TEST_F(GeoRowsTest, TheWindowsAreToolWindowsOfTheMainWindow) {
    makeWindow();
    for (QAction *menu : {form->controls().Menu_Tools_GK, form->controls().Menu_Tools_GK1})
        menu->trigger();
    for (GeoWindow *w : {form->frmGK(), form->frmGK1()}) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowType(), Qt::Tool);
        EXPECT_EQ(w->parentWidget(), form.get());
    }
}

} // namespace
} // namespace tarvel::testing
