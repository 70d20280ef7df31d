#pragma once

#include <QImage>
#include <QtGlobal>

typedef struct _GstSample GstSample;

// Length in bytes of one bitmap row: rows are padded to whole 32-bit words, and 15 bits per
// pixel are stored as 16.
int GetDIBLineSize(int bitCount, int width);

// A 24-bit frame as it lies in memory: rows of 8-bit blue, green, red triples, top row first,
// `stride` bytes apart (0: the bitmap row length).
struct RawFrame
{
    const uchar* data = nullptr;
    qsizetype size = 0;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// The frame as a 24-bit picture. The image size follows from the frame's format (one padded
// row per line); at most that many bytes are taken from the frame, and lines the frame does
// not reach stay black. False, with `bitmap` untouched, when the format is empty or no byte
// arrived.
bool FrameToBitmap(const RawFrame& frame, QImage& bitmap);

// The same for a GStreamer sample in BGR: its caps give the format, its buffer the bytes.
// False when the sample is missing, not BGR, or cannot be read.
bool SampleToBitmap(GstSample* sample, QImage& bitmap);
