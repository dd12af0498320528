// Form1: the design-time layout (every control with its place, caption,
// colour and font), the menus, and the start-up sequence.
#include "main_window/form1.h"

#include "files/settings.h"
#include "geometry/numtext.h"
#include "main_window/drawing_surface.h"
#include "platform/controls/colours.h"
#include "platform/io/regular_file.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace tarvel::main_window {

using geometry::textToColour;

using platform::Button;
using platform::ComboBox;
using platform::Label;
using platform::TextBox;

namespace {

// An arrow for the four move buttons, drawn rather than shipped as a file.
QPixmap arrowPixmap(int degrees) {
    QPixmap pm(11, 11);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(5.5, 5.5);
    p.rotate(degrees);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    p.drawPolygon(QPolygonF({QPointF(0, -5), QPointF(5, 1), QPointF(2, 1), QPointF(2, 5),
                             QPointF(-2, 5), QPointF(-2, 1), QPointF(-5, 1)}));
    return pm;
}

} // namespace

void Form1::buildControls() {
    QWidget *s = surface_;
    auto label = [s](double left, double top, const QString &caption) {
        auto l = std::make_unique<Label>(s, true);
        l->move(left, top);
        l->setCaption(caption);
        return l;
    };
    auto text = [s](double left, double top, double width, double height, const QString &t) {
        auto e = std::make_unique<TextBox>(s);
        e->move(left, top, width, height);
        e->setText(t);
        return e;
    };
    auto button = [s](double left, double top, double width, double height, const QString &c) {
        auto b = std::make_unique<Button>(s);
        b->move(left, top, width, height);
        b->setCaption(c);
        return b;
    };

    // The drawing first, so that the table and the tools lie above it.
    plot_ = std::make_unique<PlotView>([this](const QRegion &r) {
        if (r.isEmpty())
            repaintSurface();
        else
            surface_->update(r);
    });

    // The owner information above the drawing, and its editor.
    Label2 = std::make_unique<Label>(s, false);
    Label2->move(3900, 0, 12180, 300);
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Label2->label()->setCursor(Qt::IBeamCursor);
    txt3 = text(12600, 540, 375, 375, QString());
    // The owner editor takes the face of the owner label each time it opens
    // (its design face, Arial, is never seen), so no face is loaded for it
    // at start.
    txt3->setBackColor(0xC0FFC0);
    txt3->setVisible(false);

    // The table and the tools on the left.
    Label1[0] = label(300, 60, QStringLiteral("Количество углов"));
    Text1 = text(1860, 60, 315, 255, QString());
    Command3 = button(2220, 60, 315, 255, QStringLiteral("-"));
    Command2 = button(2520, 60, 315, 255, QStringLiteral("+"));
    Label1[5] = label(120, 420, QStringLiteral("Единица измерения"));
    CmbEd = std::make_unique<ComboBox>(s, false);
    CmbEd->move(1860, 420, 975, 315);
    Label4 = label(300, 780, QStringLiteral("Координаты углов многоугольника"));
    CmdNorm = button(60, 1020, 315, 255, QStringLiteral("N"));
    CmdNorm->setBackColor(0xC000);
    CmdXDw = button(660, 1080, 315, 255, QStringLiteral("-"));
    CmdXUp = button(960, 1080, 315, 255, QStringLiteral("+"));
    CmdYDw = button(2100, 1080, 315, 255, QStringLiteral("-"));
    CmdYUp = button(2400, 1080, 315, 255, QStringLiteral("+"));
    CmdClear = button(3000, 1080, 315, 255, QStringLiteral("Х"));
    table_ = std::make_unique<CoordinateTable>(s);
    Label1[2] = label(0, 7740, QStringLiteral("Шаг, М"));
    txtStep = text(720, 7680, 615, 315, QStringLiteral("1"));
    CmdStepUp = button(1350, 7590, 315, 240, QStringLiteral("+"));
    CmdStepDw = button(1350, 7830, 315, 240, QStringLiteral("-"));
    // Enter on a focused step button repeats its click.
    CmdStepUp->button()->setAutoDefault(true);
    CmdStepDw->button()->setAutoDefault(true);
    // The four arrows sit in a cross beside the step.
    CmdUp = button(2580, 7470, 255, 240, QString());
    CmdUp->setIconPixmap(arrowPixmap(0));
    CmLleft = button(2325, 7710, 255, 240, QString());
    CmLleft->setIconPixmap(arrowPixmap(270));
    CmdRight = button(2835, 7710, 255, 240, QString());
    CmdRight->setIconPixmap(arrowPixmap(90));
    CmdDown = button(2580, 7950, 255, 240, QString());
    CmdDown->setIconPixmap(arrowPixmap(180));
    Label6[0] = label(360, 8220, QStringLiteral("Измерить расстояние между углом"));
    Cmb1 = std::make_unique<ComboBox>(s, false);
    Cmb1->move(600, 8520, 645, 315);
    Label3[1] = label(1320, 8580, QStringLiteral("И"));
    Cmb2 = std::make_unique<ComboBox>(s, false);
    Cmb2->move(1500, 8520, 645, 315);
    Command1 = button(2460, 8520, 615, 315, QStringLiteral("Сброс"));
    Label6[1] = label(660, 9090, QStringLiteral("Масштаб:  В 1 см "));
    Cmb3 = std::make_unique<ComboBox>(s, true);
    Cmb3->move(2040, 9000, 1050, 315);
    txtMsb = text(2040, 9000, 795, 315, QString());
    Label1[4] = label(3180, 9060, QStringLiteral("М"));
    Label3[0] = label(240, 9480, QStringLiteral("Площадь"));
    Text3 = text(1020, 9450, 1905, 315, QString());
    Label1[1] = label(3000, 9540, QStringLiteral("Кв М"));
}

