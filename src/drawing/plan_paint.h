// The plan's pages in ink: the layout (plan_layout.h) turned into painter
// calls, the same for the window's preview, the printer and the PDF.
#pragma once

#include "drawing/plan_layout.h"

#include <QSizeF>

class QPainter;

namespace tarvel::drawing {

// Paints page `page` (0-based) of `plan` with the page's top left corner
// at the painter's origin, at `dotsPerMm` device dots to the millimetre.
// The plot is cut at the drawing's frame.
void paintPlanPage(QPainter &p, const PlanLayout &plan, int page, double dotsPerMm);

// Paints every page of `plan` onto the painter's device at `dpi`, turning
// the page with the device's newPage(); a device without pages gets the
// first. On a printer, whose painter starts at the printable area, the
// plan keeps its place on the paper.
void paintPlan(QPainter &p, const PlanLayout &plan, int dpi);

// The paper of the painter's device in mm: its page size where it has
// pages, else A4 portrait.
QSizeF planPaperOf(const QPainter &p);

} // namespace tarvel::drawing
