#include "frameimage.h"

#include "captionpanel.h"
#include "clientdataset.h"
#include "dberror.h"
#include "imagecodec.h"
#include "magnifier.h"

#include <QApplication>
#include <QCursor>
#include <QDate>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Built once: a thousand thumbnails format their dates in a row.
const QLocale& systemLocale()
{
    static const QLocale locale = QLocale::system();
    return locale;
}

// A column that a row set lacks reads as null, like an empty one.
QVariant columnValue(const ClientDataSet& ds, const char* name)
{
    const int col = ds.fieldIndex(QLatin1String(name));
    return col < 0 ? QVariant() : ds.value(col);
}

QString dateText(const QVariant& v)
{
    if (v.isNull())
        return QString();
    switch (v.metaType().id()) {
    case QMetaType::QDate:
        return systemLocale().toString(v.toDate(), QLocale::ShortFormat);
    case QMetaType::QDateTime:
        return systemLocale().toString(v.toDateTime().date(), QLocale::ShortFormat);
    default:
        return v.toString();
    }
}

} // namespace

TFrameImage::TFrameImage(QWidget* parent) : QFrame(parent)
{
    resize(kDesignWidth, kDesignHeight);

    RzPanel1 = new CaptionPanel(this);
    RzPanel1->setObjectName(QStringLiteral("RzPanel1"));
    RzPanel1->setAutoFillBackground(true);
    auto* frameLayout = new QVBoxLayout(this);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->addWidget(RzPanel1);

    RzPanel2 = new CaptionPanel(RzPanel1);
    RzPanel2->setObjectName(QStringLiteral("RzPanel2"));
    RzPanel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    RzPanel2->setLineWidth(1);
    // Its own face colour, so that the mark set on RzPanel1 shows only in the band.
    RzPanel2->setAutoFillBackground(true);
    QPalette inner = RzPanel2->palette();
    inner.setColor(QPalette::Window, faceColour());
    RzPanel2->setPalette(inner);
    auto* bandLayout = new QVBoxLayout(RzPanel1);
    bandLayout->setContentsMargins(kMarkBand, kMarkBand, kMarkBand, kMarkBand);
    bandLayout->addWidget(RzPanel2);

    FSource = new PictureView(RzPanel2);
    FSource->setObjectName(QStringLiteral("FSource"));
    FSource->setFrameShape(QFrame::NoFrame);
    FSource->setScrollBarsVisible(false);
    FSource->setZoomMode(zmFitToPage);

    RzPanel3 = new CaptionPanel(RzPanel2);
    RzPanel3->setObjectName(QStringLiteral("RzPanel3"));
    RzPanel3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    RzPanel3->setLineWidth(1);
    RzPanel3->setFixedHeight(kCaptionHeight);

    RzLlbMemo = new QLabel(RzPanel3);
    RzLlbMemo->setObjectName(QStringLiteral("RzLlbMemo"));
    // Plain text keeps QLabel from taking mouse presses; a long memo is cut, not widening the
    // frame.
    RzLlbMemo->setTextFormat(Qt::PlainText);
    RzLlbMemo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    RzLlbMemo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* captionLayout = new QHBoxLayout(RzPanel3);
    captionLayout->setContentsMargins(2, 0, 2, 0);
    captionLayout->addWidget(RzLlbMemo);

    auto* innerLayout = new QVBoxLayout(RzPanel2);
    innerLayout->setContentsMargins(0, 0, 0, 0);
    innerLayout->setSpacing(0);
    innerLayout->addWidget(FSource, 1);
    innerLayout->addWidget(RzPanel3);

    setMarkColour(faceColour());

    connect(FSource, &PictureView::clicked, this, [this] {
        ChangeBorder_SelectedMark(true);
        emit imageClicked();
    });
    connect(FSource, &PictureView::doubleClicked, this, &TFrameImage::imageDoubleClicked);
    connect(FSource, &PictureView::pressed, this, &TFrameImage::onSourcePressed);
    connect(FSource, &PictureView::moved, this,
            [this](Qt::MouseButtons, QPoint viewPos) { onSourceMoved(viewPos); });
    connect(FSource, &PictureView::released, this, [this] { hideMagnifier(); });
}

