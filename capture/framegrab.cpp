#include "framegrab.h"

#include <gst/gst.h>
#include <gst/video/video.h>

#include <algorithm>
#include <cstring>

int GetDIBLineSize(int bitCount, int width)
{
    const int bits = bitCount == 15 ? 16 : bitCount;
    return (width * bits + 31) / 32 * 4;
}

bool FrameToBitmap(const RawFrame& frame, QImage& bitmap)
{
    if (frame.width <= 0 || frame.height <= 0 || !frame.data || frame.size <= 0)
        return false;
    const qsizetype lineSize = GetDIBLineSize(24, frame.width);
    const qsizetype stride = frame.stride > 0 ? frame.stride : lineSize;
    if (stride < qsizetype(frame.width) * 3)
        return false;
    const qsizetype imageSize = lineSize * frame.height;
    // Bytes of the frame that fall inside the image, counted in bitmap rows as a copy of
    // min(image size, buffer length) would place them.
    const qsizetype available = std::min(imageSize, frame.size * lineSize / stride);

    QImage image(frame.width, frame.height, QImage::Format_BGR888);
    if (image.isNull())
        return false;
    image.fill(Qt::black);
    const qsizetype rowBytes = qsizetype(frame.width) * 3;
    for (int y = 0; y < frame.height; ++y) {
        const qsizetype rowStart = qsizetype(y) * lineSize;
        if (rowStart >= available)
            break;
        const qsizetype n = std::min(rowBytes, available - rowStart);
        std::memcpy(image.scanLine(y), frame.data + qsizetype(y) * stride, size_t(n));
    }
    bitmap = image;
    return true;
}

bool SampleToBitmap(GstSample* sample, QImage& bitmap)
{
    if (!sample)
        return false;
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoInfo info;
    if (!caps || !buffer || !gst_video_info_from_caps(&info, caps) ||
        GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_BGR)
        return false;
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ))
        return false;
    RawFrame raw;
    raw.data = static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    raw.stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
    raw.width = GST_VIDEO_FRAME_WIDTH(&frame);
    raw.height = GST_VIDEO_FRAME_HEIGHT(&frame);
    raw.size =
        qsizetype(gst_buffer_get_size(buffer)) - qsizetype(GST_VIDEO_FRAME_PLANE_OFFSET(&frame, 0));
    const bool ok = FrameToBitmap(raw, bitmap);
    gst_video_frame_unmap(&frame);
    return ok;
}
