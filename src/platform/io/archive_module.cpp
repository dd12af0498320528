// The zip archives as a module the program loads on the first archive it
// opens (see lazy_modules.h): libzip costs nothing at start-up for a
// session that never opens one.
#include "platform/io/zip_archive.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT void *tarvel_create_archive() {
    return static_cast<tarvel::platform::ArchiveService *>(new tarvel::platform::ZipArchive());
}
