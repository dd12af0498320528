// The graphics settings window: on its own, the variables it hands on and
// stores; against a real main window, what the main window shows.
#include "settings_windows/frm_about.h"
#include "settings_windows/frm_nastr_grid.h"
#include "settings_windows/frm_podsk1.h"

#include "drawing/drawing_surface.h"
#include "platform/controls/colours.h"
#include "support/window_fixture.h"

#include <QPushButton>
#include <QWindow>

#include <functional>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace tarvel::testing {
namespace {

using settings_windows::FrmNastrGrid;

const QStringList kDefaultGraphicsWrites = {
    "Tunes/Gr1=0",          "Tunes/Gr3=0",  "Tunes/Gr4=255", "Tunes/Gr5=0",  "Tunes/Gr7=0",
    "Tunes/Gr8=&H8000000F", "Tunes/Gr10=0", "Tunes/Gr11=1",  "Tunes/Gr12=1", "Tunes/Gr13=0"};

// The ten graphics variables, for comparing settings as a whole.
auto graphics(const files::Settings &s) {
    return std::tuple(s.ShowGrid, s.GridColour, s.LineColour, s.DragAnywhere, s.ShowAngles,
                      s.BackColour, s.SelectOnFocus, s.ShowNumbers, s.ShowLengths, s.NorthUp);
}

// A window without a main window: what it hands on is collected.
class FrmNastrGridAloneTest : public WindowTest {
protected:
    void SetUp() override { services = bundleFor(fakes); }
    FrmNastrGrid &load() {
        dialog = std::make_unique<FrmNastrGrid>(nullptr, *services, settings);
        QObject::connect(dialog.get(), &FrmNastrGrid::settingsChanged,
                         [this](const files::Settings &s) { changes.push_back(s); });
        QObject::connect(dialog.get(), &FrmNastrGrid::closed, [this] {
            ++closings;
            writesAtClosing = int(fakes.settings.writes.size());
        });
        dialog->Form_Load();
        dialog->show();
        return *dialog;
    }

    files::Settings settings;
    std::unique_ptr<FrmNastrGrid> dialog;
    std::vector<files::Settings> changes;
    int closings = 0;
    int writesAtClosing = -1;
};

TEST_F(FrmNastrGridAloneTest, OpeningShowsTheVariablesAndHandsOnNothing) {
    settings.ShowGrid = 1;
    settings.ShowNumbers = 0;
    settings.SelectOnFocus = 1;
    settings.LineColour = 0xFF00;
    settings.GridColour = 0x123456;
    FrmNastrGrid &w = load();
    EXPECT_EQ(w.Check1->Value(), 1);
    EXPECT_EQ(w.Check2->Value(), 0);
    EXPECT_EQ(w.Check3->Value(), 0);
    EXPECT_EQ(w.Check5->Value(), 0);
    EXPECT_EQ(w.Check4->Value(), 1);
    EXPECT_EQ(w.Check6->Value(), 1);
    EXPECT_EQ(w.Check7->Value(), 0); // the drawing as the program always drew it
    EXPECT_EQ(w.Check7->Caption(), QStringLiteral("Ось X — на север (как на планах)"));
    EXPECT_EQ(w.Label1->BackColor(), 0xFF00u);
    EXPECT_EQ(w.Label2->BackColor(), 0x123456u);
    EXPECT_EQ(w.Label3->BackColor(), platform::kSysButtonFace);
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(fakes.settings.writes.isEmpty());
    EXPECT_EQ(closings, 0);
}

TEST_F(FrmNastrGridAloneTest, EverySwitchHandsOnAllTheVariablesWithItsOwnChanged) {
    struct Case {
        const char *name;
        std::unique_ptr<platform::CheckBox> FrmNastrGrid::*check;
        std::int16_t files::Settings::*flag;
    };
    const Case cases[] = {
        {"grid", &FrmNastrGrid::Check1, &files::Settings::ShowGrid},
        {"drag", &FrmNastrGrid::Check2, &files::Settings::DragAnywhere},
        {"angles", &FrmNastrGrid::Check3, &files::Settings::ShowAngles},
        {"select", &FrmNastrGrid::Check4, &files::Settings::SelectOnFocus},
        {"numbers", &FrmNastrGrid::Check5, &files::Settings::ShowNumbers},
        {"lengths", &FrmNastrGrid::Check6, &files::Settings::ShowLengths},
        {"north up", &FrmNastrGrid::Check7, &files::Settings::NorthUp},
    };
    FrmNastrGrid &w = load();
    files::Settings expected = settings;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const int start = (w.*(c.check))->Value();
        for (int value : {1 - start, start}) {
            changes.clear();
            (w.*(c.check))->setValue(value);
            expected.*(c.flag) = std::int16_t(value);
            ASSERT_EQ(changes.size(), 1u);
            EXPECT_EQ(graphics(changes[0]), graphics(expected));
            EXPECT_EQ(graphics(w.settings()), graphics(expected));
        }
    }
}

