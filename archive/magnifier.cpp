#include "magnifier.h"

#include <cmath>

int roundHalfEven(double value)
{
    // nearbyint follows the current rounding mode, which is to-nearest-even unless changed.
    return static_cast<int>(std::nearbyint(value));
}

QRect magnifierRegion(QPoint picturePoint, QSize square, double factor, QSize pictureSize)
{
    if (pictureSize.width() <= 0 || pictureSize.height() <= 0 || !(factor > 0.0))
        return QRect();
    if (picturePoint.x() < 0)
        return QRect();

    const int w = roundHalfEven(square.width() / factor);
    const int h = roundHalfEven(square.height() / factor);
    const int hw = w / 2;
    const int hh = h / 2;
    if (hw <= 0 || hh <= 0)
        return QRect();

    // Right and bottom are exclusive.
    int left = picturePoint.x() - hw;
    int top = picturePoint.y() - hh;
    int right = picturePoint.x() + hw;
    int bottom = picturePoint.y() + hh;
    const auto shift = [](int& a, int& b, int by) {
        a += by;
        b += by;
    };
    if (left < 0)
        shift(left, right, -left);
    if (top < 0)
        shift(top, bottom, -top);
    if (right >= pictureSize.width())
        shift(left, right, pictureSize.width() - 1 - right);
    if (bottom >= pictureSize.height())
        shift(top, bottom, pictureSize.height() - 1 - bottom);

    // Too large to move inside: the whole picture, scaled into the square.
    if (left < 0 || top < 0)
        return QRect(QPoint(0, 0), pictureSize);
    return QRect(left, top, right - left, bottom - top);
}
