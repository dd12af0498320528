#include "platform/controls/coordinate_field.h"

namespace tarvel::platform {

bool normalizeDecimalPoint(TextBox &field) {
    const QString text = field.Text();
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0) return false;
    QString fixed = text;
    fixed[dot] = QLatin1Char(',');
    // The write raises the field's change handler again, which turns the next
    // point, until none is left.
    field.setText(fixed);
    field.setSelStart(int(field.Text().size()));
    return true;
}

} // namespace tarvel::platform
