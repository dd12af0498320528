// "Экспорт": the plot handed to the GIS module (scripted here; the module's
// own writing is tested against GDAL's tools) as easting and northing with
// its names, holes and system; KML and GeoJSON refused without a system
// before any dialog; the catalogue written as the import reads it.
#include "main_window/editing_fixture.h"

#include "files/coordinate_catalogue.h"
#include "geometry/polygon_commands.h"
#include "main_window/tool_actions.h"

#include <QFile>
#include <QTemporaryDir>

namespace tarvel::testing {
namespace {

using Format = platform::GisExport::Format;

class ExportTest : public EditingTest {
protected:
    // A plot from the registry: X the northing, a 40 x 25 contour named
    // н1..н4 and a 3-4-5 triangle cut out of it.
    void setRegistryPlot(const QString &system) {
        geometry::ContourTexts outer, hole;
        outer.count = QStringLiteral("4");
        const char *ox[] = {"6123000", "6123000", "6123025", "6123025"};
        const char *oy[] = {"452000", "452040", "452040", "452000"};
        for (std::size_t i = 1; i <= 4; ++i) {
            outer.x[i] = QString::fromLatin1(ox[i - 1]);
            outer.y[i] = QString::fromLatin1(oy[i - 1]);
            outer.names[i] = QStringLiteral("н%1").arg(i);
        }
        hole.count = QStringLiteral("3");
        hole.hole = true;
        const char *hx[] = {"6123010", "6123010", "6123013"};
        const char *hy[] = {"452010", "452014", "452010"};
        for (std::size_t i = 1; i <= 3; ++i) {
            hole.x[i] = QString::fromLatin1(hx[i - 1]);
            hole.y[i] = QString::fromLatin1(hy[i - 1]);
        }
        geometry::PolygonTexts t = geometry::plotOf({outer, hole}, QStringLiteral("26:12:1 Сад"));
        t.info.northIsX = true;
        t.info.systemDefinition = system;
        form->document().open(t);
        fakes.messages.shown.clear();
    }
    void trigger(QAction *a) { a->trigger(); }
};

TEST_F(ExportTest, KmlAndGeoJsonNeedTheSystemBeforeAnyDialog) {
    for (QAction *a : {form->controls().Menu_File_Export_Kml, form->controls().Menu_File_Export_GeoJson}) {
        SCOPED_TRACE(a->text().toStdString());
        setRegistryPlot(QString());
        const std::size_t asked = fakes.dialogs.asked.size();
        trigger(a);
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text, main_window::ToolActions::kNoSystemForMaps);
        EXPECT_EQ(fakes.dialogs.asked.size(), asked);
        EXPECT_TRUE(fakes.gis.written.empty());
    }
}

TEST_F(ExportTest, TheModuleGetsEveryContourAsEastingAndNorthing) {
    const struct {
        const char *name;
        QAction *action;
        Format format;
        const char *file;
    } rows[] = {
        {"DXF", form->controls().Menu_File_Export_Dxf, Format::Dxf, "/out/plot.dxf"},
        {"MapInfo", form->controls().Menu_File_Export_Mif, Format::MapInfo, "/out/plot.mif"},
        {"Shapefile", form->controls().Menu_File_Export_Shp, Format::Shapefile, "/out/plot.shp"},
        {"KML", form->controls().Menu_File_Export_Kml, Format::Kml, "/out/plot.kml"},
        {"GeoJSON", form->controls().Menu_File_Export_GeoJson, Format::GeoJson, "/out/plot.geojson"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        setRegistryPlot(QStringLiteral("EPSG:28407"));
        fakes.gis.written.clear();
        fakes.dialogs.fileAnswers = {QString::fromLatin1(r.file)};
        trigger(r.action);
        EXPECT_TRUE(fakes.messages.shown.empty());
        ASSERT_EQ(fakes.gis.written.size(), 1u);
        const auto &[file, plot] = fakes.gis.written[0];
        EXPECT_EQ(file, QString::fromLatin1(r.file));
        EXPECT_EQ(plot.format, r.format);
        EXPECT_EQ(plot.title, QStringLiteral("26:12:1 Сад"));
        EXPECT_EQ(plot.system, QStringLiteral("EPSG:28407"));
        ASSERT_EQ(plot.rings.size(), 2u);
        EXPECT_FALSE(plot.rings[0].hole);
        EXPECT_TRUE(plot.rings[1].hole);
        ASSERT_EQ(plot.rings[0].points.size(), 4u);
        // Corner 2: X 6 123 000 (north), Y 452 040 (east).
        EXPECT_EQ(plot.rings[0].points[1].x, 452040);
        EXPECT_EQ(plot.rings[0].points[1].y, 6123000);
        EXPECT_EQ(plot.rings[0].names[1], QStringLiteral("н2"));
        EXPECT_EQ(plot.rings[1].points[2].x, 452010);
        EXPECT_EQ(plot.rings[1].points[2].y, 6123013);
        EXPECT_TRUE(plot.rings[1].names[0].isEmpty());
    }
    // What the module says of a failed write is shown.
    fakes.gis.writeAnswer = QStringLiteral("Ошибка записи файла! нет места");
    fakes.dialogs.fileAnswers = {QStringLiteral("/out/plot.dxf")};
    trigger(form->controls().Menu_File_Export_Dxf);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, QStringLiteral("Ошибка записи файла! нет места"));
}

TEST_F(ExportTest, TheCatalogueReadsBackAsThePlot) {
    setRegistryPlot(QString());
    QTemporaryDir dir;
    const QString path = dir.filePath("каталог.csv");
    fakes.dialogs.fileAnswers = {path};
    trigger(form->controls().Menu_File_Export_Catalogue);
    EXPECT_TRUE(fakes.messages.shown.empty());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes, QStringLiteral("№;X;Y\r\n"
                                    "н1;6123000,00;452000,00\r\nн2;6123000,00;452040,00\r\n"
                                    "н3;6123025,00;452040,00\r\nн4;6123025,00;452000,00\r\n"
                                    "\r\n"
                                    "1;6123010,00;452010,00\r\n2;6123010,00;452014,00\r\n"
                                    "3;6123013,00;452010,00\r\n")
                         .toUtf8());
    EXPECT_TRUE(files::isCatalogueFile(path, bytes));
    const geometry::PastedTable back = files::readCatalogue(bytes);
    ASSERT_EQ(back.kind, geometry::PastedTable::Kind::Corners);
    ASSERT_EQ(back.corners.size(), 7u);
    EXPECT_EQ(back.corners[1].name, QStringLiteral("н2"));
    EXPECT_EQ(back.corners[1].y, 452040);
    EXPECT_EQ(back.corners[6].contour, 1);
    EXPECT_EQ(back.corners[6].x, 6123013);
}

} // namespace
} // namespace tarvel::testing

