#include "videodevices.h"

#include <gst/gst.h>

#include <QSet>

void ensureGStreamer()
{
    static const bool initialised = [] {
        gst_init(nullptr, nullptr);
        return true;
    }();
    Q_UNUSED(initialised);
}

QString VideoDevice::entryText() const
{
    if (!description.isEmpty())
        return description;
    if (!friendlyName.isEmpty())
        return friendlyName;
    return path;
}

QList<VideoDevice> uniqueByPath(const QList<VideoDevice>& devices)
{
    QList<VideoDevice> unique;
    QSet<QString> seen;
    for (const VideoDevice& d : devices) {
        if (!d.path.isEmpty()) {
            if (seen.contains(d.path))
                continue;
            seen.insert(d.path);
        }
        unique << d;
    }
    return unique;
}

namespace {

QString stringProperty(const GstStructure* props, const char* name)
{
    if (!props)
        return {};
    const gchar* value = gst_structure_get_string(props, name);
    return value ? QString::fromUtf8(value) : QString();
}

} // namespace

QList<VideoDevice> MonitorDeviceSource::devices()
{
    ensureGStreamer();
    GstDeviceMonitor* monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Video/Source", nullptr);
    // Where PipeWire manages the cameras its provider hides the v4l2 one; both are listed
    // and the duplicates removed by path instead.
    gst_device_monitor_set_show_all_devices(monitor, TRUE);
    QList<VideoDevice> found;
    GList* list = gst_device_monitor_get_devices(monitor);
    for (GList* it = list; it; it = it->next) {
        auto* device = GST_DEVICE(it->data);
        GstStructure* props = gst_device_get_properties(device);
        VideoDevice d;
        d.description = stringProperty(props, "device.description");
        gchar* name = gst_device_get_display_name(device);
        d.friendlyName = name ? QString::fromUtf8(name) : QString();
        g_free(name);
        d.path = stringProperty(props, "device.path");
        if (d.path.isEmpty())
            d.path = stringProperty(props, "api.v4l2.path");
        if (props)
            gst_structure_free(props);
        std::shared_ptr<GstDevice> held(GST_DEVICE(gst_object_ref(device)),
                                        [](GstDevice* p) { gst_object_unref(p); });
        d.createSource = [held]() -> GstElement* {
            return gst_device_create_element(held.get(), nullptr);
        };
        found << d;
    }
    g_list_free_full(list, gst_object_unref);
    gst_object_unref(monitor);
    return uniqueByPath(found);
}
