#pragma once

#include "videodevices.h"

#include <QList>

// Cameras made of GStreamer's test pattern source, for the tests, the tour and the benchmarks;
// the program itself never lists them. Each delivers YUY2 frames of its size and rate, as a
// USB camera does.
struct TestPatternCamera
{
    QString description;
    QString friendlyName;
    QString path;
    int width = 640;
    int height = 480;
    int fps = 30;
    QString pattern = QStringLiteral("smpte"); // a videotestsrc pattern
};

class TestPatternDevices : public VideoDeviceSource
{
public:
    explicit TestPatternDevices(QList<TestPatternCamera> cameras) : m_cameras(std::move(cameras)) {}
    QList<VideoDevice> devices() override;

private:
    QList<TestPatternCamera> m_cameras;
};
