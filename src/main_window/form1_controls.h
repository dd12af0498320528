// The controls and menu items of the main window, by the names the window
// has always given them, each with what it is. Form1 builds them once and
// wires them, and only Form1 changes them. Whoever drives the window (a
// test, like a user) gets them const through Form1::controls(): a const
// control is read (Text(), Caption(), Visible()...), and it is used as a
// user uses it, through its Qt widget: typed into with edit()->setText() or
// keys, pressed with button()->click(), chosen in through combo(), clicked
// with the mouse. Setting its text, colour or handlers directly would skip
// the events a user's action raises, so a const control offers none of it.
//
// Places are in twips (15 per pixel) on the window's drawing surface, as the
// layout was designed.
#pragma once

#include "main_window/coordinate_table.h"
#include "platform/controls/controls.h"

#include <array>
#include <experimental/propagate_const>
#include <memory>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace tarvel::main_window {

struct Form1Controls {
    // An owned control whose constness is its owner's: a const
    // Form1Controls hands out const controls, not only const pointers.
    template <class T> using Owned = std::experimental::propagate_const<std::unique_ptr<T>>;
    template <class T, std::size_t N> using Array = std::array<Owned<T>, N>;
    using TextBox = platform::TextBox;
    using Label = platform::Label;
    using Button = platform::Button;
    using CheckBox = platform::CheckBox;
    using ComboBox = platform::ComboBox;

    // ---- the owner line above the drawing
    Owned<Label> Label2; // the owner text; a double click edits it
    Owned<TextBox> txt3; // the owner editor, shown over Label2 while editing;
                         // made on the first edit (ownerEditor())

    // ---- the corner count and the unit
    Array<Label, 6> Label1;           // (0) "Количество углов", (1) the area unit,
                                      // (2) "Шаг, <unit>", (4) the scale unit,
                                      // (5) "Единица измерения"; (3) unused
    Owned<TextBox> Text1;             // the corner count
    Owned<Button> Command3;           // "-": one corner less
    Owned<Button> Command2;           // "+": one corner more
    Owned<ComboBox> CmbEd;            // the unit, "М" or "КМ"

    // ---- the coordinate table and the moves of the current corner
    Owned<Label> Label4;          // "Координаты углов многоугольника"
    // In its place while the plot has several contours: "Контур: 1 из 3",
    // the arrows to the one before and after, and "Дырка"; made when the
    // plot first has more than one (contourRow()), null before.
    Owned<Label> lblContour;
    Owned<Button> CmdContourPrev;
    Owned<Button> CmdContourNext;
    Owned<CheckBox> ChkHole;
    Owned<Button> CmdNorm;        // "N": move to the origin
    Owned<Button> CmdXDw, CmdXUp; // the current corner's X one step down / up
    Owned<Button> CmdYDw, CmdYUp; // the current corner's Y one step down / up
    Owned<Button> CmdClear;       // "Х": clear the coordinates
    Owned<CoordinateTable> coordinates; // TextX, TextY and their row captions

    // ---- the step and the moves of every corner
    Owned<TextBox> txtStep;             // the step
    Owned<Button> CmdStepUp, CmdStepDw; // the step to the next / previous value
    Owned<Button> CmdUp, CmdDown;       // every corner up / down (Y)
    Owned<Button> CmLleft, CmdRight;    // every corner left / right (X)

    // ---- the distance between two corners
    Array<Label, 2> Label6; // (0) "Измерить расстояние между углом", (1) "Масштаб:  В 1 см "
    Owned<ComboBox> Cmb1;   // the first corner
    Array<Label, 2> Label3;           // (0) "Площадь", (1) "И" between the corner lists
    Owned<ComboBox> Cmb2;             // the second corner
    Owned<Button> Command1;           // "Сброс": hide the measuring line

    // ---- the scale and the area
    Owned<ComboBox> Cmb3;    // the list of common scales
    Owned<TextBox> txtMsb;   // the scale: metres per centimetre, over Cmb3's field
    Owned<TextBox> Text3;    // the area (read-only)
    Owned<Label> lblWarning; // below the area, in red: what makes the area doubtful;
                             // made on the first warning (warningLabel())

