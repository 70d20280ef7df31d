#include "handpiecelibrary.h"

std::unique_ptr<HandpieceLibrary> HandpieceLibrary::load(const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    std::unique_ptr<HandpieceLibrary> library(new HandpieceLibrary);
    library->m_library.setFileName(name);
    if (!library->m_library.load())
        return nullptr;
    library->m_init = reinterpret_cast<InitFunction>(library->m_library.resolve("InitEquipment"));
    library->m_read =
        reinterpret_cast<ReadFunction>(library->m_library.resolve("ReadFromEquipment"));
    library->m_close =
        reinterpret_cast<CloseFunction>(library->m_library.resolve("CloseEquipment"));
    if (!library->m_init || !library->m_read || !library->m_close) {
        library->m_library.unload();
        return nullptr;
    }
    // Never unloaded: a vendor library may keep threads of its own running.
    return library;
}
