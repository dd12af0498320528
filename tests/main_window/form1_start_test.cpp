// Start-up, layout and the recompute-and-redraw cycle of the main window.
#include "support/window_fixture.h"

#include "main_window/drawing_surface.h"
#include "platform/controls/colours.h"

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
    EXPECT_EQ(form->Text3->Text(), QStringLiteral("  10 700,00"));
    EXPECT_EQ(form->cornerCount(), 20);

    const QStringList sides = {"25",   "20",    "85", "90", "20,62", "20,62", "8",
                               "20,4", "21,54", "50", "20", "36",    "20",    "36",
                               "20",   "80",    "25", "20", "25",    "50"};
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(form->plot().lengthLabel(i)->Caption(), sides[i - 1]) << "side " << i;
        EXPECT_TRUE(form->plot().lengthLabel(i)->Visible());
        EXPECT_TRUE(form->plot().numberLabel(i)->Visible());
        EXPECT_FALSE(form->plot().angleLabel(i)->Visible()) << "angle labels are hidden by default";
        EXPECT_TRUE(form->plot().edge(i)->Visible());
    }
    const QStringList angles = {"104", "28,1", "104", "101,3", "33,1", "111,8"};
    for (int i = 1; i <= 20; ++i) {
        const QString expected = (i >= 5 && i <= 10) ? angles[i - 5] : QStringLiteral("90");
        EXPECT_EQ(form->plot().angleLabel(i)->Caption(), expected + QStringLiteral(" град"))
            << "corner " << i;
    }

    // Dl(1) sits at the middle of the edge from corner 1 to corner 2.
    const auto &edge = *form->plot().edge(1);
    EXPECT_NEAR(form->plot().lengthLabel(1)->Left(), (edge.X1() + edge.X2()) / 2, 0.01);
    EXPECT_NEAR(form->plot().lengthLabel(1)->Top(), (edge.Y1() + edge.Y2()) / 2, 0.01);
    // Corner 1 (26; 30) at scale 10: 56.692 twips per metre from the origin.
    EXPECT_NEAR(edge.X1(), 3540 + 26 * 56.692, 0.01);
    EXPECT_NEAR(edge.Y1(), 10080 - 30 * 56.692, 0.01);
    EXPECT_NEAR(form->plot().marker(1)->Left(), edge.X1() - 35, 0.01);
    EXPECT_NEAR(form->plot().numberLabel(1)->Top(), edge.Y1() + 50, 0.01);
    // The last edge closes the ring.
    EXPECT_DOUBLE_EQ(form->plot().edge(20)->X2(), form->plot().edge(1)->X1());
    EXPECT_DOUBLE_EQ(form->plot().edge(20)->Y2(), form->plot().edge(1)->Y1());
}

TEST_F(StartTest, StartsFromTheDefaultsOfACleanStore) {
    makeWindow();
    EXPECT_EQ(form->txtMsb->Text(), QStringLiteral("10"));
    EXPECT_EQ(form->txtStep->Text(), QStringLiteral("1"));
    EXPECT_FLOAT_EQ(state.MapScale, 10);
    EXPECT_EQ(form->CmbEd->Text(), QStringLiteral("М"));
    EXPECT_EQ(form->Label1[1]->Caption(), QStringLiteral("Кв. М"));
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(form->plot().xScaleLabel(k)->Caption(), QString::number((k + 1) * 50));
    for (int i = 1; i <= 20; ++i) {
        EXPECT_FALSE(form->plot().verticalGridLine(i)->Visible());
        EXPECT_EQ(form->plot().edge(i)->BorderColor(), 255u);
    }
    EXPECT_EQ(form->surface()->backColour, platform::kSysButtonFace);
    // Grid lines one centimetre apart, 20 across and 17 up.
    EXPECT_NEAR(form->plot().verticalGridLine(20)->X1() - form->plot().verticalGridLine(0)->X1(),
                20 * 566.92, 0.01);
    EXPECT_NEAR(form->plot().horizontalGridLine(0)->Y1() -
                    form->plot().horizontalGridLine(17)->Y1(),
                17 * 566.92, 0.01);
    ASSERT_EQ(form->Cmb1->ListCount(), 20);
    ASSERT_EQ(form->Cmb2->ListCount(), 20);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(form->Cmb1->List(i), QString::number(i + 1));
    EXPECT_TRUE(form->Cmb1->Text().isEmpty()) << "no corner chosen yet";
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
    EXPECT_TRUE(form->plot().verticalGridLine(7)->Visible());
    EXPECT_TRUE(form->plot().horizontalGridLine(17)->Visible());
    EXPECT_EQ(form->plot().horizontalGridLine(3)->BorderColor(), 16777215u);
    EXPECT_EQ(form->plot().edge(4)->BorderColor(), 65280u);
    EXPECT_TRUE(form->plot().angleLabel(2)->Visible());
    EXPECT_FALSE(form->plot().numberLabel(2)->Visible());
    EXPECT_EQ(form->surface()->backColour, platform::kSysButtonFace);
    EXPECT_EQ(form->txtStep->Text(), QStringLiteral("2,5"));
}

