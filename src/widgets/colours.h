// Colours of the plain code on the screen, and the red text of a field out of range.
#pragma once

#include <QColor>

#include "base/rgb.h"

class QLineEdit;

namespace velacor::widgets {

inline QColor ToQColor(base::Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

// Black text for a value in range, red for one out of it.
void SetFieldColour(QLineEdit* field, bool inRange);

}  // namespace velacor::widgets
