// Drawings and maps chosen in "Открыть": the shapes the GIS module read
// (scripted here; the module's own reading is tested against real files)
// open as the plot, one picked from a list where the file holds several;
// without the module, the user is told which package to install.
#include "main_window/editing_fixture.h"

#include "main_window/file_actions.h"
#include "main_window/survey_sheet_window.h"

#include <QAbstractItemModel>
#include <QTableView>

namespace tarvel::testing {
namespace {

using platform::GisReading;
using platform::GisShape;

GisShape rectangle(const QString &layer, const QString &name, double e0, double n0, double w,
                   double h) {
    GisShape s;
    s.layer = layer;
    s.name = name;
    s.rings.push_back({{{e0, n0}, {e0 + w, n0}, {e0 + w, n0 + h}, {e0, n0 + h}}, false});
    return s;
}

class MapOpenTest : public EditingTest {
protected:
    void openMap(const QString &path) {
        fakes.dialogs.fileAnswers = {path};
        const int changes = form->document().recomputeCount();
        form->controls().Menu_File_Open->trigger();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return form->document().recomputeCount() != changes ||
                       !fakes.messages.shown.empty() || !fakes.dialogs.choices.empty();
            },
            10000));
    }
    QString area() const { return form->controls().Text3->Text().trimmed(); }
};

TEST_F(MapOpenTest, AShapePickedFromTheFileBecomesThePlot) {
    GisReading r;
    r.outcome = GisReading::Outcome::Read;
    r.system = GisReading::System::Projected;
    r.systemName = QStringLiteral("Pulkovo 1942 / Gauss-Kruger zone 7");
    GisShape withHole =
        rectangle(QStringLiteral("Участок"), QStringLiteral("Сад 7"), 7452000, 4978000, 40, 25);
    withHole.rings.push_back({{{7452010, 4978010}, {7452014, 4978010}, {7452010, 4978013}}, true});
    r.shapes = {rectangle(QStringLiteral("Дома"), {}, 7452005, 4978005, 8, 6), withHole};
    fakes.gis.answers[QStringLiteral("/data/план.dxf")] = r;
    fakes.dialogs.choiceAnswers = {1};
    openMap(QStringLiteral("/data/план.dxf"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->document().contourCount() == 2; }, 10000));

    EXPECT_TRUE(fakes.messages.shown.empty());
    ASSERT_EQ(fakes.dialogs.choices.size(), 1u);
    EXPECT_EQ(fakes.dialogs.choices[0],
              (QStringList{QStringLiteral("Дома: без имени — углов: 4, площадь 48,00 м²"),
                           QStringLiteral("Участок: Сад 7 — углов: 7, площадь 994,00 м²")}));
    // 40 × 25 less the 3-4-5 triangle's 6 m².
    EXPECT_EQ(area(), QStringLiteral("994,00"));
    // The northing is X.
    EXPECT_EQ(form->table().x(2)->Text().trimmed(), QStringLiteral("4978 000,00"));
    EXPECT_EQ(form->table().y(2)->Text().trimmed(), QStringLiteral("7452 040,00"));
    EXPECT_TRUE(form->document().texts().others[0].hole);
    EXPECT_EQ(form->document().texts().owner, QStringLiteral("Сад 7"));
    EXPECT_TRUE(form->view().northUp);
    EXPECT_EQ(form->windowTitle(), FileActions::captionFor(QString()))
        << "a drawing is no file of the program";

    // The sheet: each contour under its heading, then the system.
    form->controls().Menu_Tools_Sheet->trigger();
    auto *sheet = form->findChild<SurveySheetWindow *>();
    ASSERT_NE(sheet, nullptr);
    const auto *model = sheet->table->model();
    ASSERT_EQ(model->rowCount(), 4 + 2 + 3 + 2);
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("Контур 1 из 2"));
    EXPECT_EQ(model->index(6, 0).data().toString(), QStringLiteral("Контур 2 из 2 (дырка)"));
    EXPECT_EQ(sheet->table->columnSpan(6, 0), 6);
    EXPECT_TRUE(sheet->lblTotals->Caption().contains(
        QStringLiteral("Система координат: Pulkovo 1942 / Gauss-Kruger zone 7")));
    sheet->close();
}

TEST_F(MapOpenTest, WhatCannotBeOpenedIsSaidAndChangesNothing) {
    GisReading unreadable;
    unreadable.outcome = GisReading::Outcome::Unreadable;
    unreadable.error = QStringLiteral("not recognized as a supported file format");
    const struct {
        const char *name;
        bool installed;
        GisReading reading;
        const char *message;
    } rows[] = {
        {"no module", false, GisReading{GisReading::Outcome::NoModule, {}, {}, {}, {}, {}},
         "Для этого формата установите пакет tarvel-gis"},
        {"unreadable", true, unreadable,
         "Ошибка чтения файла! not recognized as a supported file format"},
        {"no closed shape", true, GisReading{GisReading::Outcome::Read, {}, {}, {}, {}, {}},
         "В файле нет координат границ участка"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        makeWindow();
        fakes.messages.shown.clear();
        const geometry::PolygonTexts before = form->document().texts();
        fakes.gis.installed = row.installed;
        fakes.gis.answers[QStringLiteral("/data/карта.shp")] = row.reading;
        openMap(QStringLiteral("/data/карта.shp"));
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text.toStdString(), std::string(row.message));
        EXPECT_EQ(form->document().texts(), before);
    }
}

} // namespace
} // namespace tarvel::testing
