// The folder choice of the folder command: the platform's folder dialog,
// opened on a start folder.
#pragma once

#include "platform/services/services.h"

#include <QString>

class QWidget;

namespace tarvel::settings_windows {

// The chosen folder, or empty text when the user cancels. An empty start
// folder lets the dialog open where the platform chooses.
QString BrowseForFolder(platform::DialogService &dialogs, QWidget *owner, const QString &title,
                        const QString &startFolder);

} // namespace tarvel::settings_windows
