// Form1: construction, the wiring of control events to their handlers, and
// the window-level events.
#include "main_window/form1.h"

#include "program.h"

#include "geographic/geo_window.h"
#include "geometry/polygon_commands.h"
#include "main_window/coordinate_keys.h"
#include "drawing/drawing_surface.h"
#include "main_window/plan_window.h"
#include "main_window/survey_sheet_window.h"
#include "main_window/window_fit.h"
#include "main_window/window_keys.h"
#include "drawing/view_fit.h"
#include "settings_windows/frm_about.h"
#include "settings_windows/frm_nastr_grid.h"
#include "settings_windows/frm_system.h"
#include "settings_windows/frm_podsk1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tarvel::main_window {

const QString Form1::kCaption = kProgramTitle;
const QString Form1::kCountRange = QStringLiteral("Количество углов — от 3 до 10 000");

Form1::Form1(SharedState &state, platform::Services &services, QWidget *parent)
    : QMainWindow(parent), state_(state), services_(services) {
    setWindowTitle(kCaption);
    surface_ = new DrawingSurface(this);
    // The client area is 16065 x 10515 twips below the menu bar.
    surface_->setFixedSize(1071, 701);
    // Every control of the client area inherits the program's face.
    surface_->setFont(platform::defaultFont());
    surfaceControl_ = std::make_unique<platform::Control>(surface_);
    // The drawing is painted beneath the controls.
    plot_ = std::make_unique<PlotView>([this](const QRegion &r) {
        if (r.isEmpty())
            repaintSurface();
        else
            surface_->update(r);
    });
    buildControls(surface_);
    buildMenus(*this);
    addKeyboardReach(*this, *this);
    connectMenus();
    fit_ = std::make_unique<WindowFit>(*this, surface_);
    surface_->paintDrawing = [this](QPainter &p) { plot_->paint(p); };
    // The default polygon is the document at start: no history, not
    // modified. A file named on the command line replaces it in Form_Load.
    doc_.reset(geometry::defaultPolygon());
    shownRows_ = doc_.cornerCount();
    showDocument();
    connect(&doc_, &geometry::PolygonDocument::changed, this, &Form1::documentChanged);
    connectFileActions();
    QUndoStack &history = doc_.undoStack();
    connect(&history, &QUndoStack::canUndoChanged, Menu_Undo, &QAction::setEnabled);
    connect(&history, &QUndoStack::canRedoChanged, Menu_Redo, &QAction::setEnabled);
    wireEvents();
    auto *keys =
        new CoordinateKeys(*coordinates, doc_, services_, this, [this](int i, QPoint at) {
            view_.currentCorner = i;
            popupMenu(*Menu_Ugol, at);
        });
    keys->setBringIn([this](const std::function<void()> &change) { showWholePolygon(change); });
    popupMenu = [](QMenu &menu, const QPoint &pos) { menu.popup(pos); };
    endProgram = [] { QCoreApplication::exit(0); };
    tools_.setHelpDocument(QCoreApplication::applicationDirPath() + QStringLiteral("/Help.pdf"));
}

Form1::~Form1() = default;

void Form1::documentChanged() {
    showDocument();
    // After an undo, a redo, an insert or a delete the current corner is in
    // the table's view.
    coordinates->scrollTo(view_.currentCorner);
    followPolygon(std::exchange(fitOnChange_, false));
    VICHISLIT();
}

void Form1::showWholePolygon(const std::function<void()> &change) {
    fitOnChange_ = bool(change);
    if (change) change();
    fitOnChange_ = false;
    if (!change && followPolygon(true)) redraw();
}

