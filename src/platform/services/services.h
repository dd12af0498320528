// The services through which the windows reach the desktop: message boxes,
// the common dialogs, the screen, the command line, the shell, the settings
// store, the file-type association, the spreadsheet automation, the printer,
// the clipboard, the progress window of work in the background and the
// archives.
//
// Every window receives them as one `Services` bundle of references. The
// program passes the real implementations (real_services.h); the tests pass
// scripted fakes (fake_services.h), so a window test never blocks on a real
// modal dialog and never writes into the real home folder.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <utility>
#include <vector>

class QWidget;
class QPainter;

namespace tarvel::platform {

// ---- Message boxes ----

enum class MsgButtons { OK, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Exclamation, Question, Critical };
enum class MsgResult { OK, Yes, No, Cancel };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Shows a modal box and returns the button pressed. Closing the box with
    // its close box or Escape counts as Cancel (or No when there is no
    // Cancel button, OK when OK is the only one).
    virtual MsgResult show(QWidget *owner, const QString &text, MsgButtons buttons, MsgIcon icon,
                           const QString &title) = 0;
};

// Tells the user, over `owner`, that a coordinate field holds no number: the
// one message of every coordinate field, in the main window and in the
// geographic entry windows alike.
void showNotANumber(MessageBoxService &messages, QWidget *owner);

// ---- Common dialogs ----

// A file dialog request in the terms the windows use. `filter` is in the
// "description|pattern|description|pattern|" form ("Файлы (*.squ)|*.squ|Все
// файлы(*.*)|*.*|"); `defaultExt` may be given as "*.squ" or "squ" and is
// appended to a typed name without an extension.
struct FileDialogRequest {
    QString filter;
    QString defaultExt;
    QString fileName;
    QString initDir;
    QString title;
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // The chosen full path, or nullopt for Cancel.
    virtual std::optional<QString> showSave(QWidget *owner, const FileDialogRequest &request) = 0;
    virtual std::optional<QString> showOpen(QWidget *owner, const FileDialogRequest &request) = 0;
    // A colour number (&HBBGGRR), or nullopt for Cancel.
    virtual std::optional<std::uint32_t> showColour(QWidget *owner, std::uint32_t initial) = 0;
    // The chosen folder, or nullopt for Cancel.
    virtual std::optional<QString> browseForFolder(QWidget *owner, const QString &title,
                                                   const QString &startFolder) = 0;
    // One of `items` (its index), chosen in a list over `owner` that a
    // search field above it narrows; nullopt for Cancel.
    virtual std::optional<int> chooseItem(QWidget *owner, const QString &title,
                                          const QStringList &items) = 0;
};

// ---- Screen, command line ----

class ScreenService {
public:
    virtual ~ScreenService() = default;
    // Size of the primary screen in pixels.
    virtual QSize screenSize() = 0;
    // The part of the primary screen that windows may take (without the
    // desktop's panels), in the same pixels; the whole screen unless told.
    virtual QRect availableArea() { return QRect(QPoint(0, 0), screenSize()); }
};

class CommandLineService {
public:
    virtual ~CommandLineService() = default;
    // The argument text the program was started with (the first argument
    // after the program name), empty when there is none.
    virtual QString commandLineText() = 0;
};

// ---- Shell ----

class ShellService {
public:
    virtual ~ShellService() = default;
    // Asks the desktop to open a document, a web address or a mailto: link.
    // Returns false when the desktop has no program for it.
    virtual bool openDocument(const QString &pathOrUrl) = 0;
    // Starts a program detached. Returns false when it could not be started.
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;
    // The first of the candidates found on the PATH, or empty text.
    virtual QString findProgram(const QStringList &candidates) = 0;
};

// ---- Clipboard ----

// The desktop's clipboard, as text.
class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    // The clipboard's plain text (empty when it holds none).
    virtual QString text() = 0;
    // Puts `plain` on the clipboard and, when `html` is not empty, the same
    // content as HTML beside it, so that a spreadsheet or a word processor
    // takes the form it reads best.
    virtual void setContent(const QString &plain, const QString &html) = 0;
};

