#include "platform/qt/dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace {

// Rounds units * base / divisor to the nearest integer, halves away from zero.
int scale(int units, int base, int divisor) {
    const long long product = static_cast<long long>(units) * base;
    const long long half = divisor / 2;
    const long long rounded =
        product >= 0 ? (product + half) / divisor : (product - half) / divisor;
    return static_cast<int>(rounded);
}

// Faces with the metrics of the classic 8-point dialog font, best first.
const char* const substitute_faces[] = {"Microsoft Sans Serif", "Liberation Sans", "Arimo", "Arial",
                                        "DejaVu Sans"};

} // namespace

DialogUnits dialog_units_of(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    return DialogUnits{(letters / 26 + 1) / 2, metrics.height()};
}

int dialog_x_to_pixels(const DialogUnits& base, int units) {
    return scale(units, base.base_x, 4);
}

int dialog_y_to_pixels(const DialogUnits& base, int units) {
    return scale(units, base.base_y, 8);
}

QRect dialog_rect_to_pixels(const DialogUnits& base, int x, int y, int width, int height) {
    return QRect(dialog_x_to_pixels(base, x), dialog_y_to_pixels(base, y),
                 dialog_x_to_pixels(base, width), dialog_y_to_pixels(base, height));
}

QFont dialog_font(const char* face, int points) {
    const QString family = QString::fromLatin1(face);
    QStringList substitutes;
    for (const char* substitute : substitute_faces) {
        substitutes << QString::fromLatin1(substitute);
    }
    QFont::insertSubstitutions(family, substitutes);
    QFont font(family, points);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