TEST_F(FrmNastrGridAloneTest, ColourButtonsHandOnAChosenColourAndCancelHandsOnNothing) {
    struct Case {
        const char *name;
        std::unique_ptr<platform::Button> FrmNastrGrid::*button;
        std::unique_ptr<platform::Label> FrmNastrGrid::*swatch;
        std::function<QString(const files::Settings &)> variable;
    };
    const Case cases[] = {
        {"grid", &FrmNastrGrid::Command1, &FrmNastrGrid::Label2,
         [](const files::Settings &s) { return QString::number(s.GridColour); }},
        {"edges", &FrmNastrGrid::Command2, &FrmNastrGrid::Label1,
         [](const files::Settings &s) { return QString::number(s.LineColour); }},
        {"background", &FrmNastrGrid::Command3, &FrmNastrGrid::Label3,
         [](const files::Settings &s) { return s.BackColour; }},
    };
    const std::uint32_t chosen = platform::rgb(0x12, 0x34, 0x56);
    FrmNastrGrid &w = load();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        platform::Button &button = *(w.*(c.button));
        platform::Label &swatch = *(w.*(c.swatch));
        bool enabledWhileOpen = true;
        fakes.dialogs.onShow = [&](const auto &) { enabledWhileOpen = button.Enabled(); };

        changes.clear();
        const auto before = graphics(w.settings());
        const std::uint32_t swatchBefore = swatch.BackColor();
        fakes.dialogs.colourAnswers.push_back(std::nullopt);
        button.button()->click();
        EXPECT_FALSE(enabledWhileOpen);
        EXPECT_TRUE(button.Enabled());
        EXPECT_TRUE(changes.empty());
        EXPECT_EQ(graphics(w.settings()), before);
        EXPECT_EQ(swatch.BackColor(), swatchBefore);

        fakes.dialogs.colourAnswers.push_back(chosen);
        button.button()->click();
        ASSERT_EQ(changes.size(), 1u);
        EXPECT_EQ(c.variable(changes[0]), QString::number(chosen));
        EXPECT_EQ(swatch.BackColor(), chosen);
    }
    fakes.dialogs.onShow = nullptr;
    // Each change kept the ones before it.
    EXPECT_EQ(changes[0].GridColour, chosen);
    EXPECT_EQ(changes[0].LineColour, chosen);
}

TEST_F(FrmNastrGridAloneTest, DefaultBackgroundIsTheButtonFaceAsDecimal) {
    FrmNastrGrid &w = load();
    w.Command4->button()->click();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].BackColour, "-2147483633");
    EXPECT_EQ(w.Label3->BackColor(), platform::kSysButtonFace);
}

