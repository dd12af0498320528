// Form1: the main window, the polygon editor.
//
// Architecture. The polygon is a document (geometry/polygon_document.h):
// the count text, the X and Y texts and the owner text, with the measures
// computed from them and an undo history. The window holds views over it
// and wires them in its constructor:
//   CoordinateTable  the X and Y fields with their row captions and the
//                    current row's highlight (coordinate_table.h)
//   ViewState        the scale, the step, the current corner and the
//                    drawing's mapping: the fields write it, everything
//                    else reads it (view_state.h)
//   PlotView         the drawing, laid out as a value from the document and
//                    the view state and painted by the window's surface;
//                    a click finds its corner in that layout (plot_view.h)
//   PrintPage        the printed page, laid out the same way (print_page.h)
//   FileActions      open, save and the save question (file_actions.h)
//   StepMoves        the step, the moves by it, the scale (step_moves.h)
//   DrawingMouse     the mouse on the drawing (drawing_mouse.h)
//   WindowMouse      the mouse on the row captions and the bare window
// Every command is one operation on the document; the document announces
// each change once, and documentChanged() then shows the texts, the rows in
// use and redraws once through VICHISLIT. A field's change handler hands
// what the user typed to the document and does nothing else. PODKRAS
// paints the highlight of the current corner. Handlers named after a
// control (TextX_Change, Menu_Tools_Zerkalo_Click) are thin glue; what they
// call is named by what it does. The handlers are private, and the window
// hands out no control or view field to change: whoever drives it (a test,
// like a user) types into its fields, presses its buttons, clicks its
// labels and its drawing and triggers its menu items, all through the Qt
// widgets, so that the same events reach the same handlers as a user's
// would; it reads the controls and the views through const references.
// Public are the read-only views, the document, the commands and the entry
// points of start-up, drawing, saving and closing.
//
// Controls are the thin wrappers of platform/controls/controls.h,
// positioned in twips.
//
// The class is split across files by concern:
//   form1.cpp            construction, event wiring, the document's changes,
//                        undo and redo, window-level events
//   form1_layout.cpp     the tools' layout, menus, Form_Load
//   form1_recompute.cpp  VICHISLIT, PODKRAS and the small window handlers
//   form1_fields.cpp     coordinate fields, row count, clearing, owner label
//   form1_files.cpp      the file commands (through FileActions), closing
//   form1_transform.cpp  move to origin, mirror, rotations, insert, delete
//   form1_measure.cpp    distance between two corners
//   form1_tools.cpp      spreadsheet exchange, picture, folder, hints, help,
//                        about, calculator, print, graphics settings
//   form1_geo.cpp        opening and unloading the geographic windows
// Services (message boxes, dialogs, settings, shell...) come in through
// platform::Services so that tests run the window against scripted fakes.
#pragma once

#include "main_window/drawing_names.h"

#include "geographic/geographic_origin.h"
#include "geometry/polygon_commands.h"
#include "geometry/polygon_document.h"
#include "main_window/coordinate_table.h"
#include "drawing/drawing_mouse.h"
#include "main_window/file_actions.h"
#include "main_window/form1_controls.h"
#include "drawing/plot_view.h"
#include "main_window/shared_state.h"
#include "main_window/step_moves.h"
#include "main_window/tool_actions.h"
#include "drawing/view_state.h"
#include "main_window/window_mouse.h"
#include "platform/controls/controls.h"
#include "platform/services/services.h"

#include <QMainWindow>

#include <QPoint>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;

namespace tarvel {

namespace geographic {
class GeoWindow;
enum class GeoKind;
struct PlaneCorners;
} // namespace geographic
namespace settings_windows {
class FrmNastrGrid;
class FrmSystem;
class FrmPodsk1;
class FrmAbout;
} // namespace settings_windows

namespace main_window {

class SurveySheetWindow;
class PlanWindow;
struct PrintPage;
class WindowFit;

class Form1 : public QMainWindow, private Form1Controls {
    Q_OBJECT
public:
    // The application's window caption at start.
    static const QString kCaption;
    // Told when the count typed is not a whole number of 3..10 000.
    static const QString kCountRange;