TFrameImage::~TFrameImage()
{
    // Nothing may refresh while the children and FCropped go away.
    FUseManifier = false;
    FMagnifierState = MagnifierState::Off;
    if (FSyncronizeCursor)
        FSyncronizeCursor->stop();
    disconnect(FSource, nullptr, this, nullptr);
    if (FImage)
        disconnect(FImage, nullptr, this, nullptr);
}

void TFrameImage::ShowThisImage(ClientDataSet* ds)
{
    FClientDataset = ds;
    FSource->clear();
    if (!ds) {
        RzLlbMemo->clear();
        return;
    }
    // Thumbnail mode must not read FBigImage: the archive's rows fetch it on first read.
    const bool full = FPictureSizeMode == 1;
    const QString extension =
        ds->value(full ? QStringLiteral("FFileExt") : QStringLiteral("FSmallFileExt")).toString();
    const QByteArray bytes =
        ds->value(full ? QStringLiteral("FBigImage") : QStringLiteral("FSmallImage")).toByteArray();
    if (!bytes.isEmpty()) {
        QString error;
        const QImage picture = codec::decodeForScaling(bytes, extension, &error);
        if (picture.isNull())
            throw DbError(tr("The picture cannot be shown: %1").arg(error));
        FSource->setPicture(picture);
    }
    FImageInterID = ds->value(QStringLiteral("FInterID")).toInt();
    SetImageMemo(ds);
}

void TFrameImage::SetImageMemo(ClientDataSet* ds)
{
    FClientDataset = ds;
    RzLlbMemo->setText(ds ? CaptionLine(*ds) : QString());
}

QString TFrameImage::CaptionLine(const ClientDataSet& ds)
{
    const QString date = dateText(columnValue(ds, "FDate"));
    const QString memo = columnValue(ds, "FMemo").toString();
    const QVariant tooth = columnValue(ds, "FToothIndex");
    if (tooth.isNull() || tooth.toInt() == 0)
        return date + QStringLiteral("  ") + memo;
    return date + QStringLiteral(" (No.") + tooth.toString() + QStringLiteral(") ") + memo;
}

void TFrameImage::SetPictureSizeMode(int mode)
{
    FPictureSizeMode = mode == 1 ? 1 : 0;
}

QColor TFrameImage::faceColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

QColor TFrameImage::markColour() const
{
    return RzPanel1->palette().color(QPalette::Window);
}

void TFrameImage::setMarkColour(const QColor& colour)
{
    QPalette p = RzPanel1->palette();
    p.setColor(QPalette::Window, colour);
    RzPanel1->setPalette(p);
}

void TFrameImage::ChangeBorder_SelectedMark(bool useMark)
{
    const QRgb now = markColour().rgba();
    if (!useMark)
        setMarkColour(faceColour());
    else if (now == faceColour().rgba())
        setMarkColour(selectedColour());
    else if (now == selectedColour().rgba())
        setMarkColour(faceColour());
    setSelectedFlag(markColour().rgba() == selectedColour().rgba());
}

void TFrameImage::SetFrameSelected(bool selected)
{
    setMarkColour(selected ? selectedColour() : faceColour());
    setSelectedFlag(selected);
}

void TFrameImage::setSelectedFlag(bool selected)
{
    if (FrameSelected_ == selected)
        return;
    FrameSelected_ = selected;
    emit selectionChanged(selected);
}

void TFrameImage::SetZoomMode(int mode)
{
    if (mode < zmOriginalSize || mode > zmFitToPage)
        return;
    FZoomMode_ = mode;
    FSource->setZoomMode(static_cast<::ZoomMode>(mode));
}

void TFrameImage::SetZoomPercent(int percent)
{
    FSource->setZoomPercent(percent);
    FZoomPercent_ = percent;
}

