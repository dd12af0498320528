// The commands of the menus that talk to the desktop rather than to the
// drawing: the workbook export and import (with the import hint), the
// choice of a background picture, the calculator, the working folder, the
// hints and the help document.
//
// Like FileActions they read the document and never write it: an import
// hands the corners it read on through cornersImported(), and the window
// applies them as one command. The workbook is read in the background
// (WorkbookImport), so the window answers while it is read. Dialogs and
// messages are shown over the owner widget. Every file dialog starts in the
// folder last used for its kind of file, else in the work folder.
#pragma once

#include "files/spreadsheet_exchange.h"
#include "geometry/pasted_corners.h"
#include "main_window/workbook_import.h"
#include "platform/services/services.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QWidget;

namespace tarvel {

namespace geometry {
class PolygonDocument;
} // namespace geometry
namespace platform {
struct Services;
} // namespace platform
namespace files {
struct Settings;
} // namespace files
namespace settings_windows {
class FrmPodsk1;
} // namespace settings_windows

namespace main_window {

class ToolActions : public QObject {
    Q_OBJECT
public:
    // `settings` is read at every dialog and written by the folder, hint and
    // import-hint commands, which also store what they change.
    ToolActions(const geometry::PolygonDocument &document, platform::Services &services,
                files::Settings &settings, QWidget *owner, QObject *parent = nullptr);
    ~ToolActions() override;

    // Writes X and Y of the corners in force into a workbook the user names.
    void exportCoordinates();
    // Writes every contour of the plot, its points' names and its owner
    // line to a drawing or a map the user names, through the GIS module.
    // `northIsX`: X is the northing (the plan is drawn with X upward), else
    // Y is. KML and GeoJSON need the plot's coordinate system: without one
    // the user is told where to choose it, and no dialog opens.
    void exportMap(platform::GisExport::Format format, bool northIsX);
    // Writes the plot as a catalogue "№;X;Y" (.txt or .csv) the user names.
    void exportCatalogue();
    // Said when KML or GeoJSON is asked for a plot of no known system.
    static const QString kNoSystemForMaps;
    // Shows the import hint first unless the user turned it off; then asks
    // for a workbook and reads its corners in the background. While a
    // reading runs the command does nothing.
    void importCoordinates();
    // Closes an import hint still open and ends a reading under way,
    // importing nothing: the window is going.
    void stopImport();
    // Asks for a background picture; the chosen path, or nullopt for
    // Cancel.
    std::optional<QString> choosePicture();
    void startCalculator();
    // Asks for the working folder; Cancel keeps the one the user had. A new
    // one becomes the start of every file dialog again: the folders
    // remembered for the kinds of file are forgotten.
    void chooseWorkFolder();
    // Turns every hint on again.
    void showHintsAgain();
    // Opens the help document with the desktop's viewer, or the built-in
    // help where it cannot.
    void showHelp();

    // The help document: Help.pdf beside the program; tests point it elsewhere.
    void setHelpDocument(const QString &path) { helpDocument_ = path; }
    const QString &helpDocument() const { return helpDocument_; }

signals:
    // A workbook's corners were read; nothing is applied yet.
    void cornersImported(const files::ImportedCorners &corners);
    // A catalogue of text (.txt, .csv) was read: its rows, contours and
    // names; nothing is applied yet.
    void catalogueImported(const geometry::PastedTable &table);

private:
    void readWorkbook();
    // A catalogue of text (its file's bytes, nothing when it could not be
    // read) taken at once: a few hundred kilobytes at most. Or why not said.
    void readCatalogue(const std::optional<QByteArray> &bytes);
    void importEnded(const files::ImportOutcome &outcome);
    // The workbook dialogs start next time in the folder of `path`.
    void rememberSheetFolder(const QString &path);
    void sayExportError(const QString &text);

    const geometry::PolygonDocument &doc_;
    platform::Services &services_;
    files::Settings &settings_;
    QWidget *owner_;
    QString helpDocument_;
    std::unique_ptr<settings_windows::FrmPodsk1> hint_;
    WorkbookImport import_;
};

} // namespace main_window
} // namespace tarvel