    Form1(SharedState &state, platform::Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    const SharedState &state() const { return state_; }
    // The scale, the step, the current corner and the drawing's mapping, to
    // read: the window's fields and commands write them.
    const ViewState &view() const { return view_; }
    const platform::Services &services() const { return services_; }
    // The drawing's widget, which takes the mouse as the user's hand does.
    DrawingSurface *surface() const { return surface_; }
    // The controls and menu items, const: read them, and use them through
    // their widgets (form1_controls.h).
    const Form1Controls &controls() const { return *this; }
    // The two views over the document, to read.
    const CoordinateTable &table() const { return *coordinates; }
    const PlotView &plot() const { return *plot_; }
    geometry::PolygonDocument &document() { return doc_; }
    const geometry::PolygonDocument &document() const { return doc_; }
    // The corner count in force (3..10 000).
    int cornerCount() const { return doc_.cornerCount(); }
    // How many times the drawing was placed anew (VICHISLIT); one per
    // change of the document.
    int drawCount() const { return draws_; }

    // ---- commands, each one change of the document ----
    // Moves the polygon so that its smallest X and Y become 0.
    void NORMALIZ();
    // Mirrors the polygon across the Y axis, then moves it to the origin.
    void mirror();
    // The quarter turns, clockwise or not, then the move to the origin.
    void turnQuarter(bool clockwise);
    // Inserts the midpoint of the current corner and the next one after
    // the current corner, or deletes the current corner, after asking.
    void insertCorner();
    void deleteCorner();
    // The count buttons: one corner more or less.
    void changeCount(int delta);
    // Shows the whole polygon at the finest scale that holds it
    // (view_fit.h). Given the `change` of the document that brings a
    // polygon (an open, a paste, an import), the view moves with it, in its
    // one redraw.
    void showWholePolygon(const std::function<void()> &change = {});
    // Moves the view to the polygon: always when `whole`, else only when a
    // change left an entered corner outside the drawing. True when it moved.
    bool followPolygon(bool whole);
    // Replaces the polygon by corners converted in a geographic window: the
    // fields, the row count and the unit (metres), then a recompute.
    void enterGeographicCorners(const geographic::PlaneCorners &corners);

    // ---- start-up and layout (form1_layout.cpp) ----
    void Form_Load();

    // ---- recompute and redraw (form1_recompute.cpp) ----
    void VICHISLIT();
    // VICHISLIT without the outline's warnings: the first frame shows sooner,
    // and the warnings follow it.
    void drawWithArea();
    void PODKRAS();
    void Text1_LostFocus();
    void Form_Click();

    // ---- coordinate fields (form1_fields.cpp) ----
    // Hides all rows and shows rows 1..n with the corner lists rebuilt.
    void showRows(int n);
    // The drawing's captions keep right of the table, its scroll bar too.
    void placeDrawingFrame();

    // ---- polygon file and closing (form1_files.cpp) ----
    // The file commands are FileActions'; these hand the menu and the
    // start-up over to it.
    bool SAVE_AS(); // true when the file was written
    void Form_Unload();

    // ---- other commands (form1_tools.cpp) ----
    // Paints the printed page: owner text, drawing to scale, coordinates,
    // side lengths and area; printPage() is that page as a value.
    void paintPrintPage(QPainter &painter, int dpi);
    PrintPage printPage() const;

    // ---- geographic windows (form1_geo.cpp) ----
    geographic::GeoWindow *frmGK() const { return frmGK_.get(); }
    geographic::GeoWindow *frmGK1() const { return frmGK1_.get(); }
    // The polygon's area on the WGS 84 ellipsoid in m², while its texts are
    // exactly those the last geographic entry wrote; nothing otherwise.
    std::optional<double> ellipsoidArea() const;

    // Where the pop-up menu opens; tests replace it to look at the menu
    // without blocking in its own event loop.
    using PopupMenu = std::function<void(QMenu &, const QPoint &globalPos)>;
    void setPopupMenu(PopupMenu popup) { popupMenu = std::move(popup); }
    // How "Выход" ends the program at once, without any window's unload
    // handling; tests replace it to observe the end.
    void setEndProgram(std::function<void()> end) { endProgram = std::move(end); }

    // The product's web page, opened when the window closes.
    static const QString kProductWebPage;
    // The help document: Help.pdf beside the program; tests point it elsewhere.
    void setHelpDocument(const QString &path) { tools_.setHelpDocument(path); }

protected:
    void closeEvent(QCloseEvent *event) override;
    // While a settings window has the main window disabled, activating the
    // main window (a click on it) brings that window forward instead.
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The handlers wired to the controls in wireEvents() and what only
    // they call.
    // ---- start-up and layout (form1_layout.cpp) ----
    void SetComboHeight(ComboBox &combo, int height);

    // ---- recompute and redraw (form1_recompute.cpp) ----
    // The outline's warnings below the area, and the field that is not a
    // number in red.
    void showWarnings();
    void CmbEd_Click();
    void Command1_Click();
    // The count typed into Text1 applies on Enter or on leaving the field.
    void Text1_Change();
    void Text1_KeyDown(int keyCode);
    // A count typed that is not one of 3..10 000 is told of and the count
    // in force shown again; true when it was.
    bool refuseCountOutOfRange();
    void Img_Click();

    // ---- coordinate fields (form1_fields.cpp) ----
    void TextX_Change(int i);
    void TextY_Change(int i);
    void TextX_GotFocus(int i);
    void TextY_GotFocus(int i);
    void TextX_KeyDown(int i, int keyCode, int shift);
    void TextY_KeyDown(int i, int keyCode, int shift);
    void TextX_LostFocus(int i);
    void TextY_LostFocus(int i);
    void txt3_KeyDown(int keyCode);
    void txt3_DblClick();
    // The owner editor's text goes to the document and the editor hides.
    void commitOwner();
    // What the user typed into a field goes to the document.
    void typeIntoField(geometry::Axis axis, int i);
    // Leaving a field writes its text through the field pattern.
    void reformatField(geometry::Axis axis, int i);

    // ---- the document (form1.cpp) ----
    // Writes the document's texts into the fields and the owner label, shows
    // its rows and redraws: once per change.
    void documentChanged();
    // Shows the document in the fields, the owner label, the unit and the
    // rows in use, without redrawing.
    void showDocument();
    // The unit list shows the document's unit, and the three unit captions
    // follow it.
    void showUnit();
    void Menu_Undo_Click();
    void Menu_Redo_Click();

    // ---- polygon file and closing (form1_files.cpp) ----
    void AS_FILE_OPEN();
    void Menu_File_Save_As_Click();
    // The save question of both ways out; true when leaving may go on.
    bool askToSave();

    // ---- transformations (form1_transform.cpp) ----
    // Tells the user why a command was refused (nothing for NoCorner).
    void tellRefusal(geometry::Refusal why);
    // Applies a command's result as one change named `name`, then tells
    // its refusal, if any.
    void applyResult(const geometry::CommandResult &r, const QString &name);
    // The text colour of corners 1..n and their angle labels back to plain:
    // the count buttons, insert and delete do it for the corners in force
    // before them, a geographic entry for the corners it brings.
    void clearHighlight(int n);

    // Lays the drawing out anew from the document and the view state (not
    // while the window loads).
    void redraw();

    // ---- distance (form1_measure.cpp) ----
    void IZMR();
    void Cmb1_Click();
    void Cmb2_Click();
    // A corner chosen in a distance list comes into the table's view.
    void showChosenCorner(const ComboBox &list);

    // ---- other commands (form1_tools.cpp) ----
    // A workbook's corners become the polygon, as one command.
    void applyImportedCorners(const files::ImportedCorners &corners);
    void applyImportedCatalogue(const geometry::PastedTable &table);

    // ---- geographic windows (form1_geo.cpp) ----
    // Shows the window, loading it first unless it is loaded already.
    void openGeoWindow(std::unique_ptr<geographic::GeoWindow> &window, geographic::GeoKind kind);
    void unloadGeographicWindows();
    // Applies BackColour to the window background (also when the graphics
    // settings change it).
    void applyBackColour();
    // Takes the nine graphics variables from `s` (the other variables are
    // left alone) and shows those that changed: grid lines, the angle,
    // number and length labels of corners 1..cornerCount(), colours of grid
    // and edges, background.
    void applyGraphicsSettings(const files::Settings &s);

    // ---- the commands of the menus and buttons ----
    void Command2_Click(); // "+"
    void Command3_Click(); // "-"
    void CmdClear_Click();
    void CmdContourPrev_Click();
    void CmdContourNext_Click();
    void ChkHole_Click();
    // The row of the contours, shown while the plot has more than one.
    void showContourRow();
    // X upward where the setting or the plot says so.
    void showNorthUp();
    void Label2_Click();
    void Menu_File_Open_Click();
    void Menu_File_OpenExtract_Click();
    void Menu_Exit_Click();
    void Menu_Tools_Zerkalo_Click();
    void Menu_Tools_90R_Click();
    void Menu_Tools_90L_Click();
    void Menu_lnsertUgol_Click();
    void Menu_DelUgol_Click();
    void Menu_File_Export_Click();
    // The plot to a drawing, a map or a catalogue (form1_export.cpp).
    void exportPlotTo(platform::GisExport::Format format);
    void Menu_File_Export_Catalogue_Click();
    void Menu_File_Import_Click();
    void Menu_File_Print_Click();
    void Menu_File_Plan_Click();
    void Menu_Tools_Kalk_Click();
    void Menu_Tools_Map_Click();
    void Menu_Tools_Map_Yes_Click();
    void Menu_Tools_Map_No_Click();
    void Menu_Set_Path_Click();
    void Menu_Set_Grid_Click();
    // "Система координат...": the window, and the choice it hands back
    // applied as one step (form1_export.cpp).
    void Menu_Set_System_Click();
    void setCoordinateSystem(const QString &definition, const QString &name, bool approximate);
    void Menu_Set_Hlp_Click();
    void Menu_Help_Help_Click();
    void Menu_About_Click();
    void Menu_Tools_GK_Click();
    void Menu_Tools_GK1_Click();

    // ---- construction (form1_layout.cpp, form1.cpp) ----
    void connectMenus();
    void wireEvents();
    // The file named by a save or an open becomes the window's caption; the
    // corners an import read become the polygon.
    void connectFileActions();
    void repaintSurface();

    PopupMenu popupMenu;
    std::function<void()> endProgram;
    SharedState &state_;
    platform::Services &services_;
    ViewState view_;
    geometry::PolygonDocument doc_;
    FileActions fileActions_{doc_, services_, state_.settings, this};
    ToolActions tools_{doc_, services_, state_.settings, this};
    std::unique_ptr<PlotView> plot_;
    std::unique_ptr<DrawingMouse> mouse_;
    std::unique_ptr<StepMoves> steps_;
    std::unique_ptr<WindowMouse> windowMouse_;
    bool fitOnChange_ = false; // the next change of the document brings a polygon to show whole
    int shownRows_ = 0;
    bool wideCount_ = false; // the count field is widened for 3 digits and more
    bool loading_ = false;          // Form_Load is running: the drawing waits for its end
    int draws_ = 0;
    DrawingSurface *surface_ = nullptr;
    std::unique_ptr<WindowFit> fit_; // the window within the screen's room
    std::unique_ptr<platform::Control> surfaceControl_;
    std::unique_ptr<geographic::GeoWindow> frmGK_, frmGK1_;
    std::optional<geographic::GeographicOrigin> geoOrigin_; // of the last geographic entry
    std::unique_ptr<settings_windows::FrmNastrGrid> frmNastrGrid_;
    std::unique_ptr<settings_windows::FrmSystem> frmSystem_;
    std::unique_ptr<settings_windows::FrmAbout> frmAbout_;
    std::unique_ptr<SurveySheetWindow> sheet_; // "Ведомость участка", made on first use
    std::unique_ptr<PlanWindow> plan_;         // "Чертёж участка", made on first use
    bool closing_ = false;
};

} // namespace main_window
} // namespace tarvel