// ---- Settings store ----

// Text values addressed by section and key under the program's application
// name. Key names are compared without regard to case ("step" and "Step" are
// one key). Reading names a default, returned when the section or key is
// missing.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString &section, const QString &key,
                         const QString &defaultValue) = 0;
    virtual void write(const QString &section, const QString &key, const QString &value) = 0;
    // Reads the store again where it keeps what it read: another copy of the
    // program may have written it since.
    virtual void reload() {}
    // Several keys of one section at once; a store on disk writes them in
    // one go.
    using Values = std::vector<std::pair<QString, QString>>; // key, value
    virtual void writeAll(const QString &section, const Values &values) {
        for (const auto &[key, value] : values)
            write(section, key, value);
    }
};

// ---- File-type association ----

class FileTypeAssociation {
public:
    virtual ~FileTypeAssociation() = default;
    // Associates "*.squ" with the program unless the type already has an
    // application (this program's, another copy's, or the user's choice);
    // silent on failure (the next start tries again).
    virtual void RegisterFileType() = 0;
    // The icon entry of the association written before, or empty text.
    virtual QString ReadRegString() = 0;
};

// ---- Spreadsheet automation ----

// A small automation object model in the shape the export drives: an
// application, its workbooks, a worksheet, ranges by address.
class SpreadsheetRange {
public:
    virtual ~SpreadsheetRange() = default;
    virtual void setValue(double value) = 0;
    // A text cell: a heading.
    virtual void setText(const QString &text) = 0;
    virtual void setNumberFormat(const QString &format) = 0;
    virtual void setHorizontalAlignment(int alignment) = 0; // 4 = right
};

class SpreadsheetWorksheet {
public:
    virtual ~SpreadsheetWorksheet() = default;
    virtual SpreadsheetRange &Range(const QString &address) = 0;
    // The worksheet's name on its tab.
    virtual void setName(const QString &name) = 0;
};

// Errors of the automation layer, as the export dispatches on them.
enum class SpreadsheetError { None, PermissionDenied, Other };

class SpreadsheetWorkbook {
public:
    virtual ~SpreadsheetWorkbook() = default;
    virtual SpreadsheetWorksheet &Worksheets(int index) = 0;
    // Writes the workbook; a failure leaves no half-written file and no harm
    // to an existing one.
    virtual SpreadsheetError SaveAs(const QString &fileName) = 0;
};

class SpreadsheetApplication {
public:
    virtual ~SpreadsheetApplication() = default;
    virtual SpreadsheetWorkbook &WorkbooksAdd() = 0;
    virtual void Quit() = 0;
};

// One cell as read back by the import: empty, a number, a text, or a cell
// that holds nothing usable (an error value such as #DIV/0!, a formula
// without a stored result): the import names such a cell rather than
// skipping it.
struct SpreadsheetCell {
    enum class Kind { Empty, Number, Text, Error } kind = Kind::Empty;
    double number = 0;
    QString text;
};

// How many rows of columns A and B the import reads: room for ten thousand
// corners, a header row and blank rows between them, and enough to see that
// a workbook holds more corners than the program takes.
inline constexpr int kSpreadsheetRowsRead = 30000;

// Columns A and B of rows 1..kSpreadsheetRowsRead of the first worksheet.
struct SpreadsheetColumns {
    std::vector<SpreadsheetCell> a; // a[0] is A1
    std::vector<SpreadsheetCell> b;
};

