#pragma once

#include "pictureview.h"

#include <QColor>
#include <QFrame>

class CaptionPanel;
class ClientDataSet;
class QLabel;
class QTimer;

// The picture control of the archive thumbnails and of the comparison window: one picture of
// t_tooth over a caption line, inside a band that shows the selection mark.
//
// Clicks: a left click on the band, the picture, the caption strip or its label toggles the
// mark. A double click is one click and one double click, never two clicks: the first press
// and release toggle, the second press raises imageDoubleClicked() (on the picture) and toggles
// nothing. Other buttons are left to the picture view's raw signals and to the owner.
class TFrameImage : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(bool FrameSelected READ FrameSelected WRITE SetFrameSelected NOTIFY selectionChanged)
    Q_PROPERTY(int ZoomMode READ ZoomMode WRITE SetZoomMode)
    Q_PROPERTY(int ZoomPercent READ ZoomPercent WRITE SetZoomPercent)
public:
    static constexpr int kDesignWidth = 186;
    static constexpr int kDesignHeight = 173;
    static constexpr int kMarkBand = 5;
    static constexpr int kCaptionHeight = 18;

    explicit TFrameImage(QWidget* parent = nullptr);
    ~TFrameImage() override;

    // Shows the current row of ds: in thumbnail mode FSmallImage/FSmallFileExt only, in full
    // mode FBigImage/FFileExt. Empty bytes leave the picture empty; bytes that do not decode
    // throw DbError (before the key and caption change).
    void ShowThisImage(ClientDataSet* ds);
    // Remembers ds and rebuilds the caption line from its current row.
    void SetImageMemo(ClientDataSet* ds);
    // 0 thumbnail, 1 full picture; for later ShowThisImage calls.
    void SetPictureSizeMode(int mode);
    int PictureSizeMode() const { return FPictureSizeMode; }
    // true: face colour <-> red, any other colour left alone; false: face colour.
    void ChangeBorder_SelectedMark(bool useMark);

    bool FrameSelected() const { return FrameSelected_; }
    void SetFrameSelected(bool selected);
    // The last mode set through the frame (the view's own mode may differ after a percent
    // request; source()->zoomMode() tells that one).
    int ZoomMode() const { return FZoomMode_; }
    void SetZoomMode(int mode);
    // The last percent set through the frame, taken or not by the view.
    int ZoomPercent() const { return FZoomPercent_; }
    void SetZoomPercent(int percent);

    PictureView* source() const { return FSource; }
    // The colour of the band, i.e. the mark.
    QColor markColour() const;
    static QColor faceColour();
    static QColor selectedColour() { return QColor(255, 0, 0); }
    // The caption line of the current row: date, tooth and memo.
    static QString CaptionLine(const ClientDataSet& ds);

    QSize sizeHint() const override { return QSize(kDesignWidth, kDesignHeight); }

    // Magnifier: a square inside the frame, centred on the cursor while the right button is
    // held on the picture, showing the picture pixels around the cursor enlarged by a factor.
    // Off until PrepairCtrl; armed (square hidden); shown (right button held, refreshed every
    // 150 ms and on every move); released -> armed again.
    enum class MagnifierState
    {
        Off,
        Armed,
        Shown
    };
    static constexpr int kRefreshMs = 150;
    static constexpr int kSquareDesignWidth = 117;
    static constexpr int kSquareDesignHeight = 96;
    // Raised line plus the coloured band around the enlarged picture when the border is on.
    static constexpr int kSquareBorder = 3;

    // Magnifier on; factor 2.0.
    void PrepairCtrl();
    double ManifierZoom() const { return FManifierZoom; }
    // Used from the next refresh on; a factor that is not positive is ignored.
    void SetManifierZoom(double factor);
    int ManifierWidth() const { return FManifierWidth; }
    // Square side in pixels (at least 1).
    void SetManifierWidth(int side);
    // true: raised border, the background around the enlarged picture in frameColor; false:
    // the enlarged picture reaches the square's edge (the default).
    void SetManifierFrameColor(bool hasFrame, const QColor& frameColor);
    bool ManifierHasFrame() const { return FManifierHasFrame; }
    QColor ManifierFrameColor() const { return FManifierFrameColor; }
    // The cursor in picture pixels; may lie outside the picture.
    QPoint GetMousePos() const;
    // One refresh of the square at the cursor; nothing unless the magnifier is on and the
    // frame is visible.
    void UpdateDisplay();
    // The square (FMovingPanel), hidden unless shown; null until a magnifier call made it.
    QWidget* magnifierSquare() const;
    // The picture view inside the square.
    PictureView* magnifierView() const { return FImage; }
    // Picture-pixel region shown by the last refresh; empty when it showed nothing.
    QRect magnifierRegion() const { return FRegion; }
    MagnifierState magnifierState() const { return FMagnifierState; }

    // Controls of the design, reachable by name as the owners and the magnifier need them.
    CaptionPanel* RzPanel1 = nullptr;
    CaptionPanel* RzPanel2 = nullptr;
    CaptionPanel* RzPanel3 = nullptr;
    QLabel* RzLlbMemo = nullptr;
    PictureView* FSource = nullptr;

    // Not owned: the dataset whose row was last shown or captioned.
    ClientDataSet* FClientDataset = nullptr;
    // FInterID of the picture shown; 0 before any.
    int FImageInterID = 0;

Q_SIGNALS:
    void imageClicked();
    void imageDoubleClicked();
    void selectionChanged(bool selected);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setMarkColour(const QColor& colour);
    void setSelectedFlag(bool selected);

    void ensureSquare();
    void applySquareBorder();
    // The picture pixel under a position of the picture view's viewport.
    QPoint picturePointAt(QPoint viewPos) const;
    // Centres the square on a position of the picture view's viewport.
    void centreSquareAt(QPoint viewPos);
    void refreshAt(QPoint picturePoint);
    void onSourcePressed(Qt::MouseButton button, QPoint viewPos);
    void onSourceMoved(QPoint viewPos);
    void onSquareMoved(QPoint squareViewPos);
    void hideMagnifier();

    QFrame* FMovingPanel = nullptr;
    PictureView* FImage = nullptr;
    QImage FCropped;
    // Takes the place of the refresh worker: it only ever handed the refresh to this thread.
    QTimer* FSyncronizeCursor = nullptr;
    QPoint FOldPos;
    QRect FRegion;
    bool FUpdating = false;
    bool FUseManifier = false;
    MagnifierState FMagnifierState = MagnifierState::Off;
    double FManifierZoom = 2.0;
    int FManifierWidth = kSquareDesignWidth;
    bool FManifierHasFrame = false;
    QColor FManifierFrameColor;

    bool FrameSelected_ = false;
    int FZoomMode_ = zmOriginalSize;
    int FZoomPercent_ = 0;
    int FPictureSizeMode = 0;
    bool m_clickArmed = false;
};