void Form1::buildMenus() {
    auto item = [this](QMenu *menu, const QString &caption, void (Form1::*handler)()) {
        QAction *a = menu->addAction(caption);
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };
    QMenuBar *bar = menuBar();
    Menu_File = bar->addMenu(QStringLiteral("Файл"));
    Menu_File_Open = item(Menu_File, QStringLiteral("Открыть"), &Form1::Menu_File_Open_Click);
    Menu_File_Open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Menu_File_Save_As =
        item(Menu_File, QStringLiteral("Сохранить как..."), &Form1::Menu_File_Save_As_Click);
    // Ctrl+S saves to the current file without a dialog; the menu item
    // always asks for a name and keeps Ctrl+Shift+S.
    Menu_File_Save_As->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    Menu_File_Save = new QAction(QStringLiteral("Сохранить"), this);
    Menu_File_Save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addAction(Menu_File_Save);
    connect(Menu_File_Save, &QAction::triggered, &fileActions_, &FileActions::save);
    Menu_File_Export = item(Menu_File, QStringLiteral("Экспорт координат в Excel"),
                            &Form1::Menu_File_Export_Click);
    Menu_File_Import = item(Menu_File, QStringLiteral("Импорт координат из Excel"),
                            &Form1::Menu_File_Import_Click);
    Menu_File->addSeparator();
    Menu_File_Print = item(Menu_File, QStringLiteral("Печать"), &Form1::Menu_File_Print_Click);
    Menu_File_Print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    Menu_File_Recent = Menu_File->addMenu(QStringLiteral("Недавние файлы"));
    fileActions_.setRecentMenu(Menu_File_Recent);
    Menu_File->addSeparator();
    Menu_Exit = item(Menu_File, QStringLiteral("Выход"), &Form1::Menu_Exit_Click);

    Menu_Tools = bar->addMenu(QStringLiteral("Инструменты"));
    Menu_Tools_Kalk =
        item(Menu_Tools, QStringLiteral("Калькулятор"), &Form1::Menu_Tools_Kalk_Click);
    Menu_Tools->addSeparator();
    Menu_Tools_Map =
        item(Menu_Tools, QStringLiteral("Загрузить фоновый рисунок"), &Form1::Menu_Tools_Map_Click);
    Menu_Tools_Map_Yes = item(Menu_Tools, QStringLiteral("Отобразить фоновый рисунок"),
                              &Form1::Menu_Tools_Map_Yes_Click);
    Menu_Tools_Map_No =
        item(Menu_Tools, QStringLiteral("Скрыть фоновый рисунок"), &Form1::Menu_Tools_Map_No_Click);
    Menu_Tools->addSeparator();
    Menu_Tools_Norm = item(Menu_Tools, QStringLiteral("Передвинуть в начало координат"),
                           &Form1::Menu_Tools_Norm_Click);
    Menu_Tools_Zerkalo =
        item(Menu_Tools, QStringLiteral("Зеркально перевернуть"), &Form1::Menu_Tools_Zerkalo_Click);
    Menu_Tools_90R = item(Menu_Tools, QStringLiteral("Повернуть на 90 гр. по часовой стрелке"),
                          &Form1::Menu_Tools_90R_Click);
    Menu_Tools_90L = item(Menu_Tools, QStringLiteral("Повернуть на 90 гр. против часовой стрелки"),
                          &Form1::Menu_Tools_90L_Click);
    Menu_Tools->addSeparator();
    Menu_Tools_GK = item(Menu_Tools, QStringLiteral("Ввод географических координат (град мин сек)"),
                         &Form1::Menu_Tools_GK_Click);
    Menu_Tools_GK1 = item(Menu_Tools, QStringLiteral("Ввод географических координат (град)"),
                          &Form1::Menu_Tools_GK1_Click);
    Menu_Tools->addSeparator();
    Menu_Undo = item(Menu_Tools, QStringLiteral("Отменить"), &Form1::Menu_Undo_Click);
    Menu_Undo->setShortcut(QKeySequence::Undo);
    Menu_Undo->setEnabled(false);
    Menu_Redo = item(Menu_Tools, QStringLiteral("Повторить"), &Form1::Menu_Redo_Click);
    Menu_Redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    Menu_Redo->setEnabled(false);

    Menu_Set = bar->addMenu(QStringLiteral("Настройки"));
    Menu_Set_Path =
        item(Menu_Set, QStringLiteral("Путь к папке с файлами"), &Form1::Menu_Set_Path_Click);
    Menu_Set_Grid = item(Menu_Set, QStringLiteral("Графика"), &Form1::Menu_Set_Grid_Click);
    Menu_Set_Hlp = item(Menu_Set, QStringLiteral("Выводить подсказки"), &Form1::Menu_Set_Hlp_Click);

    Menu_Help = bar->addMenu(QStringLiteral("Помощь"));
    Menu_Help_Help =
        item(Menu_Help, QStringLiteral("Краткая справка"), &Form1::Menu_Help_Help_Click);
    Menu_About = item(Menu_Help, QStringLiteral("О программе"), &Form1::Menu_About_Click);

    Menu_Ugol = new QMenu(QStringLiteral("Угол"), this);
    Menu_lnsertUgol =
        item(Menu_Ugol, QStringLiteral("Вставить угол"), &Form1::Menu_lnsertUgol_Click);
    Menu_DelUgol = item(Menu_Ugol, QStringLiteral("Удалить угол"), &Form1::Menu_DelUgol_Click);
}

