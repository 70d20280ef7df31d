#include "frameimage.h"

#include "captionpanel.h"
#include "clientdataset.h"
#include "dberror.h"
#include "imagecodec.h"

#include <QApplication>
#include <QDate>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QVBoxLayout>

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
