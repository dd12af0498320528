// Placeholder until the settings windows are built.
#pragma once

#include <QWidget>

namespace tarvel::settings_windows {
class FrmAbout : public QWidget {};
} // namespace tarvel::settings_windows
