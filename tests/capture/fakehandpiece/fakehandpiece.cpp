// A hand-piece library for tests: the three functions of the vendor's shutter library, plus
// setters through which a test decides what they answer and counters of how they were called.
#include <cstring>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int queueSize = 64;

int initResult = 1;
int reading = 0xFF;
int queued[queueSize];
int queueHead = 0;
int queueLength = 0;
int initCalls = 0;
int readCalls = 0;
int closeCalls = 0;
int lastAddress = -1;

} // namespace

FAKE_EXPORT int InitEquipment()
{
    ++initCalls;
    return initResult;
}

FAKE_EXPORT int ReadFromEquipment(int address)
{
    ++readCalls;
    lastAddress = address;
    if (queueLength == 0)
        return reading;
    const int value = queued[queueHead];
    queueHead = (queueHead + 1) % queueSize;
    --queueLength;
    return value;
}

#ifndef FAKE_WITHOUT_CLOSE
FAKE_EXPORT int CloseEquipment()
{
    ++closeCalls;
    return 1;
}
#endif

FAKE_EXPORT void FakeSetInitResult(int result)
{
    initResult = result;
}

FAKE_EXPORT void FakeSetReading(int value)
{
    reading = value;
}

FAKE_EXPORT int FakeQueueReading(int value)
{
    if (queueLength == queueSize)
        return 0;
    queued[(queueHead + queueLength) % queueSize] = value;
    ++queueLength;
    return 1;
}

FAKE_EXPORT int FakeCallCount(const char* function)
{
    if (std::strcmp(function, "InitEquipment") == 0)
        return initCalls;
    if (std::strcmp(function, "ReadFromEquipment") == 0)
        return readCalls;
    if (std::strcmp(function, "CloseEquipment") == 0)
        return closeCalls;
    return -1;
}

FAKE_EXPORT int FakeLastAddress()
{
    return lastAddress;
}

FAKE_EXPORT void FakeReset()
{
    initResult = 1;
    reading = 0xFF;
    queueHead = queueLength = 0;
    initCalls = readCalls = closeCalls = 0;
    lastAddress = -1;
}
