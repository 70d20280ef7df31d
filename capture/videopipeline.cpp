#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include "videopipeline.h"

#include "framegrab.h"
#include "videodevices.h"

#include <QDeadlineTimer>
#include <QMutexLocker>
#include <QtDebug>
#include <cstring>

namespace {

// Long enough for a camera to start or a recording to be finished, short enough that closing
// the window never seems to hang.
constexpr GstClockTime kStateWait = 3 * GST_SECOND;
constexpr int kFinishWaitMs = 3000;

// Each branch holds at most two frames in its queue and drops the oldest when it falls
// behind, so neither the screen nor the still sink can stall the camera.
const char* const kLeakyQueue =
    "queue leaky=downstream max-size-buffers=2 max-size-bytes=0 max-size-time=0";

void linkDecoded(GstElement*, GstPad* pad, gpointer tee)
{
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const bool video =
        caps && gst_caps_get_size(caps) > 0 &&
        g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "video/x-raw");
    if (caps)
        gst_caps_unref(caps);
    if (!video)
        return;
    GstPad* sink = gst_element_get_static_pad(GST_ELEMENT(tee), "sink");
    if (!gst_pad_is_linked(sink))
        gst_pad_link(pad, sink);
    gst_object_unref(sink);
}

} // namespace

struct VideoPipelineCallbacks
{
    static GstFlowReturn sample(GstAppSink* sink, gpointer self)
    {
        GstSample* sample = gst_app_sink_pull_sample(sink);
        if (sample) {
            static_cast<VideoPipeline*>(self)->takeFrame(sample);
            gst_sample_unref(sample);
        }
        return GST_FLOW_OK;
    }
    static GstFlowReturn preroll(GstAppSink* sink, gpointer self)
    {
        GstSample* sample = gst_app_sink_pull_preroll(sink);
        if (sample) {
            static_cast<VideoPipeline*>(self)->takeFrame(sample);
            gst_sample_unref(sample);
        }
        return GST_FLOW_OK;
    }
    static GstBusSyncReply bus(GstBus*, GstMessage* message, gpointer self)
    {
        auto* pipeline = static_cast<VideoPipeline*>(self);
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            pipeline->streamEnded(false);
            break;
        case GST_MESSAGE_ERROR: {
            GError* error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            qWarning("video: %s", error ? error->message : "unknown error");
            if (error)
                g_error_free(error);
            pipeline->streamEnded(true);
            break;
        }
        default:
            break;
        }
        // Nobody reads the bus; what matters has been noted.
        gst_message_unref(message);
        return GST_BUS_DROP;
    }
};

VideoPipeline::VideoPipeline(QObject* parent) : QObject(parent)
{
    ensureGStreamer();
}

VideoPipeline::~VideoPipeline()
{
    stop();
}

QString VideoPipeline::previewCaps(QSize size) const
{
    // An empty video area still needs a frame size to negotiate.
    return QStringLiteral("video/x-raw,format=BGRx,width=%1,height=%2,pixel-aspect-ratio=1/1")
        .arg(qMax(2, size.width()))
        .arg(qMax(2, size.height()));
}

bool VideoPipeline::startPhotograph(const VideoDevice& device, QSize previewSize)
{
    const QString branches =
        QStringLiteral("t. ! %1 ! videoscale add-borders=true ! videoconvert ! %2 ! "
                       "appsink name=preview max-buffers=1 drop=true sync=false "
                       "t. ! %1 ! videoconvert ! video/x-raw,format=BGR ! "
                       "appsink name=still max-buffers=1 drop=true sync=false wait-on-eos=false "
                       "enable-last-sample=true")
            .arg(QString::fromLatin1(kLeakyQueue), previewCaps(previewSize));
    return startLive(device, branches, Mode::Photograph) && !!m_still;
}

bool VideoPipeline::startRecording(const VideoDevice& device, QSize previewSize,
                                   const QString& file)
{
    const QString branches =
        QStringLiteral("t. ! %1 ! videoscale add-borders=true ! videoconvert ! %2 ! "
                       "appsink name=preview max-buffers=1 drop=true sync=false "
                       "t. ! queue max-size-buffers=60 max-size-bytes=0 max-size-time=0 ! "
                       "videoconvert ! video/x-raw,format=BGR ! avimux ! filesink name=file")
            .arg(QString::fromLatin1(kLeakyQueue), previewCaps(previewSize));
    m_recordingFile = file;
    return startLive(device, branches, Mode::Recording);
}

