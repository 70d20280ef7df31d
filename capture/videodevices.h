#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>

typedef struct _GstElement GstElement;

// Makes sure GStreamer is initialised; safe to call any number of times.
void ensureGStreamer();

// One video source the capture window can offer.
struct VideoDevice
{
    QString description;  // shown when not empty
    QString friendlyName; // shown otherwise
    QString path;         // the device node; two entries with one path are one camera
    // A new source element (or bin) for a pipeline; nullptr when the device cannot be opened.
    std::function<GstElement*()> createSource;

    // The text of the device's list entry.
    QString entryText() const;
};

// Where the capture window finds its cameras.
class VideoDeviceSource
{
public:
    virtual ~VideoDeviceSource() = default;
    // The devices in the order they are listed.
    virtual QList<VideoDevice> devices() = 0;
};

// The cameras GStreamer's device monitor reports as "Video/Source", every provider included,
// each camera once.
class MonitorDeviceSource : public VideoDeviceSource
{
public:
    QList<VideoDevice> devices() override;
};

// Keeps the first of the devices sharing a path; devices without a path are all kept.
QList<VideoDevice> uniqueByPath(const QList<VideoDevice>& devices);