// Presses and releases on the band, the panels and the caption label arrive here after their
// widgets let them pass; the picture view keeps its own and reports clicks by signal.
void TFrameImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QFrame::mousePressEvent(event);
        return;
    }
    m_clickArmed = true;
    event->accept();
}

void TFrameImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QFrame::mouseDoubleClickEvent(event);
        return;
    }
    // The second press of a double click is not a second click.
    m_clickArmed = false;
    event->accept();
}

void TFrameImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_clickArmed) {
        QFrame::mouseReleaseEvent(event);
        return;
    }
    m_clickArmed = false;
    event->accept();
    if (rect().contains(event->position().toPoint()))
        ChangeBorder_SelectedMark(true);
}

// Magnifier ------------------------------------------------------------------------------------

void TFrameImage::ensureSquare()
{
    if (FMovingPanel)
        return;
    // Made on first use: the archive's thousand thumbnail frames never need one.
    FMovingPanel = new QFrame(RzPanel2);
    FMovingPanel->setObjectName(QStringLiteral("FMovingPanel"));
    FMovingPanel->setAutoFillBackground(true);
    FMovingPanel->resize(kSquareDesignWidth, kSquareDesignHeight);
    FMovingPanel->hide();

    FImage = new PictureView(FMovingPanel);
    FImage->setObjectName(QStringLiteral("FImage"));
    FImage->setFrameShape(QFrame::NoFrame);
    FImage->setScrollBarsVisible(false);
    FImage->setZoomMode(zmPercent);
    auto* layout = new QVBoxLayout(FMovingPanel);
    layout->setSpacing(0);
    layout->addWidget(FImage);
    // Under an implicit grab the picture view gets the moves; these come only when the square
    // itself was pressed.
    connect(FImage, &PictureView::moved, this,
            [this](Qt::MouseButtons, QPoint pos) { onSquareMoved(pos); });
    connect(FImage, &PictureView::released, this, [this] { hideMagnifier(); });

    if (FManifierWidth != kSquareDesignWidth)
        FMovingPanel->resize(FManifierWidth, FManifierWidth);
    applySquareBorder();
}

void TFrameImage::applySquareBorder()
{
    if (!FMovingPanel)
        return;
    const int inset = FManifierHasFrame ? kSquareBorder : 0;
    FMovingPanel->setFrameStyle(FManifierHasFrame ? (QFrame::Panel | QFrame::Raised)
                                                  : QFrame::NoFrame);
    FMovingPanel->setLineWidth(1);
    // The frame's own width is already outside the contents rectangle.
    const int band = FManifierHasFrame ? inset - FMovingPanel->frameWidth() : 0;
    FMovingPanel->layout()->setContentsMargins(band, band, band, band);
    QPalette p = FMovingPanel->palette();
    p.setColor(QPalette::Window, FManifierHasFrame && FManifierFrameColor.isValid()
                                     ? FManifierFrameColor
                                     : faceColour());
    FMovingPanel->setPalette(p);
    FMovingPanel->layout()->activate();
}

void TFrameImage::PrepairCtrl()
{
    ensureSquare();
    FCropped = QImage();
    FImage->setZoomMode(zmPercent);
    if (!FSyncronizeCursor) {
        FSyncronizeCursor = new QTimer(this);
        FSyncronizeCursor->setObjectName(QStringLiteral("FSyncronizeCursor"));
        FSyncronizeCursor->setInterval(kRefreshMs);
        connect(FSyncronizeCursor, &QTimer::timeout, this, [this] {
            if (FImage && FImage->isVisible())
                UpdateDisplay();
        });
    }
    FUpdating = false;
    FManifierZoom = 2.0;
    FUseManifier = true;
    if (FMagnifierState == MagnifierState::Off)
        FMagnifierState = MagnifierState::Armed;
}

void TFrameImage::SetManifierZoom(double factor)
{
    if (factor > 0.0)
        FManifierZoom = factor;
}