TEST_F(StartTest, MenusCarryTheirCaptionsAndSeparators) {
    makeWindow();
    QStringList menus;
    for (QAction *a : form->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, QStringList({"Файл", "Инструменты", "Настройки", "Помощь"}));
    auto captions = [](QMenu *m) {
        QStringList c;
        for (QAction *a : m->actions())
            c << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return c;
    };
    EXPECT_EQ(captions(form->Menu_File),
              QStringList({"Открыть", "Сохранить как...", "Экспорт координат в Excel",
                           "Импорт координат из Excel", "-", "Печать", "-", "Выход"}));
    EXPECT_EQ(
        captions(form->Menu_Tools),
        QStringList({"Калькулятор", "-", "Загрузить фоновый рисунок", "Отобразить фоновый рисунок",
                     "Скрыть фоновый рисунок", "-", "Передвинуть в начало координат",
                     "Зеркально перевернуть", "Повернуть на 90 гр. по часовой стрелке",
                     "Повернуть на 90 гр. против часовой стрелки", "-",
                     "Ввод географических координат (град мин сек)",
                     "Ввод географических координат (град)", "-", "Отменить", "Повторить"}));
    // Nothing to undo or redo in a window just opened.
    EXPECT_FALSE(form->Menu_Undo->isEnabled());
    EXPECT_FALSE(form->Menu_Redo->isEnabled());
    auto keys = [](QAction *a) {
        QStringList k;
        for (const QKeySequence &s : a->shortcuts())
            k << s.toString(QKeySequence::PortableText);
        return k;
    };
    EXPECT_EQ(keys(form->Menu_Undo), QStringList({"Ctrl+Z"}));
    EXPECT_EQ(keys(form->Menu_Redo), QStringList({"Ctrl+Shift+Z", "Ctrl+Y"}));
    EXPECT_EQ(keys(form->Menu_File_Open), QStringList({"Ctrl+O"}));
    EXPECT_EQ(keys(form->Menu_File_Save_As), QStringList({"Ctrl+S"}));
    EXPECT_EQ(keys(form->Menu_File_Print), QStringList({"Ctrl+P"}));
    EXPECT_EQ(captions(form->Menu_Set),
              QStringList({"Путь к папке с файлами", "Графика", "Выводить подсказки"}));
    EXPECT_EQ(captions(form->Menu_Help), QStringList({"Краткая справка", "О программе"}));
    EXPECT_EQ(captions(form->Menu_Ugol), QStringList({"Вставить угол", "Удалить угол"}));
}

TEST_F(StartTest, SmallScreenIsToldOnceAndStartUpGoesOn) {
    struct Case {
        QSize screen;
        bool told;
    };
    for (const Case &c :
         {Case{{800, 600}, true}, Case{{1024, 768}, false}, Case{{1280, 700}, true}}) {
        platform::FakeServices f;
        f.screen.size = c.screen;
        auto s = bundleFor(f);
        SharedState st;
        Form1 w(st, *s);
        w.Form_Load();
        ASSERT_EQ(f.messages.shown.size(), c.told ? 1u : 0u) << c.screen.width();
        EXPECT_EQ(w.Text3->Text(), QStringLiteral("  10 700,00"));
        if (!c.told) continue;
        const auto &box = f.messages.shown[0];
        EXPECT_EQ(box.title, QStringLiteral("Сообщение программы"));
        EXPECT_EQ(box.icon, MsgIcon::Information);
        EXPECT_EQ(box.text, QStringLiteral("У Вас разрешение экрана %1 Х %2, а программа "
                                           "расчитана на разрешение не менее 1024 Х 768 возможно "
                                           "неправильное отображение!")
                                .arg(c.screen.width())
                                .arg(c.screen.height()));
    }
}

