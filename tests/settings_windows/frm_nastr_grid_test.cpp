// The graphics settings window against a real main window.
#include "settings_windows/frm_about.h"
#include "settings_windows/frm_nastr_grid.h"
#include "settings_windows/frm_podsk1.h"

#include "main_window/drawing_surface.h"
#include "platform/controls/colours.h"
#include "support/window_fixture.h"

#include <QPushButton>
#include <QWindow>

#include <functional>
#include <utility>

namespace tarvel::testing {
namespace {

using settings_windows::FrmNastrGrid;

const QStringList kDefaultGraphicsWrites = {"Tunes/Gr1=0",  "Tunes/Gr3=0",  "Tunes/Gr4=255",
                                            "Tunes/Gr5=0",  "Tunes/Gr7=0",  "Tunes/Gr8=&H8000000F",
                                            "Tunes/Gr10=0", "Tunes/Gr11=1", "Tunes/Gr12=1"};

class FrmNastrGridTest : public WindowTest {
protected:
    void SetUp() override {
        makeWindow();
        fakes.settings.writes.clear();
    }
    // Opens the window through the main window's menu command.
    FrmNastrGrid &open() {
        form->Menu_Set_Grid_Click();
        auto *dialog = form->findChild<FrmNastrGrid *>();
        EXPECT_NE(dialog, nullptr);
        return *dialog;
    }
    void makePentagon() {
        form->Text1->setText("5");
        form->VICHISLIT();
        ASSERT_EQ(state.CornerCount, 5);
    }
};

TEST_F(FrmNastrGridTest, OpeningDisablesTheMainWindowButNotItselfAndClosingStoresNineKeys) {
    state.Modified = 1; // unsaved edits before the dialog
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
    EXPECT_EQ(state.Modified, 1);
}

TEST_F(FrmNastrGridTest, TheMainWindowsOtherWindowsStayUsable) {
    form->Menu_File_Import_Click(); // the modeless import hint
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
             form->Menu_About_Click();
             return form->findChild<settings_windows::FrmAbout *>();
         }},
        {"import hint",
         [&]() -> QWidget * {
             form->Menu_File_Import_Click();
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

TEST_F(FrmNastrGridTest, EveryOpeningStartsFromTheVariables) {
    state.settings.ShowGrid = 1;
    state.settings.ShowNumbers = 0;
    state.settings.SelectOnFocus = 1;
    state.settings.LineColour = 0xFF00;
    FrmNastrGrid &dialog = open();
    EXPECT_EQ(dialog.Check1->Value(), 1);
    EXPECT_EQ(dialog.Check5->Value(), 0);
    EXPECT_EQ(dialog.Check4->Value(), 1);
    EXPECT_EQ(dialog.Check6->Value(), 1);
    EXPECT_EQ(dialog.Label1->BackColor(), 0xFF00u);
    EXPECT_EQ(dialog.Label3->BackColor(), platform::kSysButtonFace);
    dialog.close();
}

TEST_F(FrmNastrGridTest, GridSwitchesAllLinesWhateverTheCornerCount) {
    makePentagon();
    FrmNastrGrid &dialog = open();
    for (int value : {1, 0}) {
        dialog.Check1->setValue(value);
        EXPECT_EQ(state.settings.ShowGrid, value);
        for (int i = 1; i <= 20; ++i)
            EXPECT_EQ(form->Line5[i]->Visible(), value == 1) << i;
        for (int i = 1; i <= 17; ++i)
            EXPECT_EQ(form->Line6[i]->Visible(), value == 1) << i;
    }
    dialog.close();
}

TEST_F(FrmNastrGridTest, LabelSwitchesTouchOnlyTheCornersInUse) {
    struct Case {
        const char *name;
        std::unique_ptr<platform::CheckBox> FrmNastrGrid::*check;
        Form1::Array<platform::Label, 21> Form1::*labels;
        std::int16_t files::Settings::*flag;
    };
    const Case cases[] = {
        {"angles", &FrmNastrGrid::Check3, &Form1::Tch, &files::Settings::ShowAngles},
        {"numbers", &FrmNastrGrid::Check5, &Form1::Nu, &files::Settings::ShowNumbers},
        {"lengths", &FrmNastrGrid::Check6, &Form1::Dl, &files::Settings::ShowLengths},
    };
    makePentagon();
    FrmNastrGrid &dialog = open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto &labels = (*form).*(c.labels);
        // Labels beyond the pentagon are left as they are, whatever they show.
        for (int i = 6; i <= 20; ++i)
            labels[i]->setVisible(true);
        for (int value : {0, 1, 0, 1}) {
            ((dialog).*(c.check))->setValue(value);
            EXPECT_EQ(state.settings.*(c.flag), value);
            for (int i = 1; i <= 5; ++i)
                EXPECT_EQ(labels[i]->Visible(), value == 1) << i;
            for (int i = 6; i <= 20; ++i)
                EXPECT_TRUE(labels[i]->Visible()) << i;
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

TEST_F(FrmNastrGridTest, ColourButtonsApplyAChosenColourAndCancelChangesNothing) {
    struct Case {
        const char *name;
        std::unique_ptr<platform::Button> FrmNastrGrid::*button;
        std::unique_ptr<platform::Label> FrmNastrGrid::*swatch;
        // The colour the main window shows for this setting, or nullopt when
        // its elements disagree.
        std::function<std::optional<std::uint32_t>(Form1 &)> shown;
        std::function<QString(const files::Settings &)> variable;
    };
    const auto allLines = [](auto &lines, int from, int to) -> std::optional<std::uint32_t> {
        const std::uint32_t c = lines[from]->BorderColor();
        for (int i = from; i <= to; ++i)
            if (lines[i]->BorderColor() != c) return std::nullopt;
        return c;
    };
    const Case cases[] = {
        {"grid", &FrmNastrGrid::Command1, &FrmNastrGrid::Label2,
         [&](Form1 &f) -> std::optional<std::uint32_t> {
             const auto v = allLines(f.Line5, 1, 20);
             return v == allLines(f.Line6, 1, 17) ? v : std::nullopt;
         },
         [](const files::Settings &s) { return QString::number(s.GridColour); }},
        {"edges", &FrmNastrGrid::Command2, &FrmNastrGrid::Label1,
         [&](Form1 &f) { return allLines(f.L, 1, 20); },
         [](const files::Settings &s) { return QString::number(s.LineColour); }},
        {"background", &FrmNastrGrid::Command3, &FrmNastrGrid::Label3,
         [](Form1 &f) -> std::optional<std::uint32_t> { return f.surface()->backColour; },
         [](const files::Settings &s) { return s.BackColour; }},
    };
    const std::uint32_t chosen = platform::rgb(0x12, 0x34, 0x56);
    FrmNastrGrid &dialog = open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        platform::Button &button = *((dialog).*(c.button));
        platform::Label &swatch = *((dialog).*(c.swatch));
        bool enabledWhileOpen = true;
        fakes.dialogs.onShow = [&](const auto &) { enabledWhileOpen = button.Enabled(); };

        const QString before = c.variable(state.settings);
        const auto shownBefore = c.shown(*form);
        const std::uint32_t swatchBefore = swatch.BackColor();
        fakes.dialogs.colourAnswers.push_back(std::nullopt);
        button.button()->click();
        EXPECT_FALSE(enabledWhileOpen);
        EXPECT_TRUE(button.Enabled());
        EXPECT_EQ(c.variable(state.settings), before);
        EXPECT_EQ(c.shown(*form), shownBefore);
        EXPECT_EQ(swatch.BackColor(), swatchBefore);

        fakes.dialogs.colourAnswers.push_back(chosen);
        button.button()->click();
        EXPECT_EQ(c.variable(state.settings), QString::number(chosen));
        EXPECT_EQ(c.shown(*form), chosen);
        EXPECT_EQ(swatch.BackColor(), chosen);
    }
    fakes.dialogs.onShow = nullptr;
    dialog.close();
}

TEST_F(FrmNastrGridTest, DefaultBackgroundIsTheButtonFaceStoredAsDecimal) {
    FrmNastrGrid &dialog = open();
    fakes.dialogs.colourAnswers.push_back(platform::rgb(255, 255, 255));
    dialog.Command3->button()->click();
    dialog.Command4->button()->click();
    EXPECT_EQ(form->surface()->backColour, platform::kSysButtonFace);
    EXPECT_EQ(dialog.Label3->BackColor(), platform::kSysButtonFace);
    dialog.close();
    EXPECT_TRUE(fakes.settings.writes.contains("Tunes/Gr8=-2147483633"));
    EXPECT_EQ(fakes.settings.value("Tunes", "Gr8"), "-2147483633");
}

} // namespace
} // namespace tarvel::testing