TEST_F(FrmNastrGridAloneTest, ClosingStoresTheWindowsVariablesOnceThenSaysSo) {
    FrmNastrGrid &w = load();
    w.Check1->setValue(1);
    w.Check4->setValue(1);
    EXPECT_TRUE(fakes.settings.writes.isEmpty()) << "a change is stored only at closing";
    w.close();
    EXPECT_EQ(closings, 1);
    EXPECT_EQ(writesAtClosing, 10) << "stored before the window says it closed";
    QStringList expected = kDefaultGraphicsWrites;
    expected[0] = "Tunes/Gr1=1";
    expected[6] = "Tunes/Gr10=1";
    EXPECT_EQ(fakes.settings.writes, expected);
    w.Form_Unload();
    EXPECT_EQ(closings, 1);
    EXPECT_EQ(fakes.settings.writes.size(), 10);
}

class FrmNastrGridTest : public WindowTest {
protected:
    void SetUp() override {
        makeWindow();
        fakes.settings.writes.clear();
    }
    // Opens the window through the main window's menu command.
    FrmNastrGrid &open() {
        form->controls().Menu_Set_Grid->trigger();
        auto *dialog = form->findChild<FrmNastrGrid *>();
        EXPECT_NE(dialog, nullptr);
        return *dialog;
    }
    void makePentagon() {
        type(*form->controls().Text1, "5");
        form->Text1_LostFocus();
        ASSERT_EQ(form->cornerCount(), 5);
    }
};

TEST_F(FrmNastrGridTest, OpeningDisablesTheMainWindowButNotItselfAndClosingStoresTheGraphicsKeys) {
    type(*form->table().x(1), "1"); // unsaved edits before the dialog
    for (int round = 0; round < 2; ++round) {
        const auto writesBefore = fakes.settings.writes.size();
        FrmNastrGrid &dialog = open();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(form->isEnabled());
        EXPECT_TRUE(dialog.isEnabled());
        EXPECT_TRUE(dialog.Command1->widget()->isEnabled());
        EXPECT_EQ(dialog.windowTitle(), "Настройка графики");
        EXPECT_EQ(fakes.settings.writes.size(), writesBefore) << "opening stores nothing";
        dialog.close();
        EXPECT_TRUE(form->isEnabled());
    }
    // Untouched values are rewritten at every close, in their order.
    EXPECT_EQ(fakes.settings.writes, kDefaultGraphicsWrites + kDefaultGraphicsWrites);
    // Closing saves no polygon, so the save question must still come.
    EXPECT_TRUE(form->document().isModified());
}

TEST_F(FrmNastrGridTest, TheMainWindowsOtherWindowsStayUsable) {
    form->controls().Menu_File_Import->trigger(); // the modeless import hint
    auto *hint = form->findChild<settings_windows::FrmPodsk1 *>();
    ASSERT_NE(hint, nullptr);
    FrmNastrGrid &dialog = open();
    EXPECT_FALSE(form->isEnabled());
    EXPECT_TRUE(hint->isEnabled());
    dialog.close();
    EXPECT_TRUE(form->isEnabled());
    EXPECT_TRUE(hint->isEnabled());
}

// None of these windows can be resized, so none offers a maximise button.
TEST_F(FrmNastrGridTest, FixedSizeWindowsOfferNoMaximiseButton) {
    const std::pair<const char *, std::function<QWidget *()>> windows[] = {
        {"settings", [&]() -> QWidget * { return &open(); }},
        {"about",
         [&]() -> QWidget * {
             form->controls().Menu_About->trigger();
             return form->findChild<settings_windows::FrmAbout *>();
         }},
        {"import hint",
         [&]() -> QWidget * {
             form->controls().Menu_File_Import->trigger();
             return form->findChild<settings_windows::FrmPodsk1 *>();
         }},
    };
    for (const auto &[name, openWindow] : windows) {
        SCOPED_TRACE(name);
        QWidget *window = openWindow();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(window->isVisible());
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        for (const Qt::WindowFlags flags :
             {window->windowFlags(), window->windowHandle()->flags()}) {
            EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
            EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
        }
        window->hide();
        form->setEnabled(true);
    }
}

