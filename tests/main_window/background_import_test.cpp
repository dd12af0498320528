// The import reads its workbook in the background: the window answers while
// a slow workbook is read, a progress window with "Отмена" appears only when
// the reading lasts, and a reading that is cancelled, or outlived by its
// window, leaves the polygon as it was. Closing the main window ends the
// reading before the window asks whether to save.
#include "platform/io/spreadsheet.h"
#include "support/window_fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QWindow>

#include <chrono>
#include <functional>

namespace tarvel::testing {
namespace {

using namespace std::chrono_literals;

class BackgroundImport : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QFile csv(dir.filePath("four.csv"));
        ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
        csv.write("0;0\n30;0\n30;40\n0;40\n");
        csv.close();
        fakes.spreadsheet = platform::FakeSpreadsheet(&xlsx);
        makeWindow();
    }
    // Starts an import of the four corners; the clock runs from the command.
    void startImport() {
        state.settings.ImportHintOff = 1;
        fakes.dialogs.fileAnswers.push_back(dir.filePath("four.csv"));
        clock.start();
        form->controls().Menu_File_Import->trigger();
    }
    // The end of a reading has reached the window once the window takes the
    // next import: the command asks for a workbook again, here answered
    // Cancel.
    bool takesAnotherImport() {
        const std::size_t asked = fakes.dialogs.asked.size();
        fakes.dialogs.fileAnswers.push_back(std::nullopt);
        form->controls().Menu_File_Import->trigger();
        if (fakes.dialogs.asked.size() > asked) return true;
        fakes.dialogs.fileAnswers.pop_back();
        return false;
    }
    // Returns once the progress window's delay, counted from now, has run
    // out. A timer of the same kind started later expires later and is
    // served after it, so a progress window still due has been shown.
    static void waitOutProgressDelay() {
        QObject context;
        bool due = false;
        QTimer::singleShot(WorkbookImport::kProgressDelay, Qt::PreciseTimer, &context,
                           [&due] { due = true; });
        ASSERT_TRUE(QTest::qWaitFor([&due] { return due; }, 10000));
    }

    QTemporaryDir dir;
    platform::XlsxSpreadsheet xlsx;
    QElapsedTimer clock;
};

TEST_F(BackgroundImport, ASlowReadingShowsTheProgressWindowOnlyAfterHalfASecond) {
    fakes.spreadsheet.readDelay = 3s;
    qint64 shownAt = -1;
    fakes.progress.onShow = [&](const platform::FakeProgress::Shown &) {
        shownAt = clock.elapsed();
    };
    const int steps = form->document().undoStack().count();
    startImport();
    // Back from the command, the three seconds' reading still runs.
    EXPECT_EQ(form->document().undoStack().count(), steps) << "the command waited for the reading";
    EXPECT_TRUE(fakes.progress.shown.empty()) << "shown after " << shownAt << " ms";
    ASSERT_TRUE(QTest::qWaitFor([&] { return fakes.progress.visible; }, 2000));
    EXPECT_GE(shownAt, 500);
    ASSERT_EQ(fakes.progress.shown.size(), 1u);
    EXPECT_EQ(fakes.progress.shown[0].title, "Импорт координат");
    fakes.progress.cancel();
    finishBackgroundWork();
}

