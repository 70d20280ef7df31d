#pragma once

#include "equipment.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// The snapshot button of a USB video camera, which the uvcvideo driver reports as an input
// device sending KEY_CAMERA while the video is open. It answers the three hand-piece functions
// so that the capture window can poll it like the vendor's library.
//
// Presses are latched between polls, so a 10 ms poll never misses a short one. The latch is a
// single flag: a second press before the poll that reports the first gives no second picture.
// Presses are taken only from half a second after videoStarted(); cameras fire one when their
// stream starts, and before live video has started there is nothing to photograph.
class CameraButton : public Equipment
{
public:
    // The address the capture window reads the button at.
    static constexpr int ButtonAddress = 133;
    static constexpr int Pressed = 0x7F;
    static constexpr int Released = 0xFF;
    static constexpr qint64 StartUpQuietMs = 500;

    struct Options
    {
        // Where sysfs and device nodes are mounted.
        QString sysRoot = QStringLiteral("/sys");
        QString devRoot = QStringLiteral("/dev");
        // Opens a device node read-only and non-blocking: a descriptor, or -errno.
        std::function<int(const QString& path)> open;
        // Monotonic milliseconds.
        std::function<qint64()> clock;
    };

    CameraButton();
    explicit CameraButton(Options options);
    ~CameraButton() override;

    int InitEquipment() override;
    int ReadFromEquipment(int address) override;
    int CloseEquipment() override;
    void videoStarted() override;
    QString failureReason(int languageIndex) const override;

    // Whether a sysfs key capability bitmap (hex words, most significant first) holds the key.
    static bool hasKey(const QByteArray& bitmap, int code);
    // Device nodes of the input devices that report KEY_CAMERA, in event number order.
    QStringList findButtonNodes() const;
    // Descriptors of the devices open now.
    std::vector<int> openDescriptors() const;

private:
    struct Device
    {
        QString node;
        int fd = -1;
        QByteArray partial;
    };

    void readPending();
    bool readDevice(Device& device);
    qint64 now() const;

    Options m_options;
    QElapsedTimer m_elapsed;
    std::vector<Device> m_devices;
    QStringList m_deniedNodes;
    qint64 m_videoStartedAt = -1;
    bool m_pressPending = false;
};
