// A catalogue of coordinates in a text file (.txt, .csv), as surveyors'
// programs and total stations write them: read as a paste of the same text
// is (geometry/pasted_corners.h), point names and contours included.
#pragma once

#include "geometry/pasted_corners.h"
#include "geometry/polygon_state.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace tarvel::files {

// The largest catalogue read: 10 000 corners of long lines fit many times.
inline constexpr qint64 kMaxCatalogueBytes = 16LL * 1024 * 1024;

// Whether a file is read as a catalogue of text rather than as a workbook:
// a ".txt" always; a ".csv" (in any case) when it is a catalogue's, its
// rows naming their points or blank lines parting contours. Any other
// ".csv" is a sheet of columns A and B, as the spreadsheets write it.
bool isCatalogueFile(const QString &path, const QByteArray &bytes);

// The text of the file: UTF-8 (a byte order mark left out), else
// Windows-1251, as the programs of Windows write it.
QString catalogueText(const QByteArray &bytes);

// The rows of the catalogue, as a paste into the first row reads them.
geometry::PastedTable readCatalogue(const QByteArray &bytes);

// The plot as a catalogue that surveyors' programs, spreadsheets and this
// program's import read: a heading "№;X;Y", then every contour's rows
// "name;X;Y" (the point's name, else its number in the contour), X and Y
// with two decimals and a decimal comma, no digit groups; a blank line
// between contours. UTF-8, lines ending in CR LF, as the programs of
// Windows expect. Coordinates in kilometres are written in metres.
// Nothing when a coordinate of a corner in force is no number: a catalogue
// with a made-up corner would be another plot.
std::optional<QByteArray> catalogueFile(const geometry::PolygonTexts &plot, geometry::Unit unit,
                                        int countInForce);

} // namespace tarvel::files
