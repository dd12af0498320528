// Start-up, layout and the recompute-and-redraw cycle of the main window.
#include "support/window_fixture.h"

#include "drawing/drawing_layout.h"
#include "drawing/drawing_surface.h"
#include "platform/controls/colours.h"
#include "platform/controls/keyboard.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include <cmath>

namespace tarvel::testing {
namespace {

using platform::MsgIcon;

class StartTest : public WindowTest {};

TEST_F(StartTest, DefaultPolygonShowsAreaLengthsAndAngles) {
    makeWindow();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Тарвел 3.0"));
    EXPECT_EQ(form->surface()->size(), QSize(1071, 701));
    // The pattern's literal blanks stay: two from the empty digit groups.
    EXPECT_EQ(form->controls().Text3->Text(), QStringLiteral("  10 700,00"));
    EXPECT_EQ(form->cornerCount(), 20);

    const QStringList sides = {"25",   "20",    "85", "90", "20,62", "20,62", "8",
                               "20,4", "21,54", "50", "20", "36",    "20",    "36",
                               "20",   "80",    "25", "20", "25",    "50"};
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(form->plot().layout().corner(i).length.text, sides[i - 1]) << "side " << i;
        EXPECT_TRUE(form->plot().layout().corner(i).length.visible);
        EXPECT_TRUE(form->plot().layout().corner(i).number.visible);
        EXPECT_FALSE(form->plot().layout().corner(i).angle.visible)
            << "angle labels are hidden by default";
        EXPECT_TRUE(form->plot().layout().corner(i).edge.visible);
    }
    // The angles inside the outline, worked out apart from the program: the
    // corners where it turns inward (1, 13, 14, 17, 20, and the feet of the
    // two peaks) read above 180.
    const QStringList angles = {"270", "90", "90",    "90",   "256", "28,1", "256",
                                "258,7", "33,1", "248,2", "90", "90",  "270",  "270",
                                "90",  "90", "270",   "90",   "90",  "270"};
    for (int i = 1; i <= 20; ++i)
        EXPECT_EQ(form->plot().layout().corner(i).angle.text,
                  angles[i - 1] + QStringLiteral(" град"))
            << "corner " << i;