class SpreadsheetService {
public:
    virtual ~SpreadsheetService() = default;
    // Starts the automation application (nullptr when it cannot be started).
    virtual std::unique_ptr<SpreadsheetApplication> createApplication() = 0;
    // Reads columns A and B of the first kSpreadsheetRowsRead rows of the
    // first sheet; nullopt when the file cannot be read as a workbook.
    virtual std::optional<SpreadsheetColumns> readColumns(const QString &fileName) = 0;
    // As readColumns, for a reading in a worker thread that the user may
    // stop: once `stop` is requested the reading under way is ended and the
    // answer is nullopt. One reading at a time. This default cannot end a
    // reading early; it only drops the answer of a stopped one.
    virtual std::optional<SpreadsheetColumns> readColumnsUnlessStopped(const QString &fileName,
                                                                       std::stop_token stop) {
        auto columns = readColumns(fileName);
        if (stop.stop_requested()) return std::nullopt;
        return columns;
    }
};

// ---- Printer ----

class PrinterService {
public:
    virtual ~PrinterService() = default;
    // Shows the print dialog (the real one; the fake prints to a PDF file)
    // and, unless cancelled, calls paint with a painter on the page and the
    // page's resolution in dots per inch. Returns false on Cancel.
    virtual bool print(QWidget *owner,
                       const std::function<void(QPainter &painter, int dpi)> &paint) = 0;
};

// ---- Progress of work in the background ----

// A window that says a piece of work is under way and lets the user stop it.
class ProgressService {
public:
    virtual ~ProgressService() = default;
    // Shows over `owner` a window titled `title` with `text`, a busy bar and
    // the button "Отмена". The button, Escape and the close box close the
    // window and call `cancelled`, once. The window keeps the owner from
    // input while it is shown, not from repainting, and not from a close
    // request: the user may close the owner with the work under way. A
    // window already shown is replaced, without its `cancelled` being
    // called.
    virtual void show(QWidget *owner, const QString &title, const QString &text,
                      std::function<void()> cancelled) = 0;
    // Closes the window, if one is shown, without calling `cancelled`.
    virtual void close() = 0;
    // The bar of the window shown stops being busy and shows `done`, the
    // part of the work done, 0..1. Work that cannot tell keeps the busy bar
    // by never calling it.
    virtual void setFraction(double done) = 0;
};

// ---- Archives ----

// An entry taken out of a zip archive.
struct ArchiveEntry {
    enum class Outcome {
        Read,       // `data` holds the entry, inflated
        Unreadable, // no zip, a broken one, or an entry that cannot be inflated
        NotFound,   // no entry of the name asked for
        TooLarge,   // the entry inflates to more than the limit
    };
    Outcome outcome = Outcome::Unreadable;
    QString name; // the entry's name in the archive, when found
    QByteArray data;
};

class ArchiveService {
public:
    virtual ~ArchiveService() = default;
    // The first entry of the zip archive `zip` whose name ends with `suffix`
    // (without regard to case), inflated. Folders and the litter of other
    // systems' archivers (__MACOSX/, "._" files) are passed over. When no
    // entry has the suffix, an archive within the archive (an entry ending
    // in ".zip", as extracts are sometimes packed once more with their
    // signature) is looked into, one level deep. An entry is refused as
    // TooLarge as soon as it inflates beyond `maxBytes`, whatever the
    // archive's directory claims, so a zip bomb costs no more than the
    // limit.
    virtual ArchiveEntry readFirstEntry(const QByteArray &zip, const QString &suffix,
                                        qint64 maxBytes) = 0;
};

// ---- GIS and CAD files ----

// A point as the file holds it: x the easting (or the longitude, in
// degrees), y the northing (or the latitude).
struct GisPoint {
    double x = 0;
    double y = 0;
};

// A closed ring of a shape, without the closing point that repeats the
// first.
struct GisRing {
    std::vector<GisPoint> points;
    bool hole = false;
    // The points' names ("н1", "12"), one per point, when written; a name
    // left empty is the point's number in its ring (from 1). Reading leaves
    // the list empty.
    std::vector<QString> names;
};

// One polygon (or multipolygon, or closed polyline) of the file: its rings
// in the file's order, each outer ring followed by its holes.
struct GisShape {
    QString layer; // the file's layer; for a drawing, the entity's layer
    QString name;  // a name or description of the feature, when it has one
    std::vector<GisRing> rings;
};