void Form1::SetComboHeight(ComboBox &combo, int height) {
    // The drop-down part shows as many items as fit into the given pixels.
    const int itemHeight = std::max(1, combo.combo()->fontMetrics().height() + 2);
    combo.setMaxVisibleItems(std::max(1, height / itemHeight));
}

void Form1::applyBackColour() {
    const auto colour = textToColour(state_.settings.BackColour);
    if (!colour) return;
    surface_->backColour = *colour;
    repaintSurface();
}

void Form1::Form_Load() {
    SharedState &st = state_;
    // The scale and a file opened at start would each redraw; the drawing is
    // placed once, at the end, when everything it depends on is set.
    loading_ = true;
    // 1. The drop-down height of the two corner lists.
    SetComboHeight(*Cmb1, 200);
    SetComboHeight(*Cmb2, 200);

    // 2. The layout needs a screen of at least 1024 x 768.
    const QSize screen = services_.screen.screenSize();
    const int w = screen.width();
    const int h = screen.height();
    if (w < 1024 || h < 768) {
        services_.messages.show(
            this,
            QStringLiteral("У Вас разрешение экрана ") + QString::number(w) +
                QStringLiteral(" Х ") + QString::number(h) +
                QStringLiteral(", а программа расчитана на разрешение не менее 1024 Х 768 "
                               "возможно неправильное отображение!"),
            platform::MsgButtons::OK, platform::MsgIcon::Information,
            QStringLiteral("Сообщение программы"));
    }

    // 3. The plane's origin lies on the crossing of the axes.
    view_.originX = 3540;
    view_.originY = 10080;
    view_.twipsPerMm = 56.692f;

    // 4. The common scales.
    for (const char *v : {"1", "2", "5", "10", "20", "25", "50", "100", "200", "400", "500", "1000",
                          "1500", "2000", "3000", "5000", "10000"})
        Cmb3->AddItem(QString::fromLatin1(v));

    // 5. The units; selecting one sets the three unit captions.
    CmbEd->AddItem(geometry::unitText(geometry::Unit::Metres));
    CmbEd->AddItem(geometry::unitText(geometry::Unit::Kilometres));
    showUnit();

    // 6. The file-type association, once per user.
    services_.association.RegisterFileType();

    // 7. The stored preferences.
    st.settings = files::loadSettings(services_.settings);
    view_.scale = st.settings.MapScale;

    // 8. From here a failing step is skipped: none of them may stop the start.
    // 9. Background colour.
    applyBackColour();

    // 10. The background picture with its lower edge on the X axis. A stored
    // name that has become a named pipe must not keep the window from
    // appearing: only a regular file is read.
    if (platform::isRegularFile(st.settings.MapPicture) &&
        plot_->picture()->LoadPicture(st.settings.MapPicture))
        plot_->picture()->setTop(view_.originY - plot_->picture()->Height());

    // 13-15. The grid, the ticks every 5 cm with their values and the
    // edges' colour are laid out with the drawing, beside the coordinate
    // column and below the clear button.
    plot_->setFrame(
        {3330, table_->y(1)->Left() + table_->y(1)->Width(), CmdClear->Top() + CmdClear->Height()});

    // 11. The scale; writing txtMsb applies it and asks for the drawing.
    Cmb3->setText(QStringLiteral("10"));
    txtMsb->setText(QStringLiteral("10"));

    // 12. The step.
    txtStep->setText(files::loadStep(services_.settings));
    view_.stepText = txtStep->Text();

    // 16. The rows in use and the corner lists.
    showRows(cornerCount());

    // 18. A polygon file named on the command line; opening one redraws.
    AS_FILE_OPEN();

    // 19. The first full recompute.
    loading_ = false;
    VICHISLIT();
}

} // namespace tarvel::main_window
