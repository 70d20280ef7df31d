#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Round to the nearest integer, ties to even: the rounding the magnifier's placement and
// scaling rules are written in.
int roundHalfEven(double value);

// The picture pixels that the magnifier square shows, free of widgets so that the rule can be
// tested with plain numbers.
//
// picturePoint: the cursor in picture pixels (may lie outside the picture); square: the client
// size of the square's picture; factor: the enlargement. The region is 2 * (side / factor / 2)
// pixels on each axis around the point, moved inside the picture without changing its size:
// left, then top, then right, then bottom (so at the right and bottom edges the last column
// and row are never shown). A region that cannot fit shows the whole picture.
//
// Empty when nothing is to be shown: the point is left of the picture, there is no picture,
// the factor is not positive, or the region has no pixels.
QRect magnifierRegion(QPoint picturePoint, QSize square, double factor, QSize pictureSize);
