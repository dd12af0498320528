// The import reads its workbook in the background: the window answers while
// a slow workbook is read, a progress window with "Отмена" appears only when
// the reading lasts, and a reading that is cancelled, or outlived by its
// window, leaves the polygon as it was.
#include "platform/io/spreadsheet.h"
#include "support/window_fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QUndoStack>

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
    startImport();
    EXPECT_LT(clock.elapsed(), 250) << "the command waited for the reading";
    QTest::qWait(300);
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

        QElapsedTimer ending;
        ending.start();
        row.end(*form, fakes.progress);
        finishBackgroundWork();
        EXPECT_LT(ending.elapsed(), 1000) << "the reading ran on after it was stopped";
        EXPECT_EQ(fakes.spreadsheet.stopped, 1);
        QTest::qWait(50);
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
    QTest::qWait(int(WorkbookImport::kProgressDelay.count()) + 200);
    EXPECT_TRUE(fakes.progress.shown.empty());
    form->controls().Menu_Undo->trigger();
    EXPECT_EQ(form->document().texts(), before);
}

} // namespace
} // namespace tarvel::testing
