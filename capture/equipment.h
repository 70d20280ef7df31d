#pragma once

#include <QString>
#include <memory>

// The camera hand-piece as the capture window polls it: the three functions of the
// vendor's shutter library. Two providers exist: the vendor library loaded by name at run
// time, and the camera's own snapshot button read from the kernel's input devices, used
// when no vendor library is found.
class Equipment
{
public:
    virtual ~Equipment() = default;

    // Nonzero when the hand-piece was found and opened.
    virtual int InitEquipment() = 0;
    // Only the lowest byte counts: bit 7 clear means the button is pressed.
    virtual int ReadFromEquipment(int address) = 0;
    virtual int CloseEquipment() = 0;

    // Told when live video starts, so that presses the camera fires at start-up are ignored.
    virtual void videoStarted() {}
    // After InitEquipment returned 0: empty when no device exists, else why none could be
    // opened (for example missing permission), in the language index given.
    virtual QString failureReason(int /*languageIndex*/) const { return {}; }
};

// The provider the capture window uses: the vendor library named by the environment
// variable QB_HANDPIECE_LIBRARY, else "DLLs" beside the executable or on the library path,
// else the camera-button provider.
std::unique_ptr<Equipment> openEquipment();
