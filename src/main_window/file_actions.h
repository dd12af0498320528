// The file commands of the polygon editor: save to the current file, save
// under a chosen name, open a chosen or a recent file, open the file named
// on the command line, and the save question that every way out of the
// program passes through.
//
// They work on the document alone and say which file it now is through
// fileNamed(); the window turns that into its caption. Dialogs and messages
// are shown over the owner widget.
#pragma once

#include "main_window/extract_opening.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QMenu;
class QWidget;

namespace tarvel {

namespace geometry {
class PolygonDocument;
} // namespace geometry
namespace platform {
struct FileDialogRequest;
struct Services;
} // namespace platform
namespace files {
struct Settings;
} // namespace files

namespace main_window {

class FileActions : public QObject {
    Q_OBJECT
public:
    // `settings` is read at every dialog: the work folder may change while
    // the program runs. Every file opened or saved becomes its polygon
    // folder and its first recent file, in memory and in the store at once.
    FileActions(geometry::PolygonDocument &document, platform::Services &services,
                files::Settings &settings, QWidget *owner, QObject *parent = nullptr);

    // Writes the polygon to the current file (the one last opened or saved)
    // without asking for a name, as safely as saveAs(); with no current
    // file yet it is saveAs().
    bool save();

    // Asks for a name and writes the polygon there. True when the file was
    // written; a cancelled dialog or a failed write leaves everything as it
    // was, and so does a No when asked whether characters the file cannot
    // hold may be written as "?".
    bool saveAs();
    // Asks the save question over unsaved changes (see maybeSave()), then
    // for a file, and opens it. True when a polygon was opened; a file that
    // cannot be read is said and changes nothing, and so does an answer
    // that keeps the polygon (Cancel, or a save that did not happen).
    // A drawing or a map (DXF, GeoJSON, KML, MapInfo, Shapefile) chosen here
    // is read in the background, as an extract is, and its shape (chosen
    // from a list where it holds several) becomes the plot; false is
    // returned for it at once.
    bool openChosenFile();
    // "Открыть выписку ЕГРН (XML)...": as openChosenFile(), for a registry
    // extract (.xml, or the .zip the registry sends). The reading runs in
    // the background; once it ends, the plot (chosen from a list where the
    // extract holds several) replaces the polygon. The plot is no polygon
    // file: the next save asks for one.
    void openChosenExtract();
    // As openChosenFile(), for a file already chosen (a recent file).
    bool openFile(const QString &path);
    // Opens the file the program was started with. True when one was opened;
    // a missing or unreadable file is passed over in silence, unless its
    // name was not UTF-8 (then no file could be found by it).
    bool openFromCommandLine();
    // Before the polygon is left: true when leaving may go on (nothing
    // unsaved, the user declined to save, or the save succeeded).
    bool maybeSave();

    // The file last opened or saved, as an absolute path; empty before.
    QString currentFile() const { return current_; }

    // The submenu of recent files: filled now, whenever the list changes,
    // and each time it or the menu holding it opens, since a file may have
    // gone meanwhile. An entry whose file is gone shows disabled (it may
    // come back with its drive); an empty list disables the submenu.
    void setRecentMenu(QMenu *menu);

    // The window caption for a polygon file.
    static QString captionFor(const QString &path, bool modified = false);
    // The open dialog's filter of drawings and maps, before "Все файлы".
    static const QString kMapFilter;
    // Said when more than 20 corners are to go into a ".squ"; nothing is
    // written.
    static const QString kTooManyForSqu;
    // A plot of several contours, or a hole, saved as ".squ".
    static const QString kPlotForSqux;
    // Said, with the name, when the file named on the command line is not
    // opened and its name is not UTF-8.
    static const QString kNameNotUtf8;
    // Said when a file cannot be opened; a damaged ".squx" names the line.
    static QString readErrorText(int badLine);

signals:
    // The document is now the file at `path` (saved or opened).
    void fileNamed(const QString &path);
    // A file's polygon is about to replace the document's.
    void opening();

private:
    // -1 when the file was opened; else the damaged line of a ".squx", or 0.
    int open(const QString &path);
    // open(), with the error said.
    bool openOrSay(const QString &path);
    bool writeTo(const QString &path);
    // Saving over the current file after something else changed it on disk:
    // true when the user does not want it replaced.
    bool overwritesAnotherSave(const QString &path);
    // The file at `path` is now the document's: current, first of the
    // recent files, and its folder the one the dialogs start in.
    void named(const QString &path);
    platform::FileDialogRequest polygonDialog() const;
    void fillRecentMenu();
    // Asks before a save that would write `lost` as "?"; true: save.
    bool mayLoseCharacters(const QStringList &lost);
    void sayError(const QString &text);
    // An extract read: its plot opened, or why not said.
    void extractRead(const files::ExtractReading &reading);

    geometry::PolygonDocument &doc_;
    platform::Services &services_;
    files::Settings &settings_;
    QWidget *owner_;
    QString current_;
    QByteArray currentDigest_; // of current_ as it was opened or saved
    QPointer<QMenu> recentMenu_;
    // Opening the file named on the command line: the recent files are
    // stored once the event loop runs.
    bool storeLater_ = false;
    ExtractOpening extract_;
};

} // namespace main_window
} // namespace tarvel