struct GisReading {
    enum class Outcome {
        Read,       // `shapes` holds every closed shape of the file (maybe none)
        NoModule,   // the GIS module is not installed
        Unreadable, // no file, or none of a format the module reads; `error` says why
        Cancelled,  // stopped before the end
    };
    Outcome outcome = Outcome::Unreadable;
    QString error;
    std::vector<GisShape> shapes;
    // The coordinate system of the points. Geographic points are converted
    // to WGS 84 longitude (x) and latitude (y) in degrees; projected ones
    // are kept as the file has them; a file without a system is Unknown
    // (a drawing), its points kept.
    enum class System { Unknown, Geographic, Projected };
    System system = System::Unknown;
    QString systemName;       // the system's own name, e.g. "Pulkovo 1942 / Gauss-Kruger zone 7"
    QString systemDefinition; // "EPSG:28407" when it has a code, else its WKT; empty when Unknown
};

// Said when the module that reads and writes drawings and maps is not
// installed.
inline constexpr const char16_t *kGisModuleMissing = u"Для этого формата установите пакет tarvel-gis";

// What a drawing or a map is written from.
struct GisExport {
    enum class Format { Dxf, MapInfo, Shapefile, Kml, GeoJson };
    Format format = Format::Dxf;
    // The plot's rings in plane metres, x the easting and y the northing,
    // each outer ring followed by its holes.
    std::vector<GisRing> rings;
    QString title; // the owner line: the plot's name or description
    // The plot's coordinate system ("EPSG:28407", a PROJ string or WKT);
    // empty when it is not known. KML and GeoJSON are written in WGS 84,
    // converted from it, and need it; the other formats keep the plane
    // coordinates and state the system where the format can.
    QString system;
};

class GisService {
public:
    virtual ~GisService() = default;
    // Whether the module that reads these files can be loaded.
    virtual bool available() = 0;
    // Every closed shape of the file: polygons and multipolygons, and the
    // closed polylines of a drawing (a line whose last point meets its
    // first, or a polyline flagged closed). Open lines, points and texts are
    // passed over. May run on a worker thread; `stop` ends it early with
    // Cancelled.
    virtual GisReading read(const QString &fileName, std::stop_token stop) = 0;
    // Writes the plot to `fileName` (with its companion files: .mid; .shx,
    // .dbf, .prj, .cpg) in the format asked. Empty when written; else why
    // not, and no file of that name is left half written. Without the
    // module: kGisModuleMissing's text.
    virtual QString write(const QString &fileName, const GisExport &plot) = 0;
};

// ---- Documents ----

// Documents written straight to a file: PDF pages and OpenDocument texts.
class DocumentService {
public:
    virtual ~DocumentService() = default;
    // Writes a PDF of A4 pages (turned to landscape when asked) to `path`:
    // `paint` draws the pages with a painter on the first one and the
    // pages' resolution in dots per inch, and turns a page with the
    // device's newPage(). The file is replaced only once it is whole: false,
    // and any file of that name left as it was, when it cannot be written.
    virtual bool writePdf(const QString &path, const QString &title, bool landscape,
                          const std::function<void(QPainter &painter, int dpi)> &paint) = 0;
    // Writes the HTML document `html` as an OpenDocument text (.odt), which
    // LibreOffice Writer and Word open; its tables stay tables. Replaced
    // only once whole, as writePdf().
    virtual bool writeOdt(const QString &path, const QString &html) = 0;
};

// The bundle every window receives.
struct Services {
    MessageBoxService &messages;
    DialogService &dialogs;
    ScreenService &screen;
    CommandLineService &commandLine;
    ShellService &shell;
    SettingsStore &settings;
    FileTypeAssociation &association;
    SpreadsheetService &spreadsheet;
    PrinterService &printer;
    ClipboardService &clipboard;
    ProgressService &progress;
    ArchiveService &archives;
    GisService &gis;
    DocumentService &documents;
};

} // namespace tarvel::platform