    // Dl(1) sits beside the middle of the edge from corner 1 (26; 30) down
    // to corner 2 (26; 5), 45 twips off it on the outer side, the right.
    const DrawnLine &edge = form->plot().layout().corner(1).edge;
    EXPECT_NEAR(form->plot().layout().corner(1).length.box.left(), edge.x1 + 45, 0.01);
    EXPECT_NEAR(form->plot().layout().corner(1).length.box.center().y(), (edge.y1 + edge.y2) / 2,
                0.01);
    // Corner 1 (26; 30) at scale 10: 56.692 twips per metre from the origin.
    EXPECT_NEAR(edge.x1, kCrossX + 26 * 56.692, 0.01);
    EXPECT_NEAR(edge.y1, kCrossY - 30 * 56.692, 0.01);
    EXPECT_NEAR(form->plot().layout().corner(1).marker.box.left(), edge.x1 - kMarkerOffset, 0.01);
    EXPECT_NEAR(form->plot().layout().corner(1).number.box.top(), edge.y1 + 50, 0.01);
    // The last edge closes the ring.
    EXPECT_DOUBLE_EQ(form->plot().layout().corner(20).edge.x2,
                     form->plot().layout().corner(1).edge.x1);
    EXPECT_DOUBLE_EQ(form->plot().layout().corner(20).edge.y2,
                     form->plot().layout().corner(1).edge.y1);
}

TEST_F(StartTest, StartsFromTheDefaultsOfACleanStore) {
    makeWindow();
    EXPECT_EQ(form->controls().txtMsb->Text(), QStringLiteral("10"));
    EXPECT_EQ(form->controls().txtStep->Text(), QStringLiteral("1"));
    EXPECT_FLOAT_EQ(form->view().scale, 10);
    EXPECT_EQ(form->controls().CmbEd->Text(), QStringLiteral("М"));
    EXPECT_EQ(form->controls().Label1[1]->Caption(), QStringLiteral("Кв. М"));
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(form->plot().layout().xScale[k].text, QString::number((k + 1) * 50));
    for (int i = 1; i <= 20; ++i) {
        EXPECT_FALSE(form->plot().layout().verticalGrid[i].visible);
        EXPECT_EQ(form->plot().layout().corner(i).edge.colour, 255u);
    }
    EXPECT_EQ(form->surface()->backColour, platform::kSysButtonFace);
    // Grid lines one centimetre apart, 20 across and 17 up.
    EXPECT_NEAR(form->plot().layout().verticalGrid[20].x1 -
                    form->plot().layout().verticalGrid[0].x1,
                20 * 566.92, 0.01);
    EXPECT_NEAR(form->plot().layout().horizontalGrid[0].y1 -
                    form->plot().layout().horizontalGrid[17].y1,
                17 * 566.92, 0.01);
    ASSERT_EQ(form->controls().Cmb1->ListCount(), 20);
    ASSERT_EQ(form->controls().Cmb2->ListCount(), 20);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(form->controls().Cmb1->List(i), QString::number(i + 1));
    EXPECT_TRUE(form->controls().Cmb1->Text().isEmpty()) << "no corner chosen yet";
    EXPECT_EQ(fakes.association.registerCalls, 1);
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_FALSE(form->document().isModified());
}

TEST_F(StartTest, RestoresStoredPreferences) {
    fakes.settings.write("Tunes", "Gr1", "1");
    fakes.settings.write("Tunes", "Gr3", "16777215");
    fakes.settings.write("Tunes", "Gr4", "65280");
    fakes.settings.write("Tunes", "Gr7", "1");
    fakes.settings.write("Tunes", "Gr8", "-2147483633");
    fakes.settings.write("Tunes", "Gr11", "0");
    fakes.settings.write("Tunes", "Step", "2,5"); // read back as "step"
    makeWindow();
    EXPECT_TRUE(form->plot().layout().verticalGrid[7].visible);
    EXPECT_TRUE(form->plot().layout().horizontalGrid[17].visible);
    EXPECT_EQ(form->plot().layout().horizontalGrid[3].colour, 16777215u);
    EXPECT_EQ(form->plot().layout().corner(4).edge.colour, 65280u);
    EXPECT_TRUE(form->plot().layout().corner(2).angle.visible);
    EXPECT_FALSE(form->plot().layout().corner(2).number.visible);
    EXPECT_EQ(form->surface()->backColour, platform::kSysButtonFace);
    EXPECT_EQ(form->controls().txtStep->Text(), QStringLiteral("2,5"));
}

TEST_F(StartTest, MenusCarryTheirCaptionsAndSeparators) {
    makeWindow();
    QStringList menus;
    for (QAction *a : form->menuBar()->actions())
        menus << platform::shownCaption(a->text());
    EXPECT_EQ(menus, QStringList({"Файл", "Инструменты", "Настройки", "Помощь"}));
    auto captions = [](QMenu *m) {
        QStringList c;
        for (QAction *a : m->actions())
            c << (a->isSeparator() ? QStringLiteral("-") : platform::shownCaption(a->text()));
        return c;
    };
    EXPECT_EQ(captions(form->controls().Menu_File),
              QStringList({"Открыть", "Открыть выписку ЕГРН (XML)...", "Сохранить", "Сохранить как...", "Экспорт",
                           "Импорт координат из Excel", "-", "Печать", "Чертёж участка", "Недавние файлы", "-",
                           "Выход"}));
    EXPECT_EQ(captions(form->controls().Menu_File_ExportTo),
              QStringList({"Экспорт координат в Excel", "-", "DXF...", "MapInfo (MIF/MID)...",
                           "Shapefile...", "KML...", "GeoJSON...", "Каталог координат (TXT, CSV)..."}));
    EXPECT_EQ(
        captions(form->controls().Menu_Tools),
        QStringList({"Калькулятор", "-", "Загрузить фоновый рисунок", "Отобразить фоновый рисунок",
                     "Скрыть фоновый рисунок", "-", "Передвинуть в начало координат",
                     "Зеркально перевернуть", "Повернуть на 90 гр. по часовой стрелке",
                     "Повернуть на 90 гр. против часовой стрелки", "-",
                     "Ввод географических координат (град мин сек)",
                     "Ввод географических координат (град)", "-", "Отменить", "Повторить",
                     "Показать весь участок", "-", "Ведомость участка"}));
    // Nothing to undo or redo in a window just opened.
    EXPECT_FALSE(form->controls().Menu_Undo->isEnabled());
    EXPECT_FALSE(form->controls().Menu_Redo->isEnabled());
    auto keys = [](QAction *a) {
        QStringList k;
        for (const QKeySequence &s : a->shortcuts())
            k << s.toString(QKeySequence::PortableText);
        return k;
    };
    EXPECT_EQ(keys(form->controls().Menu_Undo), QStringList({"Ctrl+Z"}));
    EXPECT_EQ(keys(form->controls().Menu_Redo), QStringList({"Ctrl+Shift+Z", "Ctrl+Y"}));
    EXPECT_EQ(keys(form->controls().Menu_File_Open), QStringList({"Ctrl+O"}));
    EXPECT_EQ(keys(form->controls().Menu_File_Save_As), QStringList({"Ctrl+Shift+S"}));
    EXPECT_EQ(keys(form->controls().Menu_File_Save), QStringList({"Ctrl+S"}));
    EXPECT_EQ(form->controls().Menu_File->actions().value(2), form->controls().Menu_File_Save)
        << "above \"Сохранить как...\"";
    EXPECT_EQ(keys(form->controls().Menu_File_Print), QStringList({"Ctrl+P"}));
    EXPECT_EQ(captions(form->controls().Menu_Set),
              QStringList({"Путь к папке с файлами", "Графика", "Система координат...", "Выводить подсказки"}));
    EXPECT_EQ(captions(form->controls().Menu_Help), QStringList({"Краткая справка", "О программе"}));
    EXPECT_EQ(captions(form->controls().Menu_Ugol), QStringList({"Вставить угол", "Удалить угол"}));
}

TEST_F(StartTest, SmallScreenIsToldOnceAndStartUpGoesOn) {
    struct Case {
        const char *name;
        QSize screen;
        bool told;
    };
    // One settings store through the starts: the notice comes once per
    // screen size, not at every start.
    platform::FakeServices f;
    for (const Case &c : {Case{"small", {800, 600}, true}, Case{"small again", {800, 600}, false},
                          Case{"large enough", {1024, 768}, false},
                          Case{"low", {1280, 700}, true}, Case{"low again", {1280, 700}, false},
                          Case{"small once more, after another", {800, 600}, true}}) {
        SCOPED_TRACE(c.name);
        f.messages.shown.clear();
        f.screen.size = c.screen;
        auto s = bundleFor(f);
        SharedState st;
        Form1 w(st, *s);
        w.Form_Load();
        ASSERT_EQ(f.messages.shown.size(), c.told ? 1u : 0u);
        EXPECT_EQ(w.controls().Text3->Text(), QStringLiteral("  10 700,00"));
        if (!c.told) continue;
        const auto &box = f.messages.shown[0];
        EXPECT_EQ(box.title, QStringLiteral("Сообщение программы"));
        EXPECT_EQ(box.icon, MsgIcon::Information);
        EXPECT_EQ(box.text, QStringLiteral("У Вас разрешение экрана %1 Х %2, а программа "
                                           "рассчитана на разрешение не менее 1024 Х 768 возможно "
                                           "неправильное отображение!")
                                .arg(c.screen.width())
                                .arg(c.screen.height()));
    }
}

TEST_F(StartTest, UnitChangesOnlyTheThreeCaptions) {
    makeWindow();
    const QString area = form->controls().Text3->Text();
    const double x1 = form->plot().layout().corner(1).edge.x1;
    choose(*form->controls().CmbEd, 1);
    EXPECT_EQ(form->controls().Label1[4]->Caption(), QStringLiteral("КМ"));
    EXPECT_EQ(form->controls().Label1[2]->Caption(), QStringLiteral("Шаг, КМ"));
    EXPECT_EQ(form->controls().Label1[1]->Caption(), QStringLiteral("Кв. КМ"));
    EXPECT_EQ(form->controls().Text3->Text(), area);
    EXPECT_EQ(form->plot().layout().corner(1).edge.x1, x1);
}

TEST_F(StartTest, AUnitChosenIsUndoneAndRedoneLikeAnyChange) {
    makeWindow();
    const int recomputes = form->document().recomputeCount(), draws = form->drawCount();
    choose(*form->controls().CmbEd, 1);
    EXPECT_EQ(form->document().unit(), geometry::Unit::Kilometres);
    // One change: the list showing the document's unit raises no second.
    EXPECT_EQ(form->document().recomputeCount(), recomputes + 1);
    EXPECT_EQ(form->drawCount(), draws + 1);
    EXPECT_EQ(form->document().undoStack().count(), 1);
    form->controls().Menu_Undo->trigger();
    EXPECT_EQ(form->controls().CmbEd->Text(), QStringLiteral("М"));
    EXPECT_EQ(form->controls().Label1[4]->Caption(), QStringLiteral("М"));
    EXPECT_EQ(form->controls().Label1[1]->Caption(), QStringLiteral("Кв. М"));
    form->controls().Menu_Redo->trigger();
    EXPECT_EQ(form->controls().CmbEd->Text(), QStringLiteral("КМ"));
    EXPECT_EQ(form->controls().Label1[2]->Caption(), QStringLiteral("Шаг, КМ"));
}

// Everything VICHISLIT writes, for comparing two states of the window.
QStringList snapshot(const Form1 &f) {
    QStringList s;
    for (int i = 1; i <= f.plot().layout().cornerCount(); ++i) {
        const DrawingLayout::Corner &c = f.plot().layout().corner(i);
        for (const Caption *l : {&c.angle, &c.number, &c.length})
            s << QStringLiteral("%1 %2 %3 %4")
                     .arg(l->text)
                     .arg(l->box.left())
                     .arg(l->box.top())
                     .arg(l->visible);
        s << QStringLiteral("%1 %2 %3")
                 .arg(c.marker.box.left())
                 .arg(c.marker.box.top())
                 .arg(c.marker.visible);
        const DrawnLine &e = c.edge;
        s << QStringLiteral("%1 %2 %3 %4 %5")
                 .arg(e.x1)
                 .arg(e.y1)
                 .arg(e.x2)
                 .arg(e.y2)
                 .arg(e.visible);
    }
    s << f.controls().Text3->Text();
    return s;
}

TEST_F(StartTest, TwoRecomputesGiveTheSamePicture) {
    makeWindow();
    const QStringList first = snapshot(*form);
    form->VICHISLIT();
    EXPECT_EQ(snapshot(*form), first);
}

TEST_F(StartTest, LabelFlagsDecideVisibility) {
    makeWindow();
    state.settings.ShowLengths = 0;
    state.settings.ShowAngles = 1;
    form->VICHISLIT();
    for (int i = 1; i <= 20; ++i) {
        EXPECT_FALSE(form->plot().layout().corner(i).length.visible);
        EXPECT_TRUE(form->plot().layout().corner(i).angle.visible);
    }
    // Any other value switches nothing: the labels stay as the layout left them.
    state.settings.ShowLengths = 2;
    state.settings.ShowAngles = 7;
    form->VICHISLIT();
    EXPECT_TRUE(form->plot().layout().corner(1).length.visible);
    EXPECT_FALSE(form->plot().layout().corner(1).angle.visible);
}

TEST_F(StartTest, HighlightFollowsTheCurrentCorner) {
    makeWindow();
    makeCurrent(3);
    form->PODKRAS();
    for (int i = 1; i <= 20; ++i) {
        const bool current = i == 3;
        EXPECT_EQ(form->table().x(i)->BackColor(),
                  current ? 0xFFFFu : platform::kSysWindowBackground);
        EXPECT_EQ(form->table().y(i)->BackColor(),
                  current ? 0xFFFFu : platform::kSysWindowBackground);
        EXPECT_EQ(form->plot().layout().corner(i).marker.colour,
                  current ? 0xC0C000u : platform::kSysWindowText);
        EXPECT_EQ(form->plot().layout().corner(i).marker.box.width(), current ? 100 : 75);
        EXPECT_EQ(form->plot().layout().corner(i).angle.colour, current ? 255u : 0xC000C0u);
    }
    makeCurrent(0);
    form->PODKRAS();
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(form->table().x(i)->BackColor(), platform::kSysWindowBackground);
        EXPECT_EQ(form->plot().layout().corner(i).marker.box.width(), 75);
    }
}

