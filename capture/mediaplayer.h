#pragma once

#include <QString>
#include <QWidget>

class QToolButton;
class VideoPipeline;

// The player of the recording: play, pause, stop, step and back buttons over a pipeline that
// draws into the window's video area. Each button reports itself first; the owner decides
// whether the button's own action follows.
class TMediaPlayer : public QWidget
{
    Q_OBJECT
public:
    enum Button
    {
        btPlay,
        btPause,
        btStop,
        btStep,
        btBack
    };

    explicit TMediaPlayer(QWidget* parent = nullptr);
    ~TMediaPlayer() override;

    QString FileName;
    // Opens FileName, paused on its first frame; false when it cannot be played.
    bool Open();
    void Close();
    bool isOpen() const;

    void Play();
    void Pause();
    void Stop();
    void Step();
    void Back();
    void perform(Button button);

    // The pipeline whose frames the owner shows; lives as long as the player.
    VideoPipeline* pipeline() const { return m_pipeline; }
    void setDisplaySize(QSize size) { m_displaySize = size; }
    QToolButton* button(Button b) const { return m_buttons[b]; }

Q_SIGNALS:
    // Before the button's action; clear doDefault to prevent it.
    void click(TMediaPlayer::Button button, bool& doDefault);

private:
    VideoPipeline* m_pipeline;
    QToolButton* m_buttons[5] = {};
    QSize m_displaySize{640, 512};
};
