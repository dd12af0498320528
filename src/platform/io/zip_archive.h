// Entries of zip archives, inflated with libzip. Linked only into the
// archive module (see lazy_modules.h), which the program loads on the first
// archive it opens.
#pragma once

#include "platform/services/services.h"

namespace tarvel::platform {

class ZipArchive : public ArchiveService {
public:
    ArchiveEntry readFirstEntry(const QByteArray &zip, const QString &suffix,
                                qint64 maxBytes) override;
};

} // namespace tarvel::platform
