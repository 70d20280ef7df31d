#pragma once

#include "equipment.h"

#include <QLibrary>

// The vendor's shutter library, loaded by name at run time.
class HandpieceLibrary : public Equipment
{
public:
    // Null when the library cannot be loaded or lacks one of the three functions.
    static std::unique_ptr<HandpieceLibrary> load(const QString& name);

    int InitEquipment() override { return m_init(); }
    int ReadFromEquipment(int address) override { return m_read(address); }
    int CloseEquipment() override { return m_close(); }

    // The file the library was loaded from.
    QString fileName() const { return m_library.fileName(); }

private:
    using InitFunction = int (*)();
    using ReadFunction = int (*)(int);
    using CloseFunction = int (*)();

    HandpieceLibrary() = default;

    QLibrary m_library;
    InitFunction m_init = nullptr;
    ReadFunction m_read = nullptr;
    CloseFunction m_close = nullptr;
};
