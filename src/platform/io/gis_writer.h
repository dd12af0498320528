// The plot written to GIS and CAD files with GDAL/OGR: GdalGis::write
// (gis_reader.h) is defined in gis_writer.cpp. Declared here are the parts
// of the writing that are worth checking on their own.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tarvel::platform::gis_writer {

// A side's length as the drawing labels it: metres to two decimals with a
// decimal comma ("25,40").
QString lengthLabel(double metres);

// The drawing OGR's DXF writer wrote, in the code page a Russian CAD
// program reads: Windows-1251, declared by $DWGCODEPAGE ANSI_1251, in
// metres. OGR passes the names it is given (the layers') into the file as
// UTF-8, and writes its texts as Latin-1 bytes with the characters beyond
// Latin-1 escaped (\U+0443); both are recoded, and a character Windows-1251
// lacks stays or becomes such an escape, which every CAD program reads.
// nullopt when `drawing` is not a whole drawing (pairs of lines ending with
// EOF): a write cut short.
std::optional<QByteArray> drawingInCp1251(const QByteArray &drawing);

} // namespace tarvel::platform::gis_writer
