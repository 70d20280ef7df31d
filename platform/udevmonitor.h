#pragma once

#include <QByteArray>
#include <QObject>

class QSocketNotifier;
struct udev;
struct udev_monitor;

// Tells when a USB device is plugged in or pulled out, from udev's netlink events.
// Where there is no netlink or udev (containers), it stays inactive and never reports.
class UsbDeviceMonitor : public QObject
{
    Q_OBJECT
public:
    explicit UsbDeviceMonitor(QObject* parent = nullptr);
    ~UsbDeviceMonitor() override;

    bool isActive() const { return m_notifier != nullptr; }

    // The step from a udev action to a signal: "add" and "remove"; other actions mean nothing.
    void handleAction(const QByteArray& action);

Q_SIGNALS:
    void deviceArrived();
    void deviceRemoved();

private:
    void readEvents();
    void release();

    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    QSocketNotifier* m_notifier = nullptr;
};