TEST_F(StartTest, ClickOnTheEmptyWindowDropsTheHighlightAndTheOwnerEditor) {
    makeWindow();
    makeCurrent(4);
    form->PODKRAS();
    clickLabel(*form->controls().Label2);
    ASSERT_TRUE(form->controls().txt3->Visible());
    clickBareWindow();
    QApplication::processEvents();
    EXPECT_EQ(form->view().currentCorner, 0);
    EXPECT_EQ(form->table().x(4)->BackColor(), platform::kSysWindowBackground);
    EXPECT_FALSE(form->controls().txt3->Visible());
    EXPECT_TRUE(form->controls().Text3->hasFocus());
}

TEST_F(StartTest, BadTextsNeverBreakTheRecompute) {
    makeWindow();
    // Letters count as 0: corner 3 is drawn at the origin.
    type(*form->table().x(3), QStringLiteral("abc"));
    type(*form->table().y(3), QString());
    EXPECT_DOUBLE_EQ(form->plot().layout().corner(3).edge.x1, kCrossX);
    EXPECT_DOUBLE_EQ(form->plot().layout().corner(3).edge.y1, kCrossY);
    EXPECT_TRUE(fakes.messages.shown.empty());

    // A scale that is not a positive number keeps the drawing; the measures go on.
    const double x1 = form->plot().layout().corner(1).edge.x1;
    for (const char *scale : {"0", "", "-5", "abc"}) {
        type(*form->controls().txtMsb, QString::fromUtf8(scale));
        EXPECT_DOUBLE_EQ(form->plot().layout().corner(1).edge.x1, x1) << scale;
        EXPECT_FALSE(form->controls().Text3->Text().isEmpty()) << scale;
        EXPECT_EQ(form->plot().layout().corner(1).length.text, QStringLiteral("25")) << scale;
    }

    // A count outside 3..10 000 or not whole is not applied.
    for (const char *count : {"10001", "2", "abc", "5,5", ""}) {
        type(*form->controls().Text1, QString::fromUtf8(count));
        form->Text1_LostFocus();
        EXPECT_EQ(form->cornerCount(), 20) << count;
    }

    // Coordinates far beyond any screen are laid out as places that cannot
    // be drawn, and the paint leaves them out; the other corners stay. (The
    // view follows the polygon from its smallest coordinates at the largest
    // scale, which keeps the near corners on the screen.)
    type(*form->controls().Text1, QStringLiteral("20"));
    type(*form->table().x(5), QStringLiteral("1E12"));
    type(*form->table().y(6), QStringLiteral("1E12"));
    const DrawingLayout &layout = form->plot().layout();
    for (int i = 1; i <= 20; ++i) {
        const DrawingLayout::Corner &c = layout.corner(i);
        EXPECT_EQ(drawable(c.x, c.y), i != 5 && i != 6) << i;
        EXPECT_EQ(drawable(c.angle.box.left(), c.angle.box.top()), i != 5 && i != 6) << i;
    }
    EXPECT_FALSE(form->surface()->grab().isNull());
}

