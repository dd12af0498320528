// Placeholder until the geographic entry windows are built.
#pragma once

#include <QWidget>

namespace tarvel::geographic {
class GeoWindow : public QWidget {};
} // namespace tarvel::geographic
