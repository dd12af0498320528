// "Открыть выписку ЕГРН (XML)..." in the window: the extracts of
// tests/data/egrn (written by make_extracts.py there) open as the plot,
// each ring a contour, with the areas the script computed by the shoelace
// formula; a territory plan offers its plots to choose from; a file that
// is no extract, or holds no boundary, is said and changes nothing.
#include "main_window/editing_fixture.h"

#include "main_window/file_actions.h"
#include "main_window/survey_sheet_window.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QFileInfo>
#include <QTableView>

namespace tarvel::testing {
namespace {

const QString kData = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../data/egrn/";

class EgrnOpenTest : public EditingTest {
protected:
    // Chooses the file in the command's dialog and waits until the reading
    // has ended: the polygon changed, or a message came.
    void openExtract(const QString &name) {
        fakes.dialogs.fileAnswers = {kData + name};
        const int changes = form->document().recomputeCount();
        form->controls().Menu_File_OpenExtract->trigger();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return form->document().recomputeCount() != changes ||
                       !fakes.messages.shown.empty();
            },
            10000));
    }
    QString area() const { return form->controls().Text3->Text().trimmed(); }
};

TEST_F(EgrnOpenTest, AnExtractOpensAsThePlot) {
    const struct {
        const char *file;
        int contours;
        bool secondIsHole;
        int corners; // of the first contour
        const char *x1, *area, *owner;
    } rows[] = {
        {"one_contour.xml", 1, false, 7, "478 514,00", "619,37", "26:"},
        {"three_contours.xml", 3, false, 5, "478 630,36", "601,78", "26:"},
        {"hole.xml", 2, true, 8, "478 468,91", "2 467,43", "26:"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.file);
        makeWindow();
        openExtract(QString::fromLatin1(r.file));
        EXPECT_TRUE(fakes.messages.shown.empty());
        EXPECT_EQ(form->document().contourCount(), r.contours);
        if (r.contours > 1) EXPECT_EQ(form->document().texts().others[0].hole, r.secondIsHole);
        EXPECT_EQ(form->cornerCount(), r.corners);
        EXPECT_EQ(form->table().x(1)->Text().trimmed(), QString::fromUtf8(r.x1));
        EXPECT_EQ(area(), QString::fromUtf8(r.area));
        EXPECT_TRUE(form->document().texts().owner.startsWith(QString::fromUtf8(r.owner)));
        EXPECT_FALSE(form->document().isModified());
        EXPECT_EQ(form->windowTitle(), FileActions::captionFor(QString()))
            << "no file of the program yet";
        EXPECT_TRUE(form->view().northUp) << "the registry's X is the northing";
    }
}

// The sheet of a plot from an extract checks the registered area: 772,71 m²
// computed against 803 ± 10 m² registered (base_params.xml is made 30 m²
// off on purpose).
TEST_F(EgrnOpenTest, TheSheetChecksTheRegisteredArea) {
    openExtract(QStringLiteral("base_params.xml"));
    form->controls().Menu_Tools_Sheet->trigger();
    auto *sheet = form->findChild<SurveySheetWindow *>();
    ASSERT_NE(sheet, nullptr);
    const QString totals = sheet->lblTotals->Caption();
    EXPECT_TRUE(totals.contains(QStringLiteral(
        "Площадь по сведениям ЕГРН: 803 ± 10 м²; вычисленная: 773 м², расхождение 30 м² больше "
        "погрешности")))
        << totals.toStdString();
    EXPECT_FALSE(totals.contains(QStringLiteral("Система координат"))) << "this extract names none";
    EXPECT_TRUE(totals.contains(QStringLiteral("от оси X (север)")));
    // The extract's point numbers head the rows: its new points н1..н5.
    const auto *model = sheet->table->model();
    ASSERT_EQ(model->rowCount(), 5);
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("н1"));
    EXPECT_EQ(model->index(4, 0).data().toString(), QStringLiteral("н5"));
    sheet->close();
}

TEST_F(EgrnOpenTest, ATerritoryPlanOffersItsPlots) {
    fakes.dialogs.choiceAnswers = {7};
    openExtract(QStringLiteral("territory_plan.xml"));
    ASSERT_EQ(fakes.dialogs.choices.size(), 1u);
    ASSERT_EQ(fakes.dialogs.choices[0].size(), 50);
    EXPECT_EQ(fakes.dialogs.choices[0][7],
              QStringLiteral("26:12:031508:1007 — углов: 11, площадь 1 772,00 м²"));
    // The eighth plot: two contours, 1 771,92 m² by the script.
    EXPECT_EQ(form->document().contourCount(), 2);
    EXPECT_EQ(area(), QStringLiteral("1 771,92"));
}

// The registry's zip: the archive service hands out the XML inside it, and
// the plot opens as from the XML itself.
TEST_F(EgrnOpenTest, AZippedExtractOpensThroughTheArchive) {
    QFile xml(kData + QStringLiteral("one_contour.xml"));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    fakes.archives.answers = {
        platform::ArchiveEntry{platform::ArchiveEntry::Outcome::Read, "extract.xml", xml.readAll()}};
    openExtract(QStringLiteral("extract.zip"));
    ASSERT_EQ(fakes.archives.asked.size(), 1u);
    EXPECT_EQ(fakes.archives.asked[0].suffix, QStringLiteral(".xml"));
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(form->cornerCount(), 7);
    EXPECT_EQ(area(), QStringLiteral("619,37"));
}

TEST_F(EgrnOpenTest, WhatIsNoExtractChangesNothing) {
    const struct {
        const char *file;
        const char *message;
    } rows[] = {
        {"no_contours.xml", "В файле нет координат границ участка"},
        {"broken.xml", "Ошибка чтения файла! Файл повреждён в строке 41."},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.file);
        makeWindow();
        fakes.messages.shown.clear();
        const geometry::PolygonTexts before = form->document().texts();
        openExtract(QString::fromLatin1(r.file));
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text, QString::fromUtf8(r.message));
        EXPECT_EQ(form->document().texts(), before);
    }
    // A plan whose choice is cancelled opens nothing either.
    makeWindow();
    const geometry::PolygonTexts before = form->document().texts();
    fakes.dialogs.choiceAnswers = {std::nullopt};
    fakes.dialogs.fileAnswers = {kData + QStringLiteral("territory_plan.xml")};
    form->controls().Menu_File_OpenExtract->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fakes.dialogs.choices.empty(); }, 10000));
    EXPECT_EQ(form->document().texts(), before);
}

} // namespace
} // namespace tarvel::testing
