// The real progress window of a background reading: "Отмена", Escape and the
// close box each report the cancel once; closing it from the program reports
// none.
#include "platform/services/progress_dialog.h"

#include <QApplication>
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
        EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
        row.end(progress, *dialog);
        EXPECT_EQ(shownDialog(owner), nullptr);
        EXPECT_EQ(cancels, row.cancels);
        progress.close(); // nothing left to close: no second report
        EXPECT_EQ(cancels, row.cancels);
    }
}