TEST_F(StartTest, ZeroLengthSideGivesAnEmptyAngleCaption) {
    makeWindow();
    type(*form->controls().Text1, QStringLiteral("4"));
    const char *xs[] = {"0", "10", "10", "0"};
    const char *ys[] = {"0", "0", "0", "10"};
    for (int i = 1; i <= 4; ++i) {
        type(*form->table().x(i), QString::fromUtf8(xs[i - 1]));
        type(*form->table().y(i), QString::fromUtf8(ys[i - 1]));
    }
    EXPECT_EQ(form->plot().layout().corner(2).angle.text, QString());
    EXPECT_EQ(form->plot().layout().corner(3).angle.text, QString());
    EXPECT_EQ(form->plot().layout().corner(1).angle.text, QStringLiteral("90 град"));
    EXPECT_EQ(form->controls().Text3->Text(), QStringLiteral("   50,00"));
}

// An auto-sized caption takes exactly the size QLabel would give it, on the
// quick path (unframed one-line plain text) as on QLabel's own.
TEST_F(StartTest, AutoSizedCaptionsTakeTheSizeOfTheirText) {
    makeWindow();
    platform::Label label(form->surface(), true);
    const QStringList captions = {"1", "20,62", "  10 700,00", "104 град",   "-5,00 ", "Площадь: ",
                                  "W", "",      "a\tb",        "две\nстроки"};
    const auto expectHint = [&](const char *what) {
        const QSize hint = label.label()->sizeHint();
        EXPECT_EQ(label.Width(), hint.width() * platform::kTwipsPerPixel)
            << what << " \"" << label.Caption().toStdString() << "\"";
        EXPECT_EQ(label.Height(), hint.height() * platform::kTwipsPerPixel)
            << what << " \"" << label.Caption().toStdString() << "\"";
    };
    for (const QString &caption : captions) {
        label.setCaption(caption);
        expectHint("plain");
    }
    label.setFontSize(11);
    label.setFontBold(true);
    for (const QString &caption : captions) {
        label.setCaption(caption);
        expectHint("11 pt bold");
    }
    label.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label.setCaption(QStringLiteral("1 234,5"));
    expectHint("right-aligned");
    label.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label.setCaption(QStringLiteral("центр"));
    expectHint("centred");
    // QLabel's own path: a frame.
    label.setBorder(true);
    label.setCaption(QStringLiteral("в рамке"));
    expectHint("framed");
}