TEST_F(StartTest, UnitChangesOnlyTheThreeCaptions) {
    makeWindow();
    const QString area = form->Text3->Text();
    const double x1 = form->plot().edge(1)->X1();
    form->CmbEd->setListIndex(1);
    EXPECT_EQ(form->Label1[4]->Caption(), QStringLiteral("КМ"));
    EXPECT_EQ(form->Label1[2]->Caption(), QStringLiteral("Шаг, КМ"));
    EXPECT_EQ(form->Label1[1]->Caption(), QStringLiteral("Кв. КМ"));
    EXPECT_EQ(form->Text3->Text(), area);
    EXPECT_EQ(form->plot().edge(1)->X1(), x1);
}

TEST_F(StartTest, AUnitChosenIsUndoneAndRedoneLikeAnyChange) {
    makeWindow();
    const int recomputes = form->document().recomputeCount(), draws = form->drawCount();
    form->CmbEd->setListIndex(1);
    EXPECT_EQ(form->document().unit(), geometry::Unit::Kilometres);
    // One change: the list showing the document's unit raises no second.
    EXPECT_EQ(form->document().recomputeCount(), recomputes + 1);
    EXPECT_EQ(form->drawCount(), draws + 1);
    EXPECT_EQ(form->document().undoStack().count(), 1);
    form->Menu_Undo->trigger();
    EXPECT_EQ(form->CmbEd->Text(), QStringLiteral("М"));
    EXPECT_EQ(form->Label1[4]->Caption(), QStringLiteral("М"));
    EXPECT_EQ(form->Label1[1]->Caption(), QStringLiteral("Кв. М"));
    form->Menu_Redo->trigger();
    EXPECT_EQ(form->CmbEd->Text(), QStringLiteral("КМ"));
    EXPECT_EQ(form->Label1[2]->Caption(), QStringLiteral("Шаг, КМ"));
}

// Everything VICHISLIT writes, for comparing two states of the window.
QStringList snapshot(const Form1 &f) {
    QStringList s;
    for (int i = 1; i <= 20; ++i) {
        for (const platform::Label *l : {f.plot().angleLabel(i), f.plot().numberLabel(i),
                                         f.plot().lengthLabel(i), f.plot().marker(i)})
            s << QStringLiteral("%1 %2 %3 %4")
                     .arg(l->Caption())
                     .arg(l->Left())
                     .arg(l->Top())
                     .arg(l->Visible());
        const auto &e = *f.plot().edge(i);
        s << QStringLiteral("%1 %2 %3 %4 %5")
                 .arg(e.X1())
                 .arg(e.Y1())
                 .arg(e.X2())
                 .arg(e.Y2())
                 .arg(e.Visible());
    }
    s << f.Text3->Text();
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
        EXPECT_FALSE(form->plot().lengthLabel(i)->Visible());
        EXPECT_TRUE(form->plot().angleLabel(i)->Visible());
    }
    // Any other value switches nothing: the labels stay as the layout left them.
    state.settings.ShowLengths = 2;
    state.settings.ShowAngles = 7;
    form->VICHISLIT();
    EXPECT_TRUE(form->plot().lengthLabel(1)->Visible());
    EXPECT_FALSE(form->plot().angleLabel(1)->Visible());
}

TEST_F(StartTest, HighlightFollowsTheCurrentCorner) {
    makeWindow();
    form->CurrentCorner = 3;
    form->PODKRAS();
    for (int i = 1; i <= 20; ++i) {
        const bool current = i == 3;
        EXPECT_EQ(form->table().x(i)->BackColor(),
                  current ? 0xFFFFu : platform::kSysWindowBackground);
        EXPECT_EQ(form->table().y(i)->BackColor(),
                  current ? 0xFFFFu : platform::kSysWindowBackground);
        EXPECT_EQ(form->plot().marker(i)->BackColor(),
                  current ? 0xC0C000u : platform::kSysWindowText);
        EXPECT_EQ(form->plot().marker(i)->Width(), current ? 100 : 75);
        EXPECT_EQ(form->plot().angleLabel(i)->ForeColor(), current ? 255u : 0xC000C0u);
    }
    form->CurrentCorner = 0;
    form->PODKRAS();
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(form->table().x(i)->BackColor(), platform::kSysWindowBackground);
        EXPECT_EQ(form->plot().marker(i)->Width(), 75);
    }
}

TEST_F(StartTest, ClickOnTheEmptyWindowDropsTheHighlightAndTheOwnerEditor) {
    makeWindow();
    form->CurrentCorner = 4;
    form->PODKRAS();
    form->Label2->Click();
    ASSERT_TRUE(form->txt3->Visible());
    form->Form_Click();
    QApplication::processEvents();
    EXPECT_EQ(form->CurrentCorner, 0);
    EXPECT_EQ(form->table().x(4)->BackColor(), platform::kSysWindowBackground);
    EXPECT_FALSE(form->txt3->Visible());
    EXPECT_TRUE(form->Text3->hasFocus());
}

