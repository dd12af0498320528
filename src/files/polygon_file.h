// The polygon file (".squ"): one polygon of the main window kept from one run
// to the next.
//
// The file is 42 lines of Windows-1251 text, each ended by CR LF:
//   line 1       the corner count in force, a whole number from 3 to 20
//   lines 2..21  the X texts of corners 1..20
//   lines 22..41 the Y texts of corners 1..20
//   line 42      the owner-information text
// Every value is the field's text exactly as shown; numbers are never
// converted on the way out, and the rows beyond the corner count are kept
// too. Reading returns the lines raw: the window applies its display format.
//
// Pure: no widgets, so it is unit-tested directly.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

namespace tarvel::files {

inline constexpr int kPolygonFileLines = 42;
inline constexpr int kMaxFileCorners = 20;
// Anything larger is not a polygon file; it is refused before being read.
inline constexpr std::int64_t kMaxPolygonFileSize = 1024 * 1024;
// The most characters a text field of the window holds (the line editor's
// own limit). Every value of the file goes into such a field (the owner text
// into its editor), so a longer line could only come in cut.
inline constexpr int kMaxFieldTextLength = 32767;

struct PolygonFileData {
    QString count;
    std::array<QString, kMaxFileCorners + 1> x; // x[1..20]; x[0] is not used
    std::array<QString, kMaxFileCorners + 1> y; // y[1..20]; y[0] is not used
    QString owner;
};

// The 42 lines, Windows-1251, each ended by CR LF. Characters Windows-1251
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
SaveResult savePolygonFile(const QString &path, const PolygonFileData &data);

// The distinct characters of the texts (the coordinate texts and the owner
// text; the count is a number) that Windows-1251 cannot hold and the file
// would get as "?", in the order they first appear. A pair of surrogates is
// one character; a lone surrogate is one too.
QStringList charactersNotInFile(const PolygonFileData &data);

// savePolygonFile() == SaveResult::Saved.
bool writePolygonFile(const QString &path, const PolygonFileData &data);

// Reads and decodes a whole file. Missing, unreadable, not a regular file,
// larger than kMaxPolygonFileSize or not a polygon file: nullopt.
std::optional<PolygonFileData> readPolygonFile(const QString &path);

// The file path in the program's argument text. The desktop may hand the
// path over quoted or plain: surrounding double quotes are removed only when
// the text both starts and ends with one, so a plain path is never cut.
// Blanks around the text are dropped.
QString commandLinePath(const QString &argument);

} // namespace tarvel::files
