#include "viewport.h"

#include <algorithm>
#include <cmath>

namespace {

int roundedLength(int length, double factor)
{
    const double v = std::round(double(length) * factor);
    return int(std::clamp(v, 1.0, double(1 << 30)));
}

} // namespace

void Viewport::setPictureSize(const QSize& size)
{
    m_picture = size;
    m_scroll = QPoint();
}

void Viewport::setViewSize(const QSize& size)
{
    m_view = size;
    clampScroll();
}

void Viewport::setZoomMode(ZoomMode mode)
{
    m_mode = mode;
    clampScroll();
}

bool Viewport::requestPercent(double percent)
{
    // The negated comparison also refuses NaN.
    if (!hasPicture() || !(percent > kMinPercent))
        return false;
    m_percent = std::min(percent, kMaxPercent);
    m_mode = zmPercent;
    clampScroll();
    return true;
}

double Viewport::zoomFactor() const
{
    if (m_mode == zmOriginalSize)
        return 1.0;
    if (m_mode == zmPercent)
        return m_percent / 100.0;
    const bool fits = hasPicture() && m_view.width() > 0 && m_view.height() > 0;
    if (!fits)
        return 1.0;
    const double byWidth = double(m_view.width()) / m_picture.width();
    const double byHeight = double(m_view.height()) / m_picture.height();
    switch (m_mode) {
    case zmFullPage:
        return std::min(byWidth, byHeight);
    case zmFitWidth:
        return byWidth;
    case zmFitHeight:
        return byHeight;
    case zmFitToPage:
        return std::min({byWidth, byHeight, 1.0});
    default:
        return 1.0;
    }
}

QSize Viewport::displayedSize() const
{
    if (!hasPicture())
        return QSize(0, 0);
    const double f = zoomFactor();
    return QSize(roundedLength(m_picture.width(), f), roundedLength(m_picture.height(), f));
}

QPoint Viewport::centringOffset() const
{
    const QSize d = displayedSize();
    return QPoint(std::max(0, (m_view.width() - d.width()) / 2),
                  std::max(0, (m_view.height() - d.height()) / 2));
}

QPoint Viewport::maximumScroll() const
{
    const QSize d = displayedSize();
    return QPoint(std::max(0, d.width() - m_view.width()),
                  std::max(0, d.height() - m_view.height()));
}

void Viewport::setScrollPosition(const QPoint& pos)
{
    m_scroll = pos;
    clampScroll();
}

void Viewport::clampScroll()
{
    const QPoint m = maximumScroll();
    m_scroll = QPoint(std::clamp(m_scroll.x(), 0, m.x()), std::clamp(m_scroll.y(), 0, m.y()));
}

QRect Viewport::pictureRect() const
{
    return QRect(centringOffset() - m_scroll, displayedSize());
}

double Viewport::scaleX() const
{
    return hasPicture() ? double(displayedSize().width()) / m_picture.width() : 1.0;
}

double Viewport::scaleY() const
{
    return hasPicture() ? double(displayedSize().height()) / m_picture.height() : 1.0;
}

QPointF Viewport::viewToPicture(const QPointF& viewPos) const
{
    const QPointF origin = pictureRect().topLeft();
    return QPointF((viewPos.x() - origin.x()) / scaleX(), (viewPos.y() - origin.y()) / scaleY());
}

QPointF Viewport::pictureToView(const QPointF& picturePos) const
{
    const QPointF origin = pictureRect().topLeft();
    return QPointF(picturePos.x() * scaleX() + origin.x(), picturePos.y() * scaleY() + origin.y());
}

QPoint Viewport::viewToPixel(const QPoint& viewPos) const
{
    const QPointF p = viewToPicture(QPointF(viewPos) + QPointF(0.5, 0.5));
    return QPoint(int(std::floor(p.x())), int(std::floor(p.y())));
}

QPoint Viewport::pixelToView(const QPoint& pixel) const
{
    const QPointF v = pictureToView(QPointF(pixel) + QPointF(0.5, 0.5));
    return QPoint(int(std::floor(v.x())), int(std::floor(v.y())));
}

QPoint Viewport::clampToPicture(const QPoint& pixel) const
{
    if (!hasPicture())
        return QPoint();
    return QPoint(std::clamp(pixel.x(), 0, m_picture.width() - 1),
                  std::clamp(pixel.y(), 0, m_picture.height() - 1));
}

QRect Viewport::sourceRect(const QRect& viewRect) const
{
    const QRect visible = viewRect & pictureRect();
    if (!hasPicture() || visible.isEmpty())
        return QRect();
    const QPointF from = viewToPicture(QPointF(visible.topLeft()));
    const QPointF to =
        viewToPicture(QPointF(visible.x() + visible.width(), visible.y() + visible.height()));
    const int left = std::max(0, int(std::floor(from.x())));
    const int top = std::max(0, int(std::floor(from.y())));
    const int right = std::min(m_picture.width(), int(std::ceil(to.x())));
    const int bottom = std::min(m_picture.height(), int(std::ceil(to.y())));
    return QRect(left, top, right - left, bottom - top);
}