TEST_F(StartTest, BadTextsNeverBreakTheRecompute) {
    makeWindow();
    // Letters count as 0: corner 3 is drawn at the origin.
    form->table().x(3)->setText(QStringLiteral("abc"));
    form->table().y(3)->setText(QString());
    EXPECT_DOUBLE_EQ(form->plot().edge(3)->X1(), 3540);
    EXPECT_DOUBLE_EQ(form->plot().edge(3)->Y1(), 10080);
    EXPECT_TRUE(fakes.messages.shown.empty());

    // A scale that is not a positive number keeps the drawing; the measures go on.
    const double x1 = form->plot().edge(1)->X1();
    for (const char *scale : {"0", "", "-5", "abc"}) {
        form->txtMsb->setText(QString::fromUtf8(scale));
        EXPECT_DOUBLE_EQ(form->plot().edge(1)->X1(), x1) << scale;
        EXPECT_FALSE(form->Text3->Text().isEmpty()) << scale;
        EXPECT_EQ(form->plot().lengthLabel(1)->Caption(), QStringLiteral("25")) << scale;
    }

    // A count outside 3..20 or not whole is not applied.
    for (const char *count : {"25", "2", "abc", "5,5", ""}) {
        form->Text1->setText(QString::fromUtf8(count));
        form->Text1_LostFocus();
        EXPECT_EQ(form->cornerCount(), 20) << count;
    }

    // Coordinates far beyond any screen never put a widget at a non-finite place.
    form->Text1->setText(QStringLiteral("20"));
    form->table().x(5)->setText(QStringLiteral("1E300"));
    form->table().y(6)->setText(QStringLiteral("-1E300"));
    for (int i = 1; i <= 20; ++i) {
        for (const platform::Label *l : {form->plot().angleLabel(i), form->plot().numberLabel(i),
                                         form->plot().lengthLabel(i)}) {
            EXPECT_TRUE(std::isfinite(l->Left()) && std::isfinite(l->Top())) << i;
            EXPECT_LT(std::abs(l->widget()->x()), 200000);
        }
    }
}

TEST_F(StartTest, ZeroLengthSideGivesAnEmptyAngleCaption) {
    makeWindow();
    form->Text1->setText(QStringLiteral("4"));
    const char *xs[] = {"0", "10", "10", "0"};
    const char *ys[] = {"0", "0", "0", "10"};
    for (int i = 1; i <= 4; ++i) {
        form->table().x(i)->setText(QString::fromUtf8(xs[i - 1]));
        form->table().y(i)->setText(QString::fromUtf8(ys[i - 1]));
    }
    EXPECT_EQ(form->plot().angleLabel(2)->Caption(), QString());
    EXPECT_EQ(form->plot().angleLabel(3)->Caption(), QString());
    EXPECT_EQ(form->plot().angleLabel(1)->Caption(), QStringLiteral("90 град"));
    EXPECT_EQ(form->Text3->Text(), QStringLiteral("   50,00"));
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
    EXPECT_EQ(shown(*form->Label4, QPalette::WindowText), black);
    EXPECT_EQ(shown(*form->table().xCaption(1), QPalette::WindowText), black);
    EXPECT_EQ(shown(*form->Command2, QPalette::ButtonText), black);
    EXPECT_EQ(shown(*form->table().x(1), QPalette::Text),
              form->table().x(1)->widget()->palette().color(QPalette::Active, QPalette::Text));
    EXPECT_EQ(shown(*form->plot().numberLabel(1), QPalette::WindowText),
              platform::toQColor(0xFF0000));
    EXPECT_EQ(shown(*form->CmdNorm, QPalette::Button), platform::toQColor(0xC000));

    // A colour set back to the system's is the system's again.
    form->plot().numberLabel(1)->setForeColor(platform::kSysButtonText);
    EXPECT_EQ(shown(*form->plot().numberLabel(1), QPalette::WindowText), black);
    form->plot().numberLabel(1)->setForeColor(0xFF);
    EXPECT_EQ(form->plot().numberLabel(1)->widget()->palette().color(QPalette::Active,
                                                                     QPalette::WindowText),
              platform::toQColor(0xFF));
}

} // namespace
} // namespace tarvel::testing