// However a slow reading is ended, it ends at once and changes nothing.
TEST_F(BackgroundImport, ACancelledOrOutlivedReadingLeavesThePolygonAsItWas) {
    const struct {
        const char *name;
        std::function<void(Form1 &, platform::FakeProgress &)> end;
    } rows[] = {
        {"Отмена in the progress window",
         [](Form1 &, platform::FakeProgress &progress) { EXPECT_TRUE(progress.cancel()); }},
        {"the main window closed",
         [](Form1 &window, platform::FakeProgress &progress) {
             EXPECT_TRUE(window.close());
             EXPECT_FALSE(progress.visible);
         }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        makeWindow();
        fakes.messages.shown.clear();
        fakes.spreadsheet.stopped = 0;
        fakes.spreadsheet.readDelay = 10s;
        form->document().markSaved();
        const geometry::PolygonTexts before = form->document().texts();
        const int steps = form->document().undoStack().count();
        startImport();
        ASSERT_TRUE(QTest::qWaitFor([&] { return fakes.progress.visible; }, 2000));

        row.end(*form, fakes.progress);
        finishBackgroundWork();
        EXPECT_EQ(fakes.spreadsheet.stopped, 1) << "the reading ran on after it was stopped";
        ASSERT_TRUE(QTest::qWaitFor([&] { return takesAnotherImport(); }, 5000));
        EXPECT_EQ(form->document().texts(), before);
        EXPECT_EQ(form->document().undoStack().count(), steps);
        EXPECT_FALSE(form->document().isModified());
        EXPECT_TRUE(fakes.messages.shown.empty());
    }
}

TEST_F(BackgroundImport, AQuickReadingShowsNoProgressAndIsOneUndoableStep) {
    const geometry::PolygonTexts before = form->document().texts();
    const int steps = form->document().undoStack().count();
    startImport();
    finishBackgroundWork();
    EXPECT_EQ(form->cornerCount(), 4);
    EXPECT_EQ(form->controls().Text3->Text().trimmed(), "1 200,00");
    EXPECT_EQ(form->document().undoStack().count(), steps + 1);
    // The timer of the progress window is stopped with the reading.
    ASSERT_NO_FATAL_FAILURE(waitOutProgressDelay());
    EXPECT_TRUE(fakes.progress.shown.empty());
    form->controls().Menu_Undo->trigger();
    EXPECT_EQ(form->document().texts(), before);
}

// Closed by its close box (Alt+F4 comes the same way) or from the program,
// the main window first ends the reading as "Отмена" does, then asks
// whether to save the changes: the question is about the polygon as it will
// stay, with no progress window over it, and whatever the answer nothing is
// imported afterwards.
TEST_F(BackgroundImport, ClosingTheWindowEndsTheReadingBeforeAskingToSave) {
    using platform::MsgResult;
    const QString saveTo = dir.filePath("before.squ");
    const struct {
        const char *name;
        std::function<void(Form1 &)> close;
        MsgResult answer;
        bool closes;
        // The first line of the file saved, the count: the start polygon's
        // 20, not the workbook's 4. Null: nothing saved.
        const char *savedCount;
    } rows[] = {
        {"the close box, not saved", [](Form1 &w) { w.windowHandle()->close(); }, MsgResult::No,
         true, nullptr},
        {"the close box, the question cancelled", [](Form1 &w) { w.windowHandle()->close(); },
         MsgResult::Cancel, false, nullptr},
        {"closed by the program, saved", [](Form1 &w) { w.close(); }, MsgResult::Yes, true, "20"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        makeWindow();
        QFile::remove(saveTo);
        fakes.messages.shown.clear();
        fakes.dialogs.fileAnswers.clear();
        fakes.spreadsheet.stopped = 0;
        fakes.spreadsheet.readDelay = 10s;
        form->document().editOwner(QStringLiteral("Петров"));
        ASSERT_TRUE(form->document().isModified());
        const geometry::PolygonTexts before = form->document().texts();
        startImport();
        ASSERT_TRUE(QTest::qWaitFor([&] { return fakes.progress.visible; }, 2000));

        bool progressAtQuestion = true;
        fakes.messages.onShow = [&](const platform::FakeMessageBox::Shown &) {
            progressAtQuestion = fakes.progress.visible;
        };
        fakes.messages.answers = {row.answer};
        fakes.dialogs.fileAnswers = {saveTo};
        row.close(*form);
        fakes.messages.onShow = nullptr;
        finishBackgroundWork();

        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text, "Файл был изменен, хотите его сохранить?");
        EXPECT_FALSE(progressAtQuestion) << "the progress window was still over the question";
        EXPECT_FALSE(fakes.progress.visible);
        EXPECT_EQ(fakes.spreadsheet.stopped, 1) << "the reader was not stopped";
        EXPECT_EQ(form->isVisible(), !row.closes);
        ASSERT_TRUE(QTest::qWaitFor([&] { return takesAnotherImport(); }, 5000));
        EXPECT_EQ(form->document().texts(), before) << "the reading landed after the question";
        EXPECT_EQ(fakes.messages.shown.size(), 1u);
        if (row.savedCount) {
            QFile saved(saveTo);
            ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
            EXPECT_EQ(saved.readLine().trimmed(), QByteArray(row.savedCount));
        } else {
            EXPECT_FALSE(QFile::exists(saveTo));
        }
    }
}

} // namespace
} // namespace tarvel::testing