bool VideoPipeline::startLive(const VideoDevice& device, const QString& branches, Mode mode)
{
    stop();
    GstElement* source = device.createSource ? device.createSource() : nullptr;
    if (!source)
        return false;
    GError* error = nullptr;
    const QByteArray launch = "tee name=t allow-not-linked=true " + branches.toUtf8();
    GstElement* pipeline = gst_parse_launch(launch.constData(), &error);
    if (error) {
        qWarning("video: %s", error->message);
        g_error_free(error);
    }
    if (!pipeline) {
        gst_object_unref(gst_object_ref_sink(source));
        return false;
    }
    if (GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "file")) {
        g_object_set(sink, "location", m_recordingFile.toLocal8Bit().constData(), nullptr);
        gst_object_unref(sink);
    }
    // A decoder goes between camera and tee when the camera sends compressed frames.
    GstElement* decode = gst_element_factory_make("decodebin", nullptr);
    gst_bin_add_many(GST_BIN(pipeline), source, decode, nullptr);
    GstElement* tee = gst_bin_get_by_name(GST_BIN(pipeline), "t");
    g_signal_connect(decode, "pad-added", G_CALLBACK(linkDecoded), tee);
    gst_object_unref(tee); // the pipeline keeps it
    if (!gst_element_link(source, decode)) {
        gst_object_unref(pipeline);
        return false;
    }
    m_still = gst_bin_get_by_name(GST_BIN(pipeline), "still");
    attachPreview(gst_bin_get_by_name(GST_BIN(pipeline), "preview"));
    m_announceStart = true;
    return run(pipeline, mode, false);
}

bool VideoPipeline::openFile(const QString& file, QSize previewSize)
{
    stop();
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    if (!playbin)
        return false;
    GError* error = nullptr;
    const QByteArray sinkLaunch =
        QStringLiteral("videoscale add-borders=true ! videoconvert ! %1 ! "
                       "appsink name=preview max-buffers=1 sync=true")
            .arg(previewCaps(previewSize))
            .toUtf8();
    GstElement* sinkBin = gst_parse_bin_from_description(sinkLaunch.constData(), TRUE, &error);
    if (error)
        g_error_free(error);
    if (!sinkBin) {
        gst_object_unref(playbin);
        return false;
    }
    gchar* uri = gst_filename_to_uri(file.toLocal8Bit().constData(), nullptr);
    // Video only: a recording has no sound.
    g_object_set(playbin, "uri", uri, "video-sink", sinkBin, "flags", 1, nullptr);
    g_free(uri);
    attachPreview(gst_bin_get_by_name(GST_BIN(sinkBin), "preview"));
    return run(playbin, Mode::Playback, true);
}

void VideoPipeline::attachPreview(GstElement* sink)
{
    m_preview = sink;
    if (!sink)
        return;
    GstAppSinkCallbacks callbacks;
    std::memset(&callbacks, 0, sizeof callbacks);
    callbacks.new_sample = &VideoPipelineCallbacks::sample;
    callbacks.new_preroll = &VideoPipelineCallbacks::preroll;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
}

bool VideoPipeline::run(GstElement* pipeline, Mode mode, bool paused)
{
    m_pipeline = pipeline;
    m_mode = mode;
    m_eos = false;
    m_failed = false;
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, &VideoPipelineCallbacks::bus, this, nullptr);
    gst_object_unref(bus);
    const GstStateChangeReturn r =
        gst_element_set_state(pipeline, paused ? GST_STATE_PAUSED : GST_STATE_PLAYING);
    if (r == GST_STATE_CHANGE_FAILURE) {
        stop();
        return false;
    }
    if (paused)
        waitForState();
    return true;
}

void VideoPipeline::waitForState()
{
    if (m_pipeline)
        gst_element_get_state(m_pipeline, nullptr, nullptr, kStateWait);
}

void VideoPipeline::stop()
{
    if (!m_pipeline)
        return;
    if (m_mode == Mode::Recording && !m_failed) {
        // The multiplexer writes the frame count into the header when the stream ends.
        m_eos = false;
        gst_element_send_event(m_pipeline, gst_event_new_eos());
        QMutexLocker lock(&m_busLock);
        const QDeadlineTimer deadline(kFinishWaitMs);
        while (!m_eos && !m_failed) {
            if (!m_busEvent.wait(&m_busLock, deadline))
                break;
        }
    }
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    GstBus* bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    if (m_still)
        gst_object_unref(m_still);
    if (m_preview)
        gst_object_unref(m_preview);
    gst_object_unref(m_pipeline);
    m_pipeline = m_still = m_preview = nullptr;
    m_mode = Mode::None;
    m_announceStart = false;
    m_shownTime = -1;
    QMutexLocker lock(&m_frameLock);
    m_pending = QImage();
}

