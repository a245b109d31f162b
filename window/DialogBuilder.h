#pragma once

#include "res/DialogTemplate.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

namespace bitexa {

// Pixels per 4 horizontal and per 8 vertical dialog units: the font's average character width
// and its height, measured the way the platform's dialog manager measures them.
struct DialogBaseUnits {
    int horizontal = 0;
    int vertical = 0;
};

DialogBaseUnits BaseUnitsOf(const QFont& font);

// A rectangle in dialog units as pixels; position and size are scaled one by one and rounded,
// halves away from zero.
QRect DluToPixels(const DluRect& rect, DialogBaseUnits units);

// The template's font. Fonts of the original platform are asked for first; where they are not
// installed an installed Japanese UI font stands in, so Japanese text shows everywhere.
QFont TemplateFont(const DialogTemplate& dialog);

// A control's object name: its id.
QString ControlName(int id);

// Lays the window out from its template: title, font, window buttons, client size (fixed
// unless the template has a sizing border), then one child widget per control, named by its id,
// placed in pixels, and chained in tab order. Returns the controls in template order.
std::vector<QWidget*> BuildDialog(const DialogTemplate& dialog, QWidget& window);

// The window's control with that id, or null.
template <class Widget> Widget* FindControl(const QWidget& window, int id) {
    return window.findChild<Widget*>(ControlName(id), Qt::FindDirectChildrenOnly);
}

} // namespace bitexa
