#include "testpatterncamera.h"

#include <gst/gst.h>

QList<VideoDevice> TestPatternDevices::devices()
{
    ensureGStreamer();
    QList<VideoDevice> list;
    for (const TestPatternCamera& c : m_cameras) {
        VideoDevice d;
        d.description = c.description;
        d.friendlyName = c.friendlyName;
        d.path = c.path;
        const QByteArray launch =
            QStringLiteral(
                "videotestsrc is-live=true pattern=%1 ! "
                "capsfilter caps=video/x-raw,format=YUY2,width=%2,height=%3,framerate=%4/1")
                .arg(c.pattern)
                .arg(c.width)
                .arg(c.height)
                .arg(c.fps)
                .toUtf8();
        d.createSource = [launch]() -> GstElement* {
            GError* error = nullptr;
            GstElement* bin = gst_parse_bin_from_description(launch.constData(), TRUE, &error);
            if (error)
                g_error_free(error);
            return bin;
        };
        list << d;
    }
    return list;
}
