// The geographic entry windows frmGK (degrees, minutes, seconds) and frmGK1
// (decimal degrees): up to 20 rows of northern latitude and eastern
// longitude, converted on "Ввести" to plane metres that replace the main
// window's polygon.
//
// The two windows are twins and share this one class; the kind decides the
// field arrays (six or two per row), their settings sections, how a field is
// corrected when the user leaves it and how a row is read for the conversion.
//
// The window knows nothing of the main window: it is given the services, the
// setting variables (read live, as the graphics settings may change them
// while it is open) and, at loading, the main polygon's corner count; the
// converted corners leave it through cornersEntered, and whoever opened it
// decides what they replace.
//
// Lifecycle. The main window creates a window and runs Form_Load when its
// menu item is chosen and the window is not loaded; while loaded, the menu
// item only shows it again. Form_Unload (the user closes the window, or the
// main window closes) stores every field text, hidden rows included, and
// ends the loaded state. An unloaded window stays hidden and is never loaded
// again: the main window replaces it by a fresh one, so that a reopened
// window starts from its design-time state like a newly created one.
//
// The check box "Точный пересчёт (эллипсоид WGS 84)" chooses the exact
// conversion (ellipsoid.h) instead of the simple one; it starts unchecked,
// and each window keeps its choice in the settings (exactKey() in
// section "Tunes"), restored when it loads and stored when it unloads, like
// its fields.
//
// Field arrays are indexed by row, 1..20; element 0 stays empty, and so do
// the arrays the window's kind does not have (txtShM, txtShS, txtDM, txtDS of
// the decimal-degree window).
#pragma once

#include "files/settings.h"
#include "geographic/conversion.h"
#include "platform/controls/controls.h"
#include "platform/services/services.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tarvel::geographic {

enum class GeoKind {
    DegreesMinutesSeconds, // frmGK
    DecimalDegrees,        // frmGK1
};

// The field arrays, named after the controls.
enum class Field { txtShG, txtShM, txtShS, txtDG, txtDM, txtDS };

class GeoWindow : public QWidget {
    Q_OBJECT
public:
    using TextBox = platform::TextBox;
    using Label = platform::Label;
    using Button = platform::Button;
    template <class T> using RowArray = std::array<std::unique_ptr<T>, kMaxRows + 1>;

    static const QString kCaption;
    static const QString kHelpText;
    static const QString kExactCaption;
    // Told when the count typed into Text1 is not a whole number from 3 to 20.
    static const QString kCountRange;
    // Told when the exact conversion has no answer for the rows.
    static const QString kExactRefused;

    // A top-level window owned by `owner` (the main window), so that it
    // stays above it. `settings` must outlive the window.
    GeoWindow(QWidget *owner, platform::Services &services, const files::Settings &settings,
              GeoKind kind);
    ~GeoWindow() override;

    bool isLoaded() const { return loaded_; }

    // Rows in use and shown, the last count Text1 gave (CornerCountGK of
    // frmGK, CornerCountGK1 of frmGK1).
    std::int16_t rowCount() const { return rowCount_; }
    // The row whose field last received the focus; 0 for none.
    std::int16_t CurrentRow = 0;

    // The fields this window has, in the order they are restored and stored.
    const std::vector<Field> &fields() const { return fields_; }
    // The array of a field; its elements are empty when the kind lacks it.
    RowArray<TextBox> &array(Field f);
    // The settings section of a field array.
    QString section(Field f) const;
    // The settings key of the exact-conversion choice: "GKExact" for frmGK,
    // "GK1Exact" for frmGK1.
    QString exactKey() const;

    // ---- lifecycle ----
    // Loads the stored texts and shows as many rows as the main polygon has
    // corners (`mainCornerCount`, held to 3..20).
    void Form_Load(int mainCornerCount);
    void Form_Unload();
    // Form_Unload, then hidden; what the main window does when it closes.
    void unload();

    // ---- handlers ----
    void Text1_Change();
    // Leaving Text1, or Enter in it: a count that is not one is refused.
    void takeTypedCount();
    void Command2_Click(); // "+"
    void Command3_Click(); // "-"
    void CmdVnesty_Click();
    void Cmd1_Click();
    void CmdClear_Click();
    void field_Change(Field f, int i);
    void field_GotFocus(Field f, int i);
    void field_LostFocus(Field f, int i);
    void field_KeyDown(Field f, int i, int keyCode);

    // Paints the fields of the rows in use, the current row yellow
    // (PODKRAS1 of frmGK, PODKRAS2 of frmGK1).
    void PODKRAS();
    // Converts rows 1..rowCount and hands them on through cornersEntered
    // (VICHISLIT1 of frmGK, VICHISLIT3 of frmGK1), exactly when chkExact is
    // checked. A field of these rows that is not a number stops it: nothing
    // is handed on, the user is told, and the focus goes to that field. So
    // do rows the exact conversion refuses (a latitude beyond 90°, corners
    // too far apart), with the focus left where it is.
    void VICHISLIT();
    void VICHISLIT1() { VICHISLIT(); }
    void VICHISLIT3() { VICHISLIT(); }

    // ---- controls ----
    std::unique_ptr<Label> Label1; // "Количество углов"
    std::unique_ptr<TextBox> Text1;
    std::unique_ptr<Button> Command3, Command2, CmdVnesty, Cmd1, CmdClear;
    std::unique_ptr<platform::CheckBox> chkExact;
    std::unique_ptr<Label> LblHeadY, LblHeadX; // the two block headings
    std::vector<std::unique_ptr<Label>> columnHeadings;
    RowArray<Label> LblY, LblX;
    RowArray<TextBox> txtShG, txtShM, txtShS, txtDG, txtDM, txtDS;

signals:
    // The corners of rows 1..rowCount in plane metres, bound to the axes.
    void cornersEntered(const geographic::PlaneCorners &corners);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void wireEvents();
    void showRows(int n);
    // Moves the window back into the screen's room where it reaches out.
    void keepOnScreen();
    FieldRule ruleOf(Field f) const;
    // The first field of rows 1..rowCount, row by row and left to right,
    // that the conversion cannot read; nullptr when there is none.
    TextBox *firstUnreadableField();
    // The corners of rows 1..rowCount in decimal degrees.
    std::vector<GeoPoint> readRows();

    platform::Services &services_;
    const files::Settings &settings_;
    const GeoKind kind_;
    std::vector<Field> fields_;
    std::int16_t rowCount_ = 20;
    bool loaded_ = false;
};

} // namespace tarvel::geographic
