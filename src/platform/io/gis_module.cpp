// The GIS and CAD files as a module the program loads on the first such
// file it opens (see lazy_modules.h): GDAL costs nothing at start-up, and
// the program runs without it where the module's package is not installed.
#include "platform/io/gis_reader.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT void *tarvel_create_gis() {
    return static_cast<tarvel::platform::GisService *>(new tarvel::platform::GdalGis());
}
