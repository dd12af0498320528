// The plan's window over the real main window: opened from the "Файл" menu
// with the scale that fits the plot, following the document, the scale the
// user chooses, the PDF written through the document service and read back
// with pdftotext, the printer, a write that fails, and Escape.
#include "main_window/plan_window.h"

#include "support/window_fixture.h"

#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace tarvel::testing {
namespace {

class PlanWindowTest : public WindowTest {
protected:
    void SetUp() override { makeWindow(); }
    PlanWindow &openPlan() {
        form->controls().Menu_File_Plan->trigger();
        auto *w = form->findChild<PlanWindow *>();
        EXPECT_NE(w, nullptr);
        return *w;
    }
    // A rectangle of `up` metres along X by `across` along Y at survey
    // coordinates, its first corner named.
    void setRectangle(double up, double across) {
        geometry::PolygonTexts t = form->document().texts();
        t.count = QStringLiteral("4");
        const double x[] = {6000000, 6000000 + up, 6000000 + up, 6000000};
        const double y[] = {2000000, 2000000, 2000000 + across, 2000000 + across};
        for (std::size_t i = 1; i <= 4; ++i) {
            t.x[i] = QString::number(x[i - 1], 'f', 2).replace('.', ',');
            t.y[i] = QString::number(y[i - 1], 'f', 2).replace('.', ',');
        }
        t.names[1] = QStringLiteral("н1");
        form->document().apply(t, QStringLiteral("test"));
    }
    static QString pdfText(const QString &path) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        EXPECT_TRUE(p.waitForFinished());
        return QString::fromUtf8(p.readAllStandardOutput());
    }
};

TEST_F(PlanWindowTest, TheFileMenuOffersItRightAfterPrint) {
    const QList<QAction *> items = form->controls().Menu_File->actions();
    const qsizetype print = items.indexOf(form->controls().Menu_File_Print);
    ASSERT_GE(print, 0);
    ASSERT_LT(print + 1, items.size());
    EXPECT_EQ(items[print + 1], form->controls().Menu_File_Plan);
    EXPECT_EQ(form->controls().Menu_File_Plan->text(), QStringLiteral("Чертёж участка"));
}

TEST_F(PlanWindowTest, OpensOnceWithTheScaleThatFits) {
    setRectangle(60, 40);
    PlanWindow &w = openPlan();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isModal());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Чертёж участка"));
    const QStringList scales = {"1:100",   "1:200",   "1:500",    "1:1 000",
                                "1:2 000", "1:5 000", "1:10 000", "1:25 000"};
    ASSERT_EQ(w.cmbScale->ListCount(), scales.size());
    for (int i = 0; i < scales.size(); ++i)
        EXPECT_EQ(w.cmbScale->List(i), scales[i]);
    EXPECT_EQ(w.cmbScale->Text(), QStringLiteral("1:500"));
    EXPECT_EQ(w.denominator(), 500);
    EXPECT_EQ(w.lblScale->Caption(), QStringLiteral("Масштаб:"));
    w.close();
    EXPECT_EQ(&openPlan(), &w);
    EXPECT_EQ(form->findChildren<PlanWindow *>().size(), 1);
}