void TFrameImage::SetManifierWidth(int side)
{
    FManifierWidth = std::max(1, side);
    ensureSquare();
    FMovingPanel->resize(FManifierWidth, FManifierWidth);
    FMovingPanel->layout()->activate();
}

void TFrameImage::SetManifierFrameColor(bool hasFrame, const QColor& frameColor)
{
    FManifierHasFrame = hasFrame;
    FManifierFrameColor = frameColor;
    ensureSquare();
    applySquareBorder();
}

QWidget* TFrameImage::magnifierSquare() const
{
    return FMovingPanel;
}

QPoint TFrameImage::picturePointAt(QPoint viewPos) const
{
    // One scale from the widths for both axes, measured from the displayed picture's corner
    // (the view centres a picture smaller than itself).
    const QSize displayed = FSource->displayedSize();
    const int pictureWidth = FSource->picture().width();
    const double s =
        displayed.width() > 0 && pictureWidth > 0 ? double(pictureWidth) / displayed.width() : 1.0;
    const QPoint origin = FSource->pictureRect().topLeft();
    return QPoint(roundHalfEven((viewPos.x() - origin.x()) * s),
                  roundHalfEven((viewPos.y() - origin.y()) * s));
}

QPoint TFrameImage::GetMousePos() const
{
    return picturePointAt(FSource->viewport()->mapFromGlobal(QCursor::pos()));
}

void TFrameImage::UpdateDisplay()
{
    refreshAt(GetMousePos());
}

void TFrameImage::refreshAt(QPoint picturePoint)
{
    if (!FUseManifier || !FImage || !isVisible() || FUpdating)
        return;
    FUpdating = true;
    struct Clear
    {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{FUpdating};

    FOldPos = picturePoint;
    // From the sizes, not the viewport: a hidden square has not laid out its viewport yet.
    const QSize client = FImage->maximumViewportSize();
    const QImage& picture = FSource->picture();
    FRegion = ::magnifierRegion(picturePoint, client, FManifierZoom, picture.size());
    if (FRegion.isEmpty()) {
        FImage->hide();
        return;
    }
    // Only the region is copied and scaled, never the whole picture.
    FCropped =
        picture.copy(FRegion).scaled(client, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    FImage->setPicture(FCropped);
    FImage->show();
    FImage->viewport()->update();
}

void TFrameImage::centreSquareAt(QPoint viewPos)
{
    const QPoint at = FSource->viewport()->mapTo(RzPanel2, viewPos);
    FMovingPanel->move(roundHalfEven(at.x() - FMovingPanel->width() / 2.0),
                       roundHalfEven(at.y() - FMovingPanel->height() / 2.0));
}

void TFrameImage::onSourcePressed(Qt::MouseButton button, QPoint viewPos)
{
    if (!FUseManifier || button != Qt::RightButton)
        return;
    centreSquareAt(viewPos);
    FMovingPanel->show();
    FMovingPanel->raise();
    FMagnifierState = MagnifierState::Shown;
    FSyncronizeCursor->start();
    refreshAt(picturePointAt(viewPos));
}

void TFrameImage::onSourceMoved(QPoint viewPos)
{
    if (FMagnifierState != MagnifierState::Shown)
        return;
    centreSquareAt(viewPos);
    refreshAt(picturePointAt(viewPos));
}

void TFrameImage::onSquareMoved(QPoint squareViewPos)
{
    if (FMagnifierState != MagnifierState::Shown)
        return;
    onSourceMoved(
        FSource->viewport()->mapFrom(this, FImage->viewport()->mapTo(this, squareViewPos)));
}

// A hidden frame may never see the release; the square must not stay up with its timer.
void TFrameImage::hideEvent(QHideEvent* event)
{
    hideMagnifier();
    QFrame::hideEvent(event);
}

void TFrameImage::hideMagnifier()
{
    if (FMagnifierState != MagnifierState::Shown)
        return;
    FMagnifierState = MagnifierState::Armed;
    FSyncronizeCursor->stop();
    FMovingPanel->hide();
    FImage->clear();
}