void VideoPipeline::seekTo(qint64 position)
{
    gst_element_seek_simple(m_pipeline, GST_FORMAT_TIME,
                            GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                            qMax<qint64>(0, position));
    waitForState();
}

void VideoPipeline::play()
{
    if (m_mode != Mode::Playback)
        return;
    if (m_eos) {
        m_eos = false;
        seekTo(0);
    }
    gst_element_set_state(m_pipeline, GST_STATE_PLAYING);
}

void VideoPipeline::pause()
{
    if (m_mode != Mode::Playback)
        return;
    gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    waitForState();
}

void VideoPipeline::rewind()
{
    if (m_mode != Mode::Playback)
        return;
    pause();
    m_eos = false;
    seekTo(0);
}

void VideoPipeline::stepForward()
{
    if (m_mode != Mode::Playback || m_eos)
        return;
    pause();
    gst_element_send_event(m_pipeline, gst_event_new_step(GST_FORMAT_BUFFERS, 1, 1.0, TRUE, FALSE));
    waitForState();
}

void VideoPipeline::stepBack()
{
    if (m_mode != Mode::Playback)
        return;
    pause();
    // The frame on screen is the reference: the player's position may already be past it.
    const qint64 shown = m_shownTime;
    if (shown < 0)
        return;
    gint64 frame = 40 * GST_MSECOND;
    if (m_preview) {
        GstPad* pad = gst_element_get_static_pad(m_preview, "sink");
        if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
            GstVideoInfo info;
            if (gst_video_info_from_caps(&info, caps) && info.fps_n > 0)
                frame = gint64(gst_util_uint64_scale(GST_SECOND, info.fps_d, info.fps_n));
            gst_caps_unref(caps);
        }
        gst_object_unref(pad);
    }
    m_eos = false;
    // Into the middle of the frame before: timestamps rounded to nanoseconds must not land on
    // the boundary of the one before that.
    seekTo(qMax<qint64>(0, shown - frame / 2));
}

bool VideoPipeline::grabStill(QImage& bitmap) const
{
    if (!m_still)
        return false;
    GstSample* sample = nullptr;
    g_object_get(m_still, "last-sample", &sample, nullptr);
    const bool ok = SampleToBitmap(sample, bitmap);
    if (sample)
        gst_sample_unref(sample);
    return ok;
}

void VideoPipeline::takeFrame(GstSample* sample)
{
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoInfo info;
    if (!caps || !buffer || !gst_video_info_from_caps(&info, caps))
        return;
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ))
        return;
    const int width = GST_VIDEO_FRAME_WIDTH(&frame);
    const int height = GST_VIDEO_FRAME_HEIGHT(&frame);
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
    const auto* data = static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), data + qsizetype(y) * stride, size_t(width) * 4);
    gst_video_frame_unmap(&frame);
    {
        QMutexLocker lock(&m_frameLock);
        m_pending = std::move(image);
        m_pendingTime = GST_BUFFER_PTS_IS_VALID(buffer) ? qint64(GST_BUFFER_PTS(buffer)) : -1;
    }
    // One delivery waits in the event queue at a time; it takes the newest frame.
    if (!m_posted.exchange(true))
        QMetaObject::invokeMethod(this, &VideoPipeline::deliver, Qt::QueuedConnection);
}

void VideoPipeline::streamEnded(bool failed)
{
    QMutexLocker lock(&m_busLock);
    if (failed)
        m_failed = true;
    else
        m_eos = true;
    m_busEvent.wakeAll();
}

void VideoPipeline::deliver()
{
    m_posted = false;
    QImage frame;
    qint64 time = -1;
    {
        QMutexLocker lock(&m_frameLock);
        frame = std::move(m_pending);
        m_pending = QImage();
        time = m_pendingTime;
    }
    if (frame.isNull())
        return;
    m_shownTime = time;
    ++m_framesShown;
    emit frameReady(frame);
    if (m_announceStart) {
        m_announceStart = false;
        emit videoStarted();
    }
}
