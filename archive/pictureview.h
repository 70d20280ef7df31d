#pragma once

#include "viewport.h"

#include <QAbstractScrollArea>
#include <QImage>

// Shows one decoded picture with the zoom modes of Viewport (starting in zmFitToPage), centred
// when smaller than the view, scrolling when larger. Paints only the part of the picture that a
// repaint needs, scaled on the fly; the picture as a whole is never rescaled.
//
// Mouse: every press, move and release on the picture area is accepted and reported with its
// viewport position (whatever the button, so that owners can build on the right button).
// A left press and release inside the view make clicked(); the second press of a double click
// makes doubleClicked() and no further clicked().
class PictureView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    // Kept as a 32-bit copy, the format painting needs without converting.
    void setPicture(const QImage& picture);
    void clear();
    const QImage& picture() const { return m_picture; }
    bool hasPicture() const { return !m_picture.isNull(); }

    ZoomMode zoomMode() const { return m_model.zoomMode(); }
    void setZoomMode(ZoomMode mode);
    // The percent that zmPercent shows (100 until a request is accepted).
    double zoomPercent() const { return m_model.percent(); }
    // Follows Viewport::requestPercent: ignored without a picture or at 0.1 % or less, clamped
    // to Viewport::kMaxPercent, switches to zmPercent. Returns whether it was taken.
    bool setZoomPercent(double percent);
    // What is shown now: 1.0 = 100 %.
    double zoomFactor() const { return m_model.zoomFactor(); }

    // Hidden bars still scroll (wheel, setScrollPosition).
    void setScrollBarsVisible(bool visible);
    bool scrollBarsVisible() const { return m_barsVisible; }

    QPoint scrollPosition() const { return m_model.scrollPosition(); }
    void setScrollPosition(const QPoint& pos);
    QSize displayedSize() const { return m_model.displayedSize(); }
    QRect viewportRect() const;
    // The displayed picture in viewport coordinates.
    QRect pictureRect() const { return m_model.pictureRect(); }
    // Pixel mappings between viewport and picture, unclamped (see Viewport).
    QPoint viewToPicture(const QPoint& viewPos) const { return m_model.viewToPixel(viewPos); }
    QPoint pictureToView(const QPoint& pixel) const { return m_model.pixelToView(pixel); }
    QPointF viewToPicture(const QPointF& viewPos) const { return m_model.viewToPicture(viewPos); }
    QPointF pictureToView(const QPointF& pos) const { return m_model.pictureToView(pos); }
    const Viewport& model() const { return m_model; }

Q_SIGNALS:
    void clicked(QPoint viewPos, QPoint picturePos);
    void doubleClicked(QPoint viewPos, QPoint picturePos);
    void pressed(Qt::MouseButton button, QPoint viewPos);
    void moved(Qt::MouseButtons buttons, QPoint viewPos);
    void released(Qt::MouseButton button, QPoint viewPos);
    void zoomChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Recomputes the model for the current size and sets bars and ranges to match.
    void relayout();
    // Applies a zoom change while keeping the picture point at the view's centre in place.
    template <typename Change> void changeZoom(Change change);

    Viewport m_model;
    QImage m_picture;
    bool m_barsVisible = true;
    bool m_inLayout = false;
    bool m_clickArmed = false;
};
