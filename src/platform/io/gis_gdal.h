// What the reading and the writing of GIS and CAD files share of GDAL: its
// errors kept from the program's error output, its drivers registered once,
// and owners of its spatial references and coordinate transformations.
// Included only by the GIS module's own sources, which link GDAL.
#pragma once

#include <QString>

#include <cpl_error.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <memory>
#include <mutex>

namespace tarvel::platform::gdal {

// GDAL's error handlers and its last error are kept per thread: while the
// quiet handler is pushed, what GDAL has to say about this thread's file
// waits in CPLGetLastErrorMsg() instead of going to the program's error
// output, and work on another thread is not disturbed.
class QuietErrors {
public:
    QuietErrors() {
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
    }
    ~QuietErrors() { CPLPopErrorHandler(); }
    QuietErrors(const QuietErrors &) = delete;
    QuietErrors &operator=(const QuietErrors &) = delete;
};

inline void registerDrivers() {
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
}

inline QString lastError(const QString &otherwise) {
    const QString message = QString::fromUtf8(CPLGetLastErrorMsg()).trimmed();
    return message.isEmpty() ? otherwise : message;
}

inline bool failed() {
    return CPLGetLastErrorType() == CE_Failure || CPLGetLastErrorType() == CE_Fatal;
}

struct SrsReleaser {
    void operator()(OGRSpatialReference *srs) const {
        if (srs) srs->Release();
    }
};
using SrsPtr = std::unique_ptr<OGRSpatialReference, SrsReleaser>;

struct TransformDeleter {
    void operator()(OGRCoordinateTransformation *t) const {
        OGRCoordinateTransformation::DestroyCT(t);
    }
};
using TransformPtr = std::unique_ptr<OGRCoordinateTransformation, TransformDeleter>;

} // namespace tarvel::platform::gdal
