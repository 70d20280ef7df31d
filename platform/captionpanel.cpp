#include "captionpanel.h"

#include <QPainter>

CaptionPanel::CaptionPanel(QWidget* parent) : QFrame(parent) {}

void CaptionPanel::setCaption(const QString& caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    update();
}

void CaptionPanel::setCaptionAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

void CaptionPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_caption.isEmpty())
        return;
    QPainter p(this);
    p.drawText(contentsRect().adjusted(4, 0, -4, 0), int(m_alignment), m_caption);
}
