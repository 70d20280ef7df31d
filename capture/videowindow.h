#pragma once

#include <QImage>
#include <QWidget>

// The black video area: shows the newest frame handed to it, stretched to its size.
class TVideoWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TVideoWindow(QWidget* parent = nullptr);

    void setFrame(const QImage& frame);
    // Back to black.
    void clear();
    const QImage& frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage m_frame;
};