    // ---- the menus
    QMenu *Menu_File = nullptr;            // "Файл"
    QAction *Menu_File_Open = nullptr;     // "Открыть" (Ctrl+O)
    QAction *Menu_File_OpenExtract = nullptr; // "Открыть выписку ЕГРН (XML)..."
    QAction *Menu_File_Save = nullptr;     // Ctrl+S: the current file; the window's, not the menu's
    QAction *Menu_File_Save_As = nullptr;  // "Сохранить как..." (Ctrl+Shift+S)
    QMenu *Menu_File_ExportTo = nullptr;   // "Экспорт": the workbook, drawings, maps, catalogues
    QAction *Menu_File_Export = nullptr;   // "Экспорт координат в Excel"
    QAction *Menu_File_Export_Dxf = nullptr;       // "DXF..."
    QAction *Menu_File_Export_Mif = nullptr;       // "MapInfo (MIF/MID)..."
    QAction *Menu_File_Export_Shp = nullptr;       // "Shapefile..."
    QAction *Menu_File_Export_Kml = nullptr;       // "KML..."
    QAction *Menu_File_Export_GeoJson = nullptr;   // "GeoJSON..."
    QAction *Menu_File_Export_Catalogue = nullptr; // "Каталог координат (TXT, CSV)..."
    QAction *Menu_File_Import = nullptr;   // "Импорт координат из Excel"
    QAction *Menu_File_Print = nullptr;    // "Печать" (Ctrl+P)
    QAction *Menu_File_Plan = nullptr;     // "Чертёж участка": the plan to scale, printed or as PDF
    QMenu *Menu_File_Recent = nullptr;     // "Недавние файлы": the last five files
    QAction *Menu_Exit = nullptr;          // "Выход"
    QMenu *Menu_Tools = nullptr;           // "Инструменты"
    QAction *Menu_Tools_Kalk = nullptr;    // "Калькулятор"
    QAction *Menu_Tools_Map = nullptr;     // "Загрузить фоновый рисунок"
    QAction *Menu_Tools_Map_Yes = nullptr; // "Отобразить фоновый рисунок"
    QAction *Menu_Tools_Map_No = nullptr;  // "Скрыть фоновый рисунок"
    QAction *Menu_Tools_Norm = nullptr; // "Передвинуть в начало координат"
    QAction *Menu_Tools_Zerkalo = nullptr; // "Зеркально перевернуть"
    QAction *Menu_Tools_90R = nullptr; // "Повернуть на 90 гр. по часовой стрелке"
    QAction *Menu_Tools_90L = nullptr; // "Повернуть на 90 гр. против часовой стрелки"
    QAction *Menu_Tools_GK = nullptr; // "Ввод географических координат (град мин сек)"
    QAction *Menu_Tools_GK1 = nullptr; // "Ввод географических координат (град)"
    QAction *Menu_Undo = nullptr;       // "Отменить" (Ctrl+Z)
    QAction *Menu_Redo = nullptr;       // "Повторить" (Ctrl+Shift+Z, Ctrl+Y)
    QAction *Menu_Tools_ShowAll = nullptr; // "Показать весь участок": the view takes the polygon in
    QAction *Menu_Tools_Sheet = nullptr;   // "Ведомость участка": the survey sheet window
    QMenu *Menu_Set = nullptr;          // "Настройки"
    QAction *Menu_Set_Path = nullptr;   // "Путь к папке с файлами"
    QAction *Menu_Set_Grid = nullptr;   // "Графика"
    QAction *Menu_Set_System = nullptr; // "Система координат..."
    QAction *Menu_Set_Hlp = nullptr;    // "Выводить подсказки"
    QMenu *Menu_Help = nullptr;         // "Помощь"
    QAction *Menu_Help_Help = nullptr;  // "Краткая справка"
    QAction *Menu_About = nullptr;      // "О программе"
    QMenu *Menu_Ugol = nullptr;         // the corner pop-up of the row captions
    QAction *Menu_lnsertUgol = nullptr; // "Вставить угол"
    QAction *Menu_DelUgol = nullptr;    // "Удалить угол"

    // Builds the controls on `surface` at their design places, in the order
    // they lie and take the focus.
    void buildControls(QWidget *surface);
    // The owner editor on `surface`, made when first needed, hidden.
    TextBox &ownerEditor(QWidget *surface);
    // The warning label on `surface`, made when first needed.
    Label &warningLabel(QWidget *surface);
    // The row of the contours on `surface`, made when first needed, shown.
    // True when it was made now: its handlers are to be set.
    bool contourRow(QWidget *surface);
    // Builds the menu bar of `window` and the corner pop-up; the items are
    // not connected yet.
    void buildMenus(QMainWindow &window);
};

} // namespace tarvel::main_window