TEST_F(StartTest, ControlsKeepTheirColoursWhileTheWindowIsDisabled) {
    makeWindow();
    // A disabled window (a settings window is open) still shows every
    // control in its colours, the coloured ones and the plain ones.
    form->setEnabled(false);
    const auto shown = [](const platform::Control &c, QPalette::ColorRole role) {
        return c.widget()->palette().color(QPalette::Disabled, role);
    };
    const QColor black = platform::toQColor(platform::kSysButtonText);
    EXPECT_EQ(shown(*form->controls().Label4, QPalette::WindowText), black);
    EXPECT_EQ(shown(*form->table().xCaption(1), QPalette::WindowText), black);
    EXPECT_EQ(shown(*form->controls().Command2, QPalette::ButtonText), black);
    EXPECT_EQ(shown(*form->table().x(1), QPalette::Text),
              form->table().x(1)->widget()->palette().color(QPalette::Active, QPalette::Text));
    EXPECT_EQ(shown(*form->controls().CmdNorm, QPalette::Button), platform::toQColor(0xC000));

    // A colour set, and set back to the system's, holds in every state: a
    // field that is not a number turns red, and plain again once mended.
    const platform::TextBox &x2 = *form->table().x(2);
    const QColor red = platform::toQColor(0x0000FF);
    const auto typeWhileEnabled = [&](const QString &text) {
        form->setEnabled(true);
        type(x2, text);
        form->setEnabled(false);
    };
    typeWhileEnabled(QStringLiteral("abc"));
    EXPECT_EQ(shown(x2, QPalette::Text), red);
    typeWhileEnabled(QStringLiteral("5"));
    EXPECT_EQ(shown(x2, QPalette::Text), platform::toQColor(platform::kSysWindowText));
    typeWhileEnabled(QStringLiteral("abc"));
    EXPECT_EQ(x2.widget()->palette().color(QPalette::Active, QPalette::Text), red);
}

} // namespace
} // namespace tarvel::testing
