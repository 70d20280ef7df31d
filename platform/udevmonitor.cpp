#include "udevmonitor.h"

#include <QList>
#include <QPointer>
#include <QSocketNotifier>

#include <libudev.h>

UsbDeviceMonitor::UsbDeviceMonitor(QObject* parent) : QObject(parent)
{
    m_udev = udev_new();
    if (!m_udev)
        return;
    // "udev": events after udev has processed them, so the device node exists.
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "usb", "usb_device") < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        release();
        return;
    }
    const int fd = udev_monitor_get_fd(m_monitor);
    if (fd < 0) {
        release();
        return;
    }
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UsbDeviceMonitor::readEvents);
}

UsbDeviceMonitor::~UsbDeviceMonitor()
{
    release();
}

void UsbDeviceMonitor::release()
{
    // The notifier must stop watching before its descriptor is closed.
    delete m_notifier;
    m_notifier = nullptr;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    m_monitor = nullptr;
    if (m_udev)
        udev_unref(m_udev);
    m_udev = nullptr;
}

void UsbDeviceMonitor::handleAction(const QByteArray& action)
{
    if (action == "add")
        emit deviceArrived();
    else if (action == "remove")
        emit deviceRemoved();
}

void UsbDeviceMonitor::readEvents()
{
    // The monitor's socket does not block: drain what is queued. Actions are taken first
    // because a receiver may run a nested event loop, or delete this monitor.
    QList<QByteArray> actions;
    while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
        if (const char* action = udev_device_get_action(device))
            actions.append(QByteArray(action));
        udev_device_unref(device);
    }
    const QPointer<UsbDeviceMonitor> self(this);
    for (const QByteArray& action : std::as_const(actions)) {
        if (!self)
            return;
        handleAction(action);
    }
}