#include "settings_windows/frm_system.h"

#include <QComboBox>

namespace tarvel::testing {
namespace {

using settings_windows::FrmSystem;

class SystemWindowTest : public EditingTest {
protected:
    FrmSystem *openWindow() {
        form->controls().Menu_Set_System->trigger();
        return form->findChild<FrmSystem *>();
    }
};

// "Система координат...": a known system, a local zone (approximate) or
// none, each one step of the history; a parameter that is no number is
// said in the window and changes nothing.
TEST_F(SystemWindowTest, TheChoiceBecomesThePlotsSystem) {
    const struct {
        const char *name;
        int item; // -1: the local zone, the last item
        const char *meridian, *shift;
        const char *definitionStart; // empty: none
        const char *systemName;
        bool approximate;
        bool changes;
    } rows[] = {
        {"СК-42 zone 7", 4, "", "", "EPSG:28407", "СК-42, зона 7 (EPSG:28407)", false, true},
        {"UTM 37N", 29 + 29 + 37, "", "", "EPSG:32637", "WGS 84 / UTM, зона 37N (EPSG:32637)", false,
         true},
        {"a local zone", -1, "41,95", "23.57; -140.95; -79.8; 0; 0.35; 0.79; -0.22",
         "+proj=tmerc +lat_0=0 +lon_0=41.95 ", "местная зона, осевой меридиан 41,95° (приближённо)",
         true, true},
        {"a zone with a bad parameter", -1, "сорок", "0; 0; 0; 0; 0; 0; 0", "", "", false, false},
        {"a zone of six parameters", -1, "41", "0; 0; 0; 0; 0; 0", "", "", false, false},
        {"none", 0, "", "", "", "", false, false},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        makeWindow();
        FrmSystem *w = openWindow();
        ASSERT_NE(w, nullptr);
        const int item = r.item < 0 ? w->cmbSystem->ListCount() - 1 : r.item;
        w->cmbSystem->setListIndex(item);
        EXPECT_EQ(w->txtMeridian->widget()->isEnabled(), r.item < 0);
        if (r.item < 0) {
            w->txtMeridian->setText(QString::fromUtf8(r.meridian));
            w->txtEasting->setText(QStringLiteral("1300000"));
            w->txtNorthing->setText(QStringLiteral("-4511057,63"));
            w->txtShift->setText(QString::fromUtf8(r.shift));
        }
        const geometry::PolygonTexts before = form->document().texts();
        w->cmdApply->Click();
        const geometry::PlotInfo &info = form->document().texts().info;
        if (*r.definitionStart)
            EXPECT_TRUE(info.systemDefinition.startsWith(QString::fromUtf8(r.definitionStart)))
                << info.systemDefinition.toStdString();
        EXPECT_EQ(info.systemDefinition.isEmpty(), std::string(r.definitionStart).empty());
        EXPECT_EQ(info.coordinateSystem, QString::fromUtf8(r.systemName));
        EXPECT_EQ(info.systemApproximate, r.approximate);
        EXPECT_EQ(form->document().texts() != before, r.changes);
        const bool refused = r.item < 0 && !r.changes;
        EXPECT_EQ(w->lblMessage->Caption(), refused ? FrmSystem::kBadParameter : QString());
        if (r.changes) {
            EXPECT_TRUE(info.northIsX) << "the systems offered have X to the north";
            form->document().undoStack().undo();
            EXPECT_EQ(form->document().texts(), before);
        }
        w->close();
    }
}

} // namespace
} // namespace tarvel::testing
