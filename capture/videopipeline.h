#pragma once

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSize>
#include <QString>
#include <QWaitCondition>
#include <atomic>

struct VideoDevice;
typedef struct _GstElement GstElement;
typedef struct _GstSample GstSample;

// The one GStreamer pipeline of a video area: live video with a still branch, live video while
// recording, or a recorded file. Frames for the screen are scaled to the area's size on the
// streaming threads and handed to the user-interface thread as the newest one only, so a busy
// interface drops frames instead of holding up the camera.
class VideoPipeline : public QObject
{
    Q_OBJECT
public:
    enum class Mode
    {
        None,
        Photograph,
        Recording,
        Playback
    };

    explicit VideoPipeline(QObject* parent = nullptr);
    ~VideoPipeline() override;

    // Live video plus the still branch, whose sink keeps the last frame in BGR.
    bool startPhotograph(const VideoDevice& device, QSize previewSize);
    // Live video plus the device's frames written uncompressed (24-bit BGR) into an AVI file.
    bool startRecording(const VideoDevice& device, QSize previewSize, const QString& file);
    // A recorded file, paused on its first frame.
    bool openFile(const QString& file, QSize previewSize);

    // Playback controls; nothing happens without an open file.
    void play();
    void pause();
    void rewind();
    void stepForward();
    void stepBack();

    // Ends whatever runs and releases the pipeline. A recording is finished first, so that the
    // file's header holds its frame count; that wait is bounded.
    void stop();

    bool isActive() const { return m_pipeline != nullptr; }
    Mode mode() const { return m_mode; }
    bool atEnd() const { return m_eos; }

    // The last frame of the still branch as a 24-bit picture; false when there is none.
    bool grabStill(QImage& bitmap) const;

    // Frames handed to the screen since this object was made.
    quint64 framesShown() const { return m_framesShown; }

Q_SIGNALS:
    void frameReady(const QImage& frame);
    // The first frame of live video has reached the screen.
    void videoStarted();

private:
    bool startLive(const VideoDevice& device, const QString& branches, Mode mode);
    bool run(GstElement* pipeline, Mode mode, bool paused);
    void attachPreview(GstElement* sink);
    void waitForState();
    void seekTo(qint64 position);
    QString previewCaps(QSize size) const;

    friend struct VideoPipelineCallbacks;
    // Streaming threads: a frame for the screen, the end of the stream, a failure.
    void takeFrame(GstSample* sample);
    void streamEnded(bool failed);
    void deliver();

    GstElement* m_pipeline = nullptr;
    GstElement* m_still = nullptr;
    GstElement* m_preview = nullptr;
    Mode m_mode = Mode::None;
    QString m_recordingFile;
    bool m_announceStart = false;
    quint64 m_framesShown = 0;

    QMutex m_frameLock;
    QImage m_pending; // newest frame not yet on screen
    qint64 m_pendingTime = -1;
    qint64 m_shownTime = -1; // stream time of the frame on screen
    std::atomic<bool> m_posted{false};

    QMutex m_busLock;
    QWaitCondition m_busEvent;
    std::atomic<bool> m_eos{false};
    std::atomic<bool> m_failed{false};
};
