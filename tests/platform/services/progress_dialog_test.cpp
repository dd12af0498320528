// The real progress window of a background reading: "Отмена", Escape and the
// close box each report the cancel once; closing it from the program reports
// none. It keeps its owner from input without being modal in Qt's sense, for
// Qt drops the window manager's close of a window a modal one blocks: the
// owner's close box must still reach the owner.
#include "platform/services/progress_dialog.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace tarvel::platform;

namespace {

QProgressDialog *shownDialog(QWidget &owner) {
    QApplication::processEvents();
    for (auto *dialog : owner.findChildren<QProgressDialog *>())
        if (dialog->isVisible()) return dialog;
    return nullptr;
}

} // namespace

TEST(QtProgress, EveryWayOutCancelsOnceExceptTheProgramsOwn) {
    const struct {
        const char *name;
        std::function<void(QtProgress &, QProgressDialog &)> end;
        int cancels;
    } rows[] = {
        {"the button",
         [](QtProgress &, QProgressDialog &d) {
             auto *button = d.findChild<QPushButton *>();
             ASSERT_NE(button, nullptr);
             EXPECT_EQ(button->text(), "Отмена");
             button->click();
         },
         1},
        {"Escape", [](QtProgress &, QProgressDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); },
         1},
        {"the close box", [](QtProgress &, QProgressDialog &d) { d.close(); }, 1},
        {"closed by the program", [](QtProgress &p, QProgressDialog &) { p.close(); }, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QWidget owner;
        owner.show();
        QtProgress progress;
        int cancels = 0;
        progress.show(&owner, "Импорт координат", "Чтение книги…", [&] { ++cancels; });
        QProgressDialog *dialog = shownDialog(owner);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Импорт координат");
        EXPECT_EQ(dialog->labelText(), "Чтение книги…");
        EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
        EXPECT_FALSE(owner.isEnabled());
        EXPECT_TRUE(dialog->isEnabled());
        row.end(progress, *dialog);
        EXPECT_EQ(shownDialog(owner), nullptr);
        EXPECT_TRUE(owner.isEnabled());
        EXPECT_EQ(cancels, row.cancels);
        progress.close(); // nothing left to close: no second report
        EXPECT_EQ(cancels, row.cancels);
    }
}

// Only the owner is locked: its other windows stay usable, and an owner that
// another window had disabled is left disabled for that one to enable.
TEST(QtProgress, LocksOnlyTheOwnerAndOnlyWhatItLockedItselfIsUnlocked) {
    const struct {
        const char *name;
        bool ownerEnabledBefore;
    } rows[] = {
        {"an owner in use", true},
        {"an owner another window keeps disabled", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QWidget owner;
        QWidget other(&owner, Qt::Window);
        owner.show();
        other.show();
        owner.setEnabled(row.ownerEnabledBefore);
        other.setEnabled(true);
        QtProgress progress;
        progress.show(&owner, "Импорт координат", "Чтение книги…", [] {});
        QProgressDialog *dialog = shownDialog(owner);
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(owner.isEnabled());
        EXPECT_TRUE(other.isEnabled());
        EXPECT_TRUE(dialog->isEnabled());
        progress.close();
        EXPECT_EQ(owner.isEnabled(), row.ownerEnabledBefore);
        EXPECT_TRUE(other.isEnabled());
    }
}

// The owner made the active window (a click on it) hands the keyboard back
// to the progress window, where Escape cancels.
TEST(QtProgress, TheOwnerActivatedHandsTheKeyboardToTheProgressWindow) {
    QWidget owner;
    owner.show();
    QtProgress progress;
    progress.show(&owner, "Импорт координат", "Чтение книги…", [] {});
    QProgressDialog *dialog = shownDialog(owner);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    struct ActivationCount : QObject {
        int count = 0;
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::WindowActivate) ++count;
            return false;
        }
    } activations;
    owner.installEventFilter(&activations);
    owner.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return activations.count > 0; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }, 5000));
}
