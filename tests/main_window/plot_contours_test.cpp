// A plot of several contours in the window: a catalogue pasted with blank
// lines between its contours, the row that shows and switches the contour
// edited, the plot's area, the other contours drawn, and the file that
// keeps them.
#include "main_window/editing_fixture.h"

#include "drawing/drawing_surface.h"
#include "main_window/file_actions.h"
#include "support/polygon_folder.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace tarvel::testing {
namespace {

using geometry::Axis;

// Two squares: 10 m (100 m²) and, apart from it, 20 m (400 m²).
const char kTwoContours[] = "№ X Y\n"
                            "1 0 0\n2 10 0\n3 10 10\n4 0 10\n"
                            "\n"
                            "5 100 100\n6 120 100\n7 120 120\n8 100 120\n";

class PlotContoursTest : public EditingTest, protected PolygonFolder {
protected:
    void pastePlot() {
        fakes.clipboard.plain = QString::fromUtf8(kTwoContours);
        focus(*form->table().x(1));
        QTest::keyClick(form->table().x(1)->edit(), Qt::Key_V, Qt::ControlModifier);
        ASSERT_TRUE(fakes.messages.shown.empty());
    }
    const Form1Controls &c() const { return form->controls(); }
};

TEST_F(PlotContoursTest, APastedCatalogueOfTwoContoursIsThePlot) {
    EXPECT_FALSE(c().lblContour) << "one contour: the window as always";
    EXPECT_TRUE(c().Label4->Visible());
    pastePlot();
    EXPECT_TRUE(c().lblContour->Visible());
    EXPECT_FALSE(c().Label4->Visible());
    EXPECT_EQ(c().lblContour->Caption(), QStringLiteral("Контур: 1 из 2"));
    EXPECT_EQ(form->cornerCount(), 4);
    EXPECT_EQ(form->table().x(2)->Text().trimmed(), QStringLiteral("10,00"));
    EXPECT_EQ(c().Text3->Text().trimmed(), QStringLiteral("500,00"));
    // The other contour is drawn beside the one edited.
    ASSERT_EQ(form->plot().layout().otherContours.size(), 1u);
    EXPECT_EQ(form->plot().layout().otherContours[0].corners.size(), 4u);
    EXPECT_FALSE(c().CmdContourPrev->Enabled());

    c().CmdContourNext->button()->click();
    EXPECT_EQ(c().lblContour->Caption(), QStringLiteral("Контур: 2 из 2"));
    EXPECT_EQ(form->table().x(2)->Text().trimmed(), QStringLiteral("120,00"));
    EXPECT_FALSE(c().CmdContourNext->Enabled());
    // The second one a hole: 100 - 400.
    c().ChkHole->check()->click();
    EXPECT_TRUE(form->document().isHole());
    EXPECT_EQ(c().Text3->Text().trimmed(), QStringLiteral("-300,00"));
    EXPECT_EQ(form->plot().layout().otherContours.size(), 1u);
    form->controls().Menu_Undo->trigger();
    EXPECT_EQ(c().ChkHole->Value(), 0);
    form->controls().Menu_Undo->trigger();
    EXPECT_EQ(c().lblContour->Caption(), QStringLiteral("Контур: 1 из 2"));
}

TEST_F(PlotContoursTest, APlotOfContoursIsKeptInSquxOnly) {
    pastePlot();
    c().CmdContourNext->button()->click();
    fakes.dialogs.fileAnswers = {path(QStringLiteral("plot.squ"))};
    form->controls().Menu_File_Save_As->trigger();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, FileActions::kPlotForSqux);
    EXPECT_TRUE(bytes(QStringLiteral("plot.squ")).isEmpty());

    fakes.messages.shown.clear();
    fakes.dialogs.fileAnswers = {path(QStringLiteral("plot.squx"))};
    form->controls().Menu_File_Save_As->trigger();
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_TRUE(bytes(QStringLiteral("plot.squx")).startsWith("TARVEL-SQUX 2\n2\t2\n"));

    makeWindow();
    fakes.dialogs.fileAnswers = {path(QStringLiteral("plot.squx"))};
    form->controls().Menu_File_Open->trigger();
    EXPECT_EQ(c().lblContour->Caption(), QStringLiteral("Контур: 2 из 2"));
    EXPECT_EQ(form->table().x(2)->Text().trimmed(), QStringLiteral("120,00"));
    EXPECT_EQ(c().Text3->Text().trimmed(), QStringLiteral("500,00"));
    EXPECT_FALSE(form->document().isModified());
}

} // namespace
} // namespace tarvel::testing
