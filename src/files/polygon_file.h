// The polygon files: one polygon of the main window kept from one run to the
// next, in one of two types.
//
// ".squ", the 42-line file every version of the program reads, for polygons
// of up to 20 corners:
// The file is 42 lines of Windows-1251 text, each ended by CR LF:
//   line 1       the corner count in force, a whole number from 3 to 20
//   lines 2..21  the X texts of corners 1..20
//   lines 22..41 the Y texts of corners 1..20
//   line 42      the owner-information text
// Every value is the field's text exactly as shown; numbers are never
// converted on the way out, and the rows beyond the corner count are kept
// too. Reading returns the lines raw: the window applies its display format.
//
// ".squx", for polygons of any size: UTF-8 text, each line ended by LF (a
// CR before it is taken off on reading):
//   line 1       kSquxHeader, naming the format and its version
//   line 2       the corner count in force, a whole number from 3 to 10 000
//   lines 3..    one line per row, from corner 1: its X text, a tab, its Y
//                text; at least `count` rows, more where rows beyond the
//                count hold texts
//   last line    the owner-information text
// A plot of several contours (or a hole) is written in version 2:
//   line 1       kSquxPlotHeader
//   line 2       the number of contours, a tab, the contour edited (from 1)
//   then what the registry says of the plot, each where it is known:
//                "north<TAB>X" (X is drawn upward), "area<TAB>P<TAB>ΔP"
//                (the registered area and its tolerance, m², written with
//                a decimal point), "crs<TAB>name" (the coordinate system)
//   then, contour by contour in the plot's order:
//                its count, a tab, its number of rows, a tab, and "hole" or
//                "outer"; then its rows as above, a row whose point has a
//                name with a tab and the name after its Y
//   last line    the owner-information text
// A plot of one outer contour, no point names and no word of the registry
// stays version 1,
// which every earlier reader of ".squx" opens.
// A tab or a line break inside a text becomes a blank on writing: it would
// split the line. Every other text comes back exactly as it was written.
//
// Pure: no widgets, so it is unit-tested directly.
#pragma once

#include "geometry/polygon_state.h"
#include "geometry/text_column.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tarvel::files {

inline constexpr int kPolygonFileLines = 42;
// The most corners a ".squ" file holds.
inline constexpr int kMaxFileCorners = 20;
// Anything larger is not a ".squ" file; it is refused before being read.
inline constexpr std::int64_t kMaxPolygonFileSize = 1024 * 1024;
// The first line of a ".squx" file, with the version of its format.
inline constexpr char kSquxHeader[] = "TARVEL-SQUX 1";
inline constexpr char kSquxPlotHeader[] = "TARVEL-SQUX 2";
// Anything larger is not a ".squx" file: 10 000 rows of long texts fit.
inline constexpr std::int64_t kMaxSquxFileSize = 64 * 1024 * 1024;

enum class PolygonFileType { Squ, Squx };

// The type a path names: ".squx" (in any case) or else ".squ".
PolygonFileType polygonFileType(const QString &path);
// The most characters a text field of the window holds (the line editor's
// own limit). Every value of the file goes into such a field (the owner text
// into its editor), so a longer line could only come in cut.
inline constexpr int kMaxFieldTextLength = 32767;

struct PolygonFileData {
    QString count;
    geometry::TextColumn x; // x[1..]; x[0] is not used
    geometry::TextColumn y; // y[1..]; y[0] is not used
    QString owner;
    // The plot's other contours, the one above standing at `place` among
    // them, as in geometry::PolygonTexts; only ".squx" keeps them.
    std::vector<geometry::ContourTexts> others;
    int place = 0;
    bool hole = false;
    geometry::PlotInfo info;    // only ".squx" keeps it
    geometry::TextColumn names; // the points' names; only ".squx" keeps them
};

