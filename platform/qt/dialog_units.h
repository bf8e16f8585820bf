// Dialog units as Windows converts them: a horizontal unit is a quarter of the dialog
// font's average character width, a vertical unit an eighth of its character height.
#pragma once

#include <QFont>
#include <QRect>

struct DialogUnits {
    int base_x; // average character width, pixels
    int base_y; // character height, pixels
};

// The base units of `font`: the average width of the 52 letters, rounded as Windows
// rounds it, and the font's height.
DialogUnits dialog_units_of(const QFont& font);

// Pixels of `units` dialog units along x or y (rounded to the nearest pixel).
int dialog_x_to_pixels(const DialogUnits& base, int units);
int dialog_y_to_pixels(const DialogUnits& base, int units);

// A rectangle given in dialog units, in pixels.
QRect dialog_rect_to_pixels(const DialogUnits& base, int x, int y, int width, int height);

// The dialog's font: the template's face when the system has it, otherwise the closest
// sans-serif face at the same point size.
QFont dialog_font(const char* face, int points);
