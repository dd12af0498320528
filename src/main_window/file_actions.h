// The file commands of the polygon editor: save under a chosen name, open a
// chosen file, open the file named on the command line, and the save
// question that every way out of the program passes through.
//
// They work on the document alone and say which file it now is through
// fileNamed(); the window turns that into its caption. Dialogs and messages
// are shown over the owner widget.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

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

namespace main_window {

class FileActions : public QObject {
    Q_OBJECT
public:
    // `settings` is read at every dialog: the work folder may change while
    // the program runs.
    FileActions(geometry::PolygonDocument &document, platform::Services &services,
                const files::Settings &settings, QWidget *owner, QObject *parent = nullptr);

    // Asks for a name and writes the polygon there. True when the file was
    // written; a cancelled dialog or a failed write leaves everything as it
    // was, and so does a No when asked whether characters the file cannot
    // hold may be written as "?".
    bool saveAs();
    // Asks the save question over unsaved changes (see maybeSave()), then
    // for a file, and opens it. True when a polygon was opened; a file that
    // cannot be read is said and changes nothing, and so does an answer
    // that keeps the polygon (Cancel, or a save that did not happen).
    bool openChosenFile();
    // Opens the file the program was started with. True when one was opened;
    // a missing or unreadable file is passed over in silence.
    bool openFromCommandLine();
    // Before the polygon is left: true when leaving may go on (nothing
    // unsaved, the user declined to save, or the save succeeded).
    bool maybeSave();

    // The window caption for a polygon file.
    static QString captionFor(const QString &path);

signals:
    // The document is now the file at `path` (saved or opened).
    void fileNamed(const QString &path);

private:
    bool open(const QString &path);
    // Asks before a save that would write `lost` as "?"; true: save.
    bool mayLoseCharacters(const QStringList &lost);
    void sayError(const QString &text);

    geometry::PolygonDocument &doc_;
    platform::Services &services_;
    const files::Settings &settings_;
    QWidget *owner_;
};

} // namespace main_window
} // namespace tarvel