// The same plot as the file's data and as the document's texts, field for
// field: no text is changed on the way.
PolygonFileData fileDataOf(const geometry::PolygonTexts &plot);
geometry::PolygonTexts plotTextsOf(const PolygonFileData &data);

// The 42 lines, Windows-1251, each ended by CR LF, with the texts of rows
// 1..20. Characters Windows-1251
// cannot hold become "?"; U+0098 is written as the byte 0x98, which the code
// page leaves undefined and the reader takes as U+0098, so every byte of a
// file that was read is written back as it was. A line break inside a value becomes a blank: it
// would otherwise split the value into two lines and shift every following
// line of the file.
QByteArray encodePolygonFile(const PolygonFileData &data);

// A line ends at CR (a following LF belongs to it) or at a lone LF; the
// last line needs no end. All or nothing: the bytes are a polygon file only
// when they hold at least 42 lines (more are ignored), none of the 42 longer
// than kMaxFieldTextLength, and line 1 is a whole number from 3 to 20
// (blanks around it allowed). Lines are returned raw.
std::optional<PolygonFileData> decodePolygonFile(const QByteArray &bytes);

// The ".squx" bytes: rows 1..count, and beyond while rows hold texts.
QByteArray encodeSquxFile(const PolygonFileData &data);

// A file read, or where it is damaged: `data` when it is whole; else
// `badLine`, the first line (1-based) that is not as the format says, or 0
// when the file could not be read at all.
struct PolygonFileRead {
    std::optional<PolygonFileData> data;
    int badLine = 0;

    // Read like the optional data.
    explicit operator bool() const { return data.has_value(); }
    const PolygonFileData &operator*() const { return *data; }
    const PolygonFileData *operator->() const { return &*data; }
};

// All or nothing, as for ".squ": the header, a count line, at least `count`
// and at most 10 000 rows of exactly one tab, each text no longer than
// kMaxFieldTextLength, valid UTF-8, and the owner line last.
PolygonFileRead decodeSquxFile(const QByteArray &bytes);

enum class SaveResult {
    Saved,
    CannotCreate, // nothing was written (no folder, no rights, not a regular file)
    ReadOnly,     // the file may not be written (no write bit for anyone, or
                  // not for this user); it is untouched
    WriteFailed,  // writing or the final rename failed; the target is untouched
};

// Writes atomically: the new file is written beside the target (unnamed
// where the system allows, and named only when complete) and renamed over
// it only when complete and on the disk. On any failure a previous file
// stays as it was, and no temporary file is left. A replaced file keeps its
// rights, and its owner and group as far as the process may give them (root
// may). Through a symbolic link the file it names is replaced. Temporary
// files that earlier saves of the program left in the folder when they were
// killed are removed first; nothing else is (platform::replaceFile).
// The type follows the path (polygonFileType); a ".squ" keeps rows 1..20.
SaveResult savePolygonFile(const QString &path, const PolygonFileData &data);
// The same safe write of any bytes: a catalogue, an export.
SaveResult saveFileBytes(const QString &path, const QByteArray &bytes);

// The distinct characters of the texts (the coordinate texts of rows 1..20
// and the owner text; the count is a number) that Windows-1251 cannot hold
// and a ".squ" file would get as "?", in the order they first appear. A pair of surrogates is
// one character; a lone surrogate is one too.
QStringList charactersNotInFile(const PolygonFileData &data);

// savePolygonFile() == SaveResult::Saved.
bool writePolygonFile(const QString &path, const PolygonFileData &data);

// Reads and decodes a whole file of either type, told apart by the first
// line (a ".squx" renamed still opens). Missing, unreadable, not a regular
// file, too large or not a polygon file: no data.
PolygonFileRead readPolygonFile(const QString &path);

// The file path in the program's argument text. The desktop may hand the
// path over quoted or plain: surrounding double quotes are removed only when
// the text both starts and ends with one, so a plain path is never cut.
// Blanks around the text are dropped.
QString commandLinePath(const QString &argument);

} // namespace tarvel::files
