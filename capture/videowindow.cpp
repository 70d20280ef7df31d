#include "videowindow.h"

#include <QPainter>

TVideoWindow::TVideoWindow(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void TVideoWindow::setFrame(const QImage& frame)
{
    m_frame = frame;
    update();
}

void TVideoWindow::clear()
{
    m_frame = QImage();
    update();
}

void TVideoWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_frame.isNull())
        p.fillRect(rect(), Qt::black);
    else
        p.drawImage(rect(), m_frame);
}
