// The closed shapes of GIS and CAD files (DXF, GeoJSON, KML and KMZ,
// MapInfo MIF/MID and TAB, Shapefile), read with GDAL/OGR, and the plot
// written to DXF, MIF/MID, Shapefile, KML and GeoJSON (see gis_writer.h).
// Linked only into the GIS module (see lazy_modules.h), which the program
// loads on the first such file it opens: GDAL is far larger than the rest
// of the program, and ships in a package of its own.
#pragma once

#include "platform/services/services.h"

#include <cstddef>

namespace tarvel::platform {

class GdalGis : public GisService {
public:
    // What one file may hold, so that a hostile or broken one costs no
    // more than the limits: a ring of more corners than the program takes,
    // or more points in all, refuses the file as Unreadable.
    struct Limits {
        std::size_t maxRingPoints = 10'000;
        std::size_t maxTotalPoints = 2'000'000;
    };

    GdalGis();
    explicit GdalGis(Limits limits);

    bool available() override { return true; }
    GisReading read(const QString &fileName, std::stop_token stop) override;
    QString write(const QString &fileName, const GisExport &plot) override;

private:
    Limits limits_;
};

} // namespace tarvel::platform
