#include "main_window/form1_controls.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>

namespace tarvel::main_window {

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

void Form1Controls::buildControls(QWidget *s) {
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

    // The owner information above the drawing, and its editor.
    Label2 = std::make_unique<Label>(s, false);
    Label2->move(3900, 0, 12180, 300);
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Label2->label()->setCursor(Qt::IBeamCursor);

    // The table and the tools on the left.
    Label1[0] = label(300, 60, QStringLiteral("Количество углов"));
    Text1 = text(1860, 60, 315, 255, QString());
    Text1->setDigitsOnly(); // letters are refused as they are typed
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
    coordinates = std::make_unique<CoordinateTable>(s);
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

Form1Controls::TextBox &Form1Controls::ownerEditor(QWidget *surface) {
    // Made when the owner is first edited: most sessions never do, and the
    // window starts without it.
    if (!txt3) {
        txt3 = std::make_unique<TextBox>(surface);
        txt3->move(12600, 540, 375, 375);
        // It takes the face of the owner label each time it opens (its design
        // face, Arial, is never seen), so no face is loaded for it here.
        txt3->setBackColor(0xC0FFC0);
        txt3->setVisible(false);
    }
    return *txt3;
}

Form1Controls::Label &Form1Controls::warningLabel(QWidget *surface) {
    // Made on the first warning: most polygons never need it, and the
    // window starts without it.
    if (!lblWarning) {
        lblWarning = std::make_unique<Label>(surface, false);
        lblWarning->move(120, 9800, 3600, 480);
        lblWarning->setWordWrap(true);
        lblWarning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        lblWarning->setForeColor(0x0000FF);
        lblWarning->setVisible(true);
    }
    return *lblWarning;
}

bool Form1Controls::contourRow(QWidget *s) {
    // Most plots are one contour: the window starts without the row.
    if (lblContour) return false;
    lblContour = std::make_unique<Label>(s, true);
    lblContour->move(120, 780);
    const auto arrow = [s](double left, int degrees, const QString &tip) {
        auto b = std::make_unique<Button>(s);
        b->move(left, 750, 255, 240);
        b->setIconPixmap(arrowPixmap(degrees));
        b->widget()->setToolTip(tip);
        b->setVisible(true);
        return b;
    };
    CmdContourPrev = arrow(1500, 270, QStringLiteral("Предыдущий контур участка"));
    CmdContourNext = arrow(1755, 90, QStringLiteral("Следующий контур участка"));
    ChkHole = std::make_unique<CheckBox>(s);
    ChkHole->move(2160, 750, 1020, 255);
    ChkHole->setCaption(QStringLiteral("Дырка"));
    lblContour->setVisible(true);
    ChkHole->setVisible(true);
    return true;
}

void Form1Controls::buildMenus(QMainWindow &window) {
    QMenuBar *bar = window.menuBar();
    Menu_File = bar->addMenu(QStringLiteral("Файл"));
    Menu_File_Open = Menu_File->addAction(QStringLiteral("Открыть"));
    Menu_File_Open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Menu_File_OpenExtract = Menu_File->addAction(QStringLiteral("Открыть выписку &ЕГРН (XML)..."));
    // "Сохранить" saves to the current file without a dialog (asking for a
    // name only when there is none); "Сохранить как..." always asks.
    Menu_File_Save = Menu_File->addAction(QStringLiteral("Сохранить"));
    Menu_File_Save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Menu_File_Save_As = Menu_File->addAction(QStringLiteral("Сохранить как..."));
    Menu_File_Save_As->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    Menu_File_ExportTo = Menu_File->addMenu(QStringLiteral("Экспорт"));
    Menu_File_Export = Menu_File_ExportTo->addAction(QStringLiteral("Экспорт координат в Excel"));
    Menu_File_ExportTo->addSeparator();
    Menu_File_Export_Dxf = Menu_File_ExportTo->addAction(QStringLiteral("DXF..."));
    Menu_File_Export_Mif = Menu_File_ExportTo->addAction(QStringLiteral("MapInfo (MIF/MID)..."));
    Menu_File_Export_Shp = Menu_File_ExportTo->addAction(QStringLiteral("Shapefile..."));
    Menu_File_Export_Kml = Menu_File_ExportTo->addAction(QStringLiteral("KML..."));
    Menu_File_Export_GeoJson = Menu_File_ExportTo->addAction(QStringLiteral("GeoJSON..."));
    Menu_File_Export_Catalogue =
        Menu_File_ExportTo->addAction(QStringLiteral("Каталог координат (TXT, CSV)..."));
    Menu_File_Import = Menu_File->addAction(QStringLiteral("Импорт координат из Excel"));
    Menu_File->addSeparator();
    Menu_File_Print = Menu_File->addAction(QStringLiteral("Печать"));
    Menu_File_Print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    Menu_File_Plan = Menu_File->addAction(QStringLiteral("Чертёж участка"));
    Menu_File_Recent = Menu_File->addMenu(QStringLiteral("Недавние файлы"));
    Menu_File->addSeparator();
    Menu_Exit = Menu_File->addAction(QStringLiteral("Выход"));

    Menu_Tools = bar->addMenu(QStringLiteral("Инструменты"));
    Menu_Tools_Kalk = Menu_Tools->addAction(QStringLiteral("Калькулятор"));
    Menu_Tools->addSeparator();
    Menu_Tools_Map = Menu_Tools->addAction(QStringLiteral("Загрузить фоновый рисунок"));
    Menu_Tools_Map_Yes = Menu_Tools->addAction(QStringLiteral("Отобразить фоновый рисунок"));
    Menu_Tools_Map_No = Menu_Tools->addAction(QStringLiteral("Скрыть фоновый рисунок"));
    Menu_Tools->addSeparator();
    Menu_Tools_Norm = Menu_Tools->addAction(QStringLiteral("Передвинуть в начало координат"));
    Menu_Tools_Zerkalo = Menu_Tools->addAction(QStringLiteral("Зеркально перевернуть"));
    Menu_Tools_90R =
        Menu_Tools->addAction(QStringLiteral("Повернуть на 90 гр. по часовой стрелке"));
    Menu_Tools_90L =
        Menu_Tools->addAction(QStringLiteral("Повернуть на 90 гр. против часовой стрелки"));
    Menu_Tools->addSeparator();
    Menu_Tools_GK =
        Menu_Tools->addAction(QStringLiteral("Ввод географических координат (град мин сек)"));
    Menu_Tools_GK1 = Menu_Tools->addAction(QStringLiteral("Ввод географических координат (град)"));
    Menu_Tools->addSeparator();
    Menu_Undo = Menu_Tools->addAction(QStringLiteral("Отменить"));
    Menu_Undo->setShortcut(QKeySequence::Undo);
    Menu_Undo->setEnabled(false);
    Menu_Redo = Menu_Tools->addAction(QStringLiteral("Повторить"));
    Menu_Redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    Menu_Redo->setEnabled(false);
    Menu_Tools_ShowAll = Menu_Tools->addAction(QStringLiteral("Показать весь участок"));
    Menu_Tools->addSeparator();
    Menu_Tools_Sheet = Menu_Tools->addAction(QStringLiteral("Ведомость участка"));

    Menu_Set = bar->addMenu(QStringLiteral("Настройки"));
    Menu_Set_Path = Menu_Set->addAction(QStringLiteral("Путь к папке с файлами"));
    Menu_Set_Grid = Menu_Set->addAction(QStringLiteral("Графика"));
    Menu_Set_System = Menu_Set->addAction(QStringLiteral("Система координат..."));
    Menu_Set_Hlp = Menu_Set->addAction(QStringLiteral("Выводить подсказки"));

    Menu_Help = bar->addMenu(QStringLiteral("Помощь"));
    Menu_Help_Help = Menu_Help->addAction(QStringLiteral("Краткая справка"));
    Menu_About = Menu_Help->addAction(QStringLiteral("О программе"));

    Menu_Ugol = new QMenu(QStringLiteral("Угол"), &window);
    Menu_lnsertUgol = Menu_Ugol->addAction(QStringLiteral("Вставить угол"));
    Menu_DelUgol = Menu_Ugol->addAction(QStringLiteral("Удалить угол"));
}

} // namespace tarvel::main_window