TEST_F(PlanWindowTest, TheScaleFollowsThePlotUntilOneIsChosen) {
    setRectangle(60, 40);
    PlanWindow &w = openPlan();
    const struct {
        const char *name;
        std::function<void()> act;
        const char *scale;
    } rows[] = {
        // 15 m take 150 mm at 1:100.
        {"ASmallerPlot", [&] { setRectangle(15, 10); }, "1:100"},
        {"TheUserChooses", [&] { choose(*w.cmbScale, QStringLiteral("1:2 000")); }, "1:2 000"},
        // The choice holds while the plot changes...
        {"ChoiceHolds", [&] { setRectangle(60, 40); }, "1:2 000"},
        // ... until the window is opened again from the menu.
        {"OpenedAgain", [&] { openPlan(); }, "1:500"},
        // A plot the coarsest scale cannot hold is cut at the frame.
        {"TooLarge", [&] { setRectangle(5000, 100); }, "1:25 000"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const int before = w.updateCount();
        r.act();
        EXPECT_GT(w.updateCount(), before);
        EXPECT_EQ(w.cmbScale->Text(), QString::fromUtf8(r.scale));
        EXPECT_EQ(drawing::planScaleText(w.denominator()), QString::fromUtf8(r.scale));
    }
    EXPECT_FALSE(w.layout().fits);
}

TEST_F(PlanWindowTest, AHiddenWindowLaysThePlanOutWhenShownAgain) {
    setRectangle(60, 40);
    PlanWindow &w = openPlan();
    w.close();
    const int before = w.updateCount();
    setRectangle(15, 10);
    setRectangle(16, 10);
    EXPECT_EQ(w.updateCount(), before) << "nothing is laid out for a hidden window";
    openPlan();
    EXPECT_EQ(w.updateCount(), before + 1);
    EXPECT_EQ(w.cmbScale->Text(), QStringLiteral("1:200"));
}

TEST_F(PlanWindowTest, SaveToPdfWritesThePlan) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
    QTemporaryDir dir;
    setRectangle(60, 40.4);
    form->document().editOwner(QStringLiteral("Иванов Пётр"));
    PlanWindow &w = openPlan();
    const QString path = dir.filePath(QStringLiteral("plan.pdf"));
    fakes.dialogs.fileAnswers.push_back(path);
    w.cmdPdf->button()->click();
    ASSERT_EQ(fakes.dialogs.asked.size(), 1u);
    EXPECT_EQ(fakes.dialogs.asked[0].request.filter, QStringLiteral("PDF (*.pdf)|*.pdf|"));
    ASSERT_EQ(fakes.documents.pdfs.size(), 1u);
    EXPECT_EQ(fakes.documents.pdfs[0].path, path);
    EXPECT_FALSE(fakes.documents.pdfs[0].landscape);
    EXPECT_TRUE(fakes.messages.shown.empty());

    const QString text = pdfText(path);
    for (const char *expected : {"Масштаб 1:500", "н1", "60,00", "40,40", "Иванов Пётр",
                                 "Площадь участка: 2 424,00 м²", "Дирекционный угол",
                                 "90° 00′ 00″"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
}

TEST_F(PlanWindowTest, PrintGoesThroughThePrinter) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
    QTemporaryDir dir;
    setRectangle(60, 40);
    PlanWindow &w = openPlan();
    choose(*w.cmbScale, QStringLiteral("1:1 000"));
    fakes.printer.pdfPath = dir.filePath(QStringLiteral("printed.pdf"));
    w.cmdPrint->button()->click();
    ASSERT_EQ(fakes.printer.printed, 1);
    EXPECT_TRUE(pdfText(fakes.printer.pdfPath).contains(QStringLiteral("Масштаб 1:1 000")));
}

TEST_F(PlanWindowTest, AFailedOrCancelledSave) {
    QTemporaryDir dir;
    PlanWindow &w = openPlan();
    const struct {
        const char *name;
        std::optional<QString> answer;
        bool fails;
        std::size_t writes, messages;
    } rows[] = {
        {"Cancelled", std::nullopt, false, 0, 0},
        {"WriteFails", dir.filePath(QStringLiteral("plan.pdf")), true, 1, 1},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        fakes.documents.pdfs.clear();
        fakes.messages.shown.clear();
        fakes.documents.fails = r.fails;
        fakes.dialogs.fileAnswers.push_back(r.answer);
        w.cmdPdf->button()->click();
        EXPECT_EQ(fakes.documents.pdfs.size(), r.writes);
        ASSERT_EQ(fakes.messages.shown.size(), r.messages);
        if (r.messages == 0) continue;
        EXPECT_EQ(fakes.messages.shown[0].text, QStringLiteral("Ошибка записи файла!"));
        EXPECT_EQ(fakes.messages.shown[0].buttons, platform::MsgButtons::OK);
        EXPECT_EQ(fakes.messages.shown[0].icon, platform::MsgIcon::Exclamation);
    }
}

TEST_F(PlanWindowTest, EscapeAndCloseCloseIt) {
    const struct {
        const char *name;
        std::function<void(PlanWindow &)> close;
    } rows[] = {
        {"Escape",
         [](PlanWindow &w) {
             QApplication::setActiveWindow(&w);
             (void)QTest::qWaitForWindowActive(&w);
             QTest::keyClick(&w, Qt::Key_Escape);
         }},
        {"CloseButton", [](PlanWindow &w) { w.cmdClose->button()->click(); }},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        PlanWindow &w = openPlan();
        ASSERT_TRUE(w.isVisible());
        r.close(w);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }));
    }
}

} // namespace
} // namespace tarvel::testing