TEST_F(FrmNastrGridTest, EveryOpeningStartsFromTheVariablesInForce) {
    state.settings.LineColour = 0xFF00;
    FrmNastrGrid &first = open();
    EXPECT_EQ(first.Label1->BackColor(), 0xFF00u);
    first.Check1->setValue(1);
    first.close();
    FrmNastrGrid &second = open();
    EXPECT_EQ(second.Check1->Value(), 1);
    EXPECT_EQ(second.Label1->BackColor(), 0xFF00u);
    second.close();
}

// Switching one setting changes only what it switches in the drawing, and
// does not undo variables the window does not own.
TEST_F(FrmNastrGridTest, ASwitchTouchesOnlyWhatItSwitchesInTheMainWindow) {
    makePentagon();
    FrmNastrGrid &dialog = open();
    dialog.Check3->setValue(1); // angles shown
    const DrawingLayout before = form->plot().layout();
    state.settings.ImportHintOff = 1; // the import hint closed meanwhile
    dialog.Check1->setValue(1);
    dialog.Check2->setValue(1);
    dialog.Check4->setValue(1);
    const DrawingLayout &after = form->plot().layout();
    EXPECT_TRUE(after.verticalGrid[1].visible);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(after.corner(i).number.visible, before.corner(i).number.visible) << i;
        EXPECT_TRUE(after.corner(i).angle.visible) << i;
        EXPECT_EQ(after.corner(i).length.visible, before.corner(i).length.visible) << i;
        EXPECT_EQ(after.corner(i).edge.colour, before.corner(i).edge.colour) << i;
    }
    EXPECT_EQ(state.settings.ImportHintOff, 1);
    EXPECT_EQ(state.settings.DragAnywhere, 1);
    dialog.close();
}

TEST_F(FrmNastrGridTest, GridSwitchesAllLinesWhateverTheCornerCount) {
    makePentagon();
    FrmNastrGrid &dialog = open();
    for (int value : {1, 0}) {
        dialog.Check1->setValue(value);
        EXPECT_EQ(state.settings.ShowGrid, value);
        for (int i = 1; i <= 20; ++i)
            EXPECT_EQ(form->plot().layout().verticalGrid[i].visible, value == 1) << i;
        for (int i = 1; i <= 17; ++i)
            EXPECT_EQ(form->plot().layout().horizontalGrid[i].visible, value == 1) << i;
    }
    dialog.close();
}

TEST_F(FrmNastrGridTest, LabelSwitchesTouchOnlyTheCornersInUse) {
    struct Case {
        const char *name;
        std::unique_ptr<platform::CheckBox> FrmNastrGrid::*check;
        Caption DrawingLayout::Corner::*label;
        std::int16_t files::Settings::*flag;
    };
    const Case cases[] = {
        {"angles", &FrmNastrGrid::Check3, &DrawingLayout::Corner::angle,
         &files::Settings::ShowAngles},
        {"numbers", &FrmNastrGrid::Check5, &DrawingLayout::Corner::number,
         &files::Settings::ShowNumbers},
        {"lengths", &FrmNastrGrid::Check6, &DrawingLayout::Corner::length,
         &files::Settings::ShowLengths},
    };
    makePentagon();
    FrmNastrGrid &dialog = open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (int value : {0, 1, 0, 1}) {
            ((dialog).*(c.check))->setValue(value);
            EXPECT_EQ(state.settings.*(c.flag), value);
            // The drawing has the pentagon's five corners and no others.
            const DrawingLayout &layout = form->plot().layout();
            ASSERT_EQ(layout.cornerCount(), 5);
            for (int i = 1; i <= 5; ++i)
                EXPECT_EQ((layout.corner(i).*(c.label)).visible, value == 1) << i;
        }
    }
    dialog.close();
}

