// Placeholder until the settings windows are built.
#pragma once

#include <QWidget>

namespace tarvel::settings_windows {
class FrmPodsk1 : public QWidget {};
} // namespace tarvel::settings_windows
