#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

// The zoom modes of the picture view; windows store and pass these values as integers.
enum ZoomMode
{
    zmOriginalSize = 0, // 100 %
    zmFullPage,         // whole picture in the view, enlarging or shrinking
    zmFitWidth,         // picture width = view width
    zmFitHeight,        // picture height = view height
    zmPercent,          // the requested percent
    zmFitToPage         // as zmFullPage, but never above 100 %
};

// Zoom and scroll of one picture in one view, free of widgets so that every rule can be tested
// with plain numbers. "View" coordinates are the pixels of the visible area (the viewport),
// "picture" coordinates the pixels of the decoded picture.
//
// Rounding:
//  - displayed size = picture size x factor, rounded to the nearest pixel (halves away from
//    zero), at least 1 pixel on each axis;
//  - a picture smaller than the view on an axis is centred with offset (view - displayed) / 2,
//    truncated (an odd spare pixel goes to the right or bottom);
//  - the mapping scales each axis by displayed / picture, so it agrees with painting exactly;
//  - a view pixel belongs to the picture pixel under its centre and vice versa (floor).
// Without a picture, or before the view has an area, the fitting modes give factor 1.
class Viewport
{
public:
    // Percent requests above this are clamped: 16 times is far beyond what a camera picture
    // shows usefully, and keeps the displayed size well inside int.
    static constexpr double kMaxPercent = 1600.0;
    // Percent requests at or below this are ignored.
    static constexpr double kMinPercent = 0.1;

    QSize pictureSize() const { return m_picture; }
    // A new picture starts at scroll position (0, 0).
    void setPictureSize(const QSize& size);
    bool hasPicture() const { return m_picture.width() > 0 && m_picture.height() > 0; }

    QSize viewSize() const { return m_view; }
    void setViewSize(const QSize& size);

    ZoomMode zoomMode() const { return m_mode; }
    void setZoomMode(ZoomMode mode);
    // The percent that zmPercent shows; 100 until a request is accepted.
    double percent() const { return m_percent; }
    // Ignored (false) without a picture or at kMinPercent or less; else clamped to kMaxPercent,
    // stored, and the mode becomes zmPercent.
    bool requestPercent(double percent);

    // 1.0 = 100 %.
    double zoomFactor() const;
    QSize displayedSize() const;
    QPoint centringOffset() const;
    // Scroll ranges run from 0 to these values.
    QPoint maximumScroll() const;
    QPoint scrollPosition() const { return m_scroll; }
    // Clamped into the scroll ranges.
    void setScrollPosition(const QPoint& pos);
    // Where the displayed picture lies in view coordinates (it may reach beyond the view).
    QRect pictureRect() const;

    // Exact mappings, unclamped: the result may lie outside the picture or the view.
    QPointF viewToPicture(const QPointF& viewPos) const;
    QPointF pictureToView(const QPointF& picturePos) const;
    // Pixel mappings. View -> picture -> view is exact at factors up to 1, picture -> view ->
    // picture at factors from 1. Unclamped; clampToPicture() holds a pixel inside the picture.
    QPoint viewToPixel(const QPoint& viewPos) const;
    QPoint pixelToView(const QPoint& pixel) const;
    QPoint clampToPicture(const QPoint& pixel) const;
    // The picture pixels that painting viewRect needs (within the picture; empty when none).
    QRect sourceRect(const QRect& viewRect) const;

private:
    double scaleX() const;
    double scaleY() const;
    void clampScroll();

    QSize m_picture;
    QSize m_view;
    ZoomMode m_mode = zmOriginalSize;
    double m_percent = 100.0;
    QPoint m_scroll;
};
