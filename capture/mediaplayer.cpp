#include "mediaplayer.h"

#include "videopipeline.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

TMediaPlayer::TMediaPlayer(QWidget* parent) : QWidget(parent), m_pipeline(new VideoPipeline(this))
{
    m_pipeline->setObjectName(QStringLiteral("MediaPlayer1Pipeline"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    const struct
    {
        Button button;
        const char* name;
        QStyle::StandardPixmap icon;
    } buttons[] = {
        {btPlay, "MediaPlayer1Play", QStyle::SP_MediaPlay},
        {btPause, "MediaPlayer1Pause", QStyle::SP_MediaPause},
        {btStop, "MediaPlayer1Stop", QStyle::SP_MediaStop},
        {btStep, "MediaPlayer1Step", QStyle::SP_MediaSeekForward},
        {btBack, "MediaPlayer1Back", QStyle::SP_MediaSeekBackward},
    };
    for (const auto& b : buttons) {
        auto* tool = new QToolButton(this);
        tool->setObjectName(QString::fromLatin1(b.name));
        tool->setIcon(style()->standardIcon(b.icon));
        tool->setFixedSize(26, 26);
        tool->setAutoRaise(false);
        row->addWidget(tool);
        m_buttons[b.button] = tool;
        const Button which = b.button;
        connect(tool, &QToolButton::clicked, this, [this, which] {
            bool doDefault = true;
            emit click(which, doDefault);
            if (doDefault)
                perform(which);
        });
    }
}

TMediaPlayer::~TMediaPlayer() = default;

bool TMediaPlayer::Open()
{
    if (FileName.isEmpty() || !QFileInfo(FileName).isFile())
        return false;
    return m_pipeline->openFile(FileName, m_displaySize);
}

void TMediaPlayer::Close()
{
    m_pipeline->stop();
}

bool TMediaPlayer::isOpen() const
{
    return m_pipeline->mode() == VideoPipeline::Mode::Playback;
}

void TMediaPlayer::Play()
{
    // The video area may have shown live video since the file was opened.
    if (!isOpen())
        Open();
    m_pipeline->play();
}

void TMediaPlayer::Pause()
{
    m_pipeline->pause();
}

void TMediaPlayer::Stop()
{
    m_pipeline->rewind();
}

void TMediaPlayer::Step()
{
    m_pipeline->stepForward();
}

void TMediaPlayer::Back()
{
    m_pipeline->stepBack();
}

void TMediaPlayer::perform(Button button)
{
    switch (button) {
    case btPlay:
        Play();
        break;
    case btPause:
        Pause();
        break;
    case btStop:
        Stop();
        break;
    case btStep:
        Step();
        break;
    case btBack:
        Back();
        break;
    }
}
