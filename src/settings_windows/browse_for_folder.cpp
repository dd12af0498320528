#include "settings_windows/browse_for_folder.h"

namespace tarvel::settings_windows {

QString BrowseForFolder(platform::DialogService &dialogs, QWidget *owner, const QString &title,
                        const QString &startFolder) {
    return dialogs.browseForFolder(owner, title, startFolder).value_or(QString());
}

} // namespace tarvel::settings_windows