TEST_F(FrmNastrGridTest, BehaviourFlagsAreOnlyCopied) {
    FrmNastrGrid &dialog = open();
    dialog.Check2->setValue(1);
    dialog.Check4->setValue(1);
    EXPECT_EQ(state.settings.DragAnywhere, 1);
    EXPECT_EQ(state.settings.SelectOnFocus, 1);
    dialog.close();
    EXPECT_TRUE(fakes.settings.writes.contains("Tunes/Gr5=1"));
    EXPECT_TRUE(fakes.settings.writes.contains("Tunes/Gr10=1"));
}

TEST_F(FrmNastrGridTest, AChosenColourShowsInTheMainWindowAndCancelChangesNothing) {
    struct Case {
        const char *name;
        std::unique_ptr<platform::Button> FrmNastrGrid::*button;
        // The colour the main window shows for this setting, or nullopt when
        // its elements disagree.
        std::function<std::optional<std::uint32_t>(Form1 &)> shown;
        std::function<QString(const files::Settings &)> variable;
    };
    // One colour for all the lines given, or nullopt when they disagree.
    const auto allLines =
        [](const std::vector<const DrawnLine *> &lines) -> std::optional<std::uint32_t> {
        const std::uint32_t c = lines.front()->colour;
        for (const DrawnLine *l : lines)
            if (l->colour != c) return std::nullopt;
        return c;
    };
    const Case cases[] = {
        {"grid", &FrmNastrGrid::Command1,
         [&](Form1 &f) -> std::optional<std::uint32_t> {
             const DrawingLayout &d = f.plot().layout();
             std::vector<const DrawnLine *> lines;
             for (int i = 1; i <= 20; ++i)
                 lines.push_back(&d.verticalGrid[i]);
             for (int i = 1; i <= 17; ++i)
                 lines.push_back(&d.horizontalGrid[i]);
             return allLines(lines);
         },
         [](const files::Settings &s) { return QString::number(s.GridColour); }},
        {"edges", &FrmNastrGrid::Command2,
         [&](Form1 &f) {
             std::vector<const DrawnLine *> lines;
             for (const DrawingLayout::Corner &c : f.plot().layout().corners)
                 lines.push_back(&c.edge);
             return allLines(lines);
         },
         [](const files::Settings &s) { return QString::number(s.LineColour); }},
        {"background", &FrmNastrGrid::Command3,
         [](Form1 &f) -> std::optional<std::uint32_t> { return f.surface()->backColour; },
         [](const files::Settings &s) { return s.BackColour; }},
    };
    const std::uint32_t chosen = platform::rgb(0x12, 0x34, 0x56);
    FrmNastrGrid &dialog = open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        platform::Button &button = *((dialog).*(c.button));

        const QString before = c.variable(state.settings);
        const auto shownBefore = c.shown(*form);
        fakes.dialogs.colourAnswers.push_back(std::nullopt);
        button.button()->click();
        EXPECT_EQ(c.variable(state.settings), before);
        EXPECT_EQ(c.shown(*form), shownBefore);

        fakes.dialogs.colourAnswers.push_back(chosen);
        button.button()->click();
        EXPECT_EQ(c.variable(state.settings), QString::number(chosen));
        EXPECT_EQ(c.shown(*form), chosen);
    }
    dialog.close();
}

TEST_F(FrmNastrGridTest, DefaultBackgroundIsTheButtonFaceStoredAsDecimal) {
    FrmNastrGrid &dialog = open();
    fakes.dialogs.colourAnswers.push_back(platform::rgb(255, 255, 255));
    dialog.Command3->button()->click();
    dialog.Command4->button()->click();
    EXPECT_EQ(form->surface()->backColour, platform::kSysButtonFace);
    dialog.close();
    EXPECT_TRUE(fakes.settings.writes.contains("Tunes/Gr8=-2147483633"));
    EXPECT_EQ(fakes.settings.value("Tunes", "Gr8"), "-2147483633");
}

} // namespace
} // namespace tarvel::testing