bool Form1::followPolygon(bool whole) {
    // A corner still being typed (its field has the focus, or one of its
    // fields is empty) does not move the view until it is entered: the view
    // would leap at every digit.
    // The table's rows are few: the corner being typed is found once, not
    // asked of every corner of a polygon of thousands.
    int typing = 0;
    for (int slot = 1; slot <= CoordinateTable::kRows && !typing; ++slot)
        for (const geometry::Axis axis : {geometry::Axis::X, geometry::Axis::Y})
            if (const TextBox *field = coordinates->fieldInRow(axis, slot);
                field && field->Visible() && field->hasFocus())
                typing = coordinates->cornerAt(slot);
    const auto blank = [](const QString &text) {
        return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
    };
    const auto entered = [&](int i) {
        return i != typing && !blank(doc_.text(geometry::Axis::X, i)) &&
               !blank(doc_.text(geometry::Axis::Y, i));
    };
    const auto bounds = polygonBounds(doc_, whole ? std::function<bool(int)>() : entered);
    if (!bounds) return false;
    const ViewPlacement now = placementOf(view_);
    if (!whole && liesInView(*bounds, now)) return false;
    return moveView(view_, bestView(*bounds, now, listedScales(*Cmb3)), *Cmb3, *txtMsb);
}

void Form1::showDocument() {
    const geometry::PolygonTexts &t = doc_.texts();
    if (Text1->Text() != t.count) Text1->setText(t.count);
    coordinates->showTexts(t);
    if (Label2->Caption() != t.owner) Label2->setCaption(t.owner);
    showUnit();
    if (doc_.cornerCount() != shownRows_) showRows(doc_.cornerCount());
    showContourRow();
    showNorthUp();
}

void Form1::showNorthUp() {
    // A plot from the registry is drawn as the registry draws it, X to the
    // north, whatever the setting.
    const bool northUp = state_.settings.NorthUp != 0 || doc_.texts().info.northIsX;
    if (view_.northUp != northUp) view_.setNorthUp(northUp);
}

void Form1::showContourRow() {
    const int n = doc_.contourCount();
    const bool several = n > 1;
    if (!several && !lblContour) return;
    if (contourRow(surface_)) {
        CmdContourPrev->Click = [this] { CmdContourPrev_Click(); };
        CmdContourNext->Click = [this] { CmdContourNext_Click(); };
        ChkHole->Click = [this] { ChkHole_Click(); };
    }
    Label4->setVisible(!several);
    for (platform::Control *c : {static_cast<platform::Control *>(lblContour.get()),
                                 static_cast<platform::Control *>(CmdContourPrev.get()),
                                 static_cast<platform::Control *>(CmdContourNext.get()),
                                 static_cast<platform::Control *>(ChkHole.get())})
        c->setVisible(several);
    if (!several) return;
    lblContour->setCaption(
        QStringLiteral("Контур: %1 из %2").arg(doc_.contourIndex() + 1).arg(n));
    CmdContourPrev->setEnabled(doc_.contourIndex() > 0);
    CmdContourNext->setEnabled(doc_.contourIndex() + 1 < n);
    // The box shows the document's flag; only a click of the user is a change.
    if (ChkHole->Value() != int(doc_.isHole())) {
        const auto click = std::exchange(ChkHole->Click, nullptr);
        ChkHole->setValue(doc_.isHole() ? 1 : 0);
        ChkHole->Click = click;
    }
}

void Form1::CmdContourPrev_Click() {
    doc_.editContour(doc_.contourIndex() - 1);
}

void Form1::CmdContourNext_Click() {
    doc_.editContour(doc_.contourIndex() + 1);
}

void Form1::ChkHole_Click() {
    doc_.setHole(ChkHole->Value() != 0);
}

void Form1::Menu_Undo_Click() {
    doc_.undoStack().undo();
}

