#pragma once

#include <QLibrary>
#include <QString>

// Test-side control of the fake hand-piece library: the same file that the program loads
// through QB_HANDPIECE_LIBRARY, so both share its state.
class FakeHandpiece
{
public:
    explicit FakeHandpiece(const QString& path) : m_library(path)
    {
        if (!m_library.load())
            return;
        m_setInitResult = resolve<void (*)(int)>("FakeSetInitResult");
        m_setReading = resolve<void (*)(int)>("FakeSetReading");
        m_queueReading = resolve<int (*)(int)>("FakeQueueReading");
        m_callCount = resolve<int (*)(const char*)>("FakeCallCount");
        m_lastAddress = resolve<int (*)()>("FakeLastAddress");
        m_reset = resolve<void (*)()>("FakeReset");
    }

    bool isLoaded() const { return m_reset != nullptr; }
    QString errorString() const { return m_library.errorString(); }

    // What InitEquipment returns (1 after reset).
    void setInitResult(int result) { m_setInitResult(result); }
    // What ReadFromEquipment returns once the queue is empty (0xFF after reset).
    void setReading(int value) { m_setReading(value); }
    // Returned by the next ReadFromEquipment calls, first in first out: queueReading(0x7F) is
    // one short press. False when the queue of 64 is full.
    bool queueReading(int value) { return m_queueReading(value) != 0; }
    // Calls of "InitEquipment", "ReadFromEquipment" or "CloseEquipment" since the reset.
    int callCount(const char* function) const { return m_callCount(function); }
    int lastAddress() const { return m_lastAddress(); }
    void reset() { m_reset(); }

private:
    template <typename F> F resolve(const char* name)
    {
        return reinterpret_cast<F>(m_library.resolve(name));
    }

    QLibrary m_library;
    void (*m_setInitResult)(int) = nullptr;
    void (*m_setReading)(int) = nullptr;
    int (*m_queueReading)(int) = nullptr;
    int (*m_callCount)(const char*) = nullptr;
    int (*m_lastAddress)() = nullptr;
    void (*m_reset)() = nullptr;
};
