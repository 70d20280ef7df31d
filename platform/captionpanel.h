#pragma once

#include <QFrame>
#include <QString>

// A container that may show a caption of its own, centred, as the design's panels do.
class CaptionPanel : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
public:
    explicit CaptionPanel(QWidget* parent = nullptr);
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    void setCaptionAlignment(Qt::Alignment alignment);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignCenter;
};