void Form1::Menu_Redo_Click() {
    doc_.undoStack().redo();
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    // A field's own undo would only take back its last keystrokes behind the
    // document's back, and in the step or scale field it would keep the keys
    // from the window; the window's history undoes whole commands.
    // With nothing to undo the keys do nothing at all, rather than reach the
    // field's own undo.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const QAction *a : {Menu_Undo, Menu_Redo})
            for (const QKeySequence &s : a->shortcuts())
                if (s == pressed) {
                    // Ignored, the override lets the window's shortcut run.
                    event->ignore();
                    return true;
                }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::repaintSurface() {
    if (surface_) surface_->scheduleRepaint();
}

void Form1::wireEvents() {
    using platform::MouseInfo;
    CmbEd->Click = [this] { CmbEd_Click(); };
    Command1->Click = [this] { Command1_Click(); };
    Text1->Change = [this] { Text1_Change(); };
    Text1->LostFocus = [this] { Text1_LostFocus(); };
    Text1->KeyDown = [this](int k, int) { Text1_KeyDown(k); };
    windowMouse_ = std::make_unique<WindowMouse>(
        *coordinates, view_, state_, services_,
        WindowMouse::Window{this, surface_,
                            [this](QPoint at) { popupMenu(*Menu_Ugol, at); },
                            [this] { PODKRAS(); }});
    mouse_ = std::make_unique<DrawingMouse>(
        *surface_, *plot_, view_, doc_,
        DrawingMouse::Window{[this] { PODKRAS(); }, [this] { VICHISLIT(); }, [this] { redraw(); },
                             [this](int i) { coordinates->focusCorner(geometry::Axis::X, i); },
                             [this] { Img_Click(); }, [this] { Form_Click(); },
                             [this](const MouseInfo &m) { windowMouse_->Form_MouseDown(m); },
                             [this](const MouseInfo &m) { windowMouse_->Form_MouseMove(m); }});
    surfaceControl_->Click = [this] { mouse_->Surface_Click(); };
    // The highlight shows the corner a press made current.
    surfaceControl_->MouseDown = [this](const MouseInfo &m) {
        mouse_->Surface_MouseDown(m);
        PODKRAS();
    };
    surfaceControl_->MouseMove = [this](const MouseInfo &m) { mouse_->Surface_MouseMove(m); };
    surfaceControl_->MouseUp = [this](const MouseInfo &m) { mouse_->Surface_MouseUp(m); };

    // The rows are wired by their place; each asks which corner it shows
    // when the event comes.
    using geometry::Axis;
    for (int s = 1; s <= CoordinateTable::kRows; ++s) {
        TextBox &x = *coordinates->fieldInRow(Axis::X, s), &y = *coordinates->fieldInRow(Axis::Y, s);
        const auto corner = [this, s] { return coordinates->cornerAt(s); };
        x.Change = [this, corner] { TextX_Change(corner()); };
        y.Change = [this, corner] { TextY_Change(corner()); };
        x.GotFocus = [this, corner] { TextX_GotFocus(corner()); };
        y.GotFocus = [this, corner] { TextY_GotFocus(corner()); };
        x.LostFocus = [this, corner] { TextX_LostFocus(corner()); };
        y.LostFocus = [this, corner] { TextY_LostFocus(corner()); };
        x.KeyDown = [this, corner](int k, int shift) { TextX_KeyDown(corner(), k, shift); };
        y.KeyDown = [this, corner](int k, int shift) { TextY_KeyDown(corner(), k, shift); };
    }
    Command2->Click = [this] { Command2_Click(); };
    Command3->Click = [this] { Command3_Click(); };
    CmdClear->Click = [this] { CmdClear_Click(); };
    CmdNorm->Click = [this] { NORMALIZ(); };
    Label2->Click = [this] { Label2_Click(); };

    steps_ = std::make_unique<StepMoves>(
        static_cast<Form1Controls &>(*this), view_, doc_, state_, services_,
        StepMoves::Window{this, [this] { PODKRAS(); }, [this] { VICHISLIT(); }});
    Cmb1->Click = [this] { Cmb1_Click(); };
    Cmb2->Click = [this] { Cmb2_Click(); };
    // The area is computed, never typed; a click on the drawing leaves the
    // focus there.
    Text3->setReadOnly(true);
    // Every text field of the window, wherever the focus is, leaves the undo
    // and redo keys to the window's history. An editable list hands its keys
    // to its field past that field's filters, so it gets one too.
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->installEventFilter(this);
    for (QComboBox *list : findChildren<QComboBox *>())
        if (list->isEditable()) list->installEventFilter(this);
}

void Form1::closeEvent(QCloseEvent *event) {
    if (closing_) {
        event->accept();
        return;
    }
    if (!askToSave()) {
        event->ignore();
        return;
    }
    closing_ = true;
    Form_Unload();
    event->accept();
}

void Form1::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow() || isEnabled()) return;
    for (QWidget *owner :
         {static_cast<QWidget *>(frmNastrGrid_.get()), static_cast<QWidget *>(frmAbout_.get())}) {
        if (owner && owner->isVisible()) {
            owner->raise();
            owner->activateWindow();
            return;
        }
    }
}

} // namespace tarvel::main_window
