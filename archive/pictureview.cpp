#include "pictureview.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

PictureView::PictureView(QWidget* parent) : QAbstractScrollArea(parent)
{
    m_model.setZoomMode(zmFitToPage);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
    relayout();
}

void PictureView::setPicture(const QImage& picture)
{
    // Converted once here so that no paint has to convert the whole picture; the 32-bit
    // formats the painter draws directly are kept as they come.
    switch (picture.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888_Premultiplied:
        m_picture = picture;
        break;
    default:
        m_picture = picture.isNull()
                        ? QImage()
                        : picture.convertToFormat(picture.hasAlphaChannel()
                                                      ? QImage::Format_ARGB32_Premultiplied
                                                      : QImage::Format_RGB32);
    }
    m_model.setPictureSize(m_picture.size());
    relayout();
}

void PictureView::clear()
{
    setPicture(QImage());
}

template <typename Change> void PictureView::changeZoom(Change change)
{
    const auto centre = [this] {
        const QSize view = m_model.viewSize();
        return QPointF(view.width() / 2.0, view.height() / 2.0);
    };
    const QPointF anchor = m_model.viewToPicture(centre());
    change();
    relayout(); // may show or hide bars, so the centre is taken again
    const QPointF drift = m_model.pictureToView(anchor) - centre();
    setScrollPosition(m_model.scrollPosition() + drift.toPoint());
    emit zoomChanged();
}

void PictureView::setZoomMode(ZoomMode mode)
{
    changeZoom([&] { m_model.setZoomMode(mode); });
}

bool PictureView::setZoomPercent(double percent)
{
    Viewport probe = m_model;
    if (!probe.requestPercent(percent))
        return false;
    changeZoom([&] { m_model.requestPercent(percent); });
    return true;
}

void PictureView::setScrollBarsVisible(bool visible)
{
    m_barsVisible = visible;
    relayout();
}

void PictureView::setScrollPosition(const QPoint& pos)
{
    m_model.setScrollPosition(pos);
    const QPoint p = m_model.scrollPosition();
    {
        // The model already holds the position; the bars only follow it.
        const QSignalBlocker blockH(horizontalScrollBar());
        const QSignalBlocker blockV(verticalScrollBar());
        horizontalScrollBar()->setValue(p.x());
        verticalScrollBar()->setValue(p.y());
    }
    viewport()->update();
}

QRect PictureView::viewportRect() const
{
    return viewport()->rect();
}

void PictureView::relayout()
{
    if (m_inLayout)
        return;
    m_inLayout = true;
    // Decided from the area without bars, so the outcome does not depend on the bars shown now
    // and setting the policies below cannot start a loop.
    const QMargins m = viewportMargins();
    const int f = 2 * frameWidth();
    const QSize full = size() - QSize(f + m.left() + m.right(), f + m.top() + m.bottom());
    // Transient bars float over the picture and take no room.
    const bool floating = style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, this);
    const int barWidth = floating ? 0 : verticalScrollBar()->sizeHint().width();
    const int barHeight = floating ? 0 : horizontalScrollBar()->sizeHint().height();
    bool needH = false;
    bool needV = false;
    const auto viewFor = [&] {
        return QSize(std::max(0, full.width() - (needV ? barWidth : 0)),
                     std::max(0, full.height() - (needH ? barHeight : 0)));
    };
    // A bar once needed stays (a fit-width picture may stop overflowing once the other bar
    // narrows the view; keeping it avoids flicker between the two answers).
    for (int i = 0; m_barsVisible && i < 3; ++i) {
        m_model.setViewSize(viewFor());
        const QPoint over = m_model.maximumScroll();
        const bool h = needH || over.x() > 0;
        const bool v = needV || over.y() > 0;
        if (h == needH && v == needV)
            break;
        needH = h;
        needV = v;
    }
    m_model.setViewSize(viewFor());
    const Qt::ScrollBarPolicy h = needH ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    const Qt::ScrollBarPolicy v = needV ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (horizontalScrollBarPolicy() != h)
        setHorizontalScrollBarPolicy(h);
    if (verticalScrollBarPolicy() != v)
        setVerticalScrollBarPolicy(v);

    const QPoint range = m_model.maximumScroll();
    const QPoint pos = m_model.scrollPosition();
    {
        const QSignalBlocker blockH(horizontalScrollBar());
        const QSignalBlocker blockV(verticalScrollBar());
        horizontalScrollBar()->setRange(0, range.x());
        horizontalScrollBar()->setPageStep(std::max(1, m_model.viewSize().width()));
        horizontalScrollBar()->setValue(pos.x());
        verticalScrollBar()->setRange(0, range.y());
        verticalScrollBar()->setPageStep(std::max(1, m_model.viewSize().height()));
        verticalScrollBar()->setValue(pos.y());
    }
    m_inLayout = false;
    viewport()->update();
}

void PictureView::paintEvent(QPaintEvent* event)
{
    if (m_picture.isNull())
        return;
    QRect source = m_model.sourceRect(event->rect());
    if (source.isEmpty())
        return;
    // A spare pixel on each side gives smooth sampling its neighbours at the cut edges.
    source = source.adjusted(-1, -1, 1, 1) & m_picture.rect();
    const QRectF target(
        m_model.pictureToView(QPointF(source.topLeft())),
        m_model.pictureToView(QPointF(source.x() + source.width(), source.y() + source.height())));
    QPainter painter(viewport());
    painter.setClipRect(event->rect() & m_model.pictureRect());
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
                          m_model.displayedSize() != m_picture.size());
    painter.drawImage(target, m_picture, QRectF(source));
}

void PictureView::resizeEvent(QResizeEvent*)
{
    relayout();
}

void PictureView::scrollContentsBy(int, int)
{
    m_model.setScrollPosition(QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
    viewport()->update();
}

void PictureView::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_clickArmed = true;
    emit pressed(event->button(), event->position().toPoint());
}

void PictureView::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    const QPoint pos = event->position().toPoint();
    if (event->button() != Qt::LeftButton) {
        // A quick second press of another button is still a press.
        emit pressed(event->button(), pos);
        return;
    }
    m_clickArmed = false;
    QPointer<PictureView> alive(this);
    emit pressed(Qt::LeftButton, pos);
    if (alive)
        emit doubleClicked(pos, viewToPicture(pos));
}

void PictureView::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    emit moved(event->buttons(), event->position().toPoint());
}

void PictureView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const QPoint pos = event->position().toPoint();
    // A click handler may rebuild the owner and free this view.
    QPointer<PictureView> alive(this);
    if (event->button() == Qt::LeftButton && m_clickArmed) {
        m_clickArmed = false;
        if (viewport()->rect().contains(pos))
            emit clicked(pos, viewToPicture(pos));
    }
    if (alive)
        emit released(event->button(), pos);
}
