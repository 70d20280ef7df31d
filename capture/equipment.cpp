#include "equipment.h"

std::unique_ptr<Equipment> openEquipment()
{
    return nullptr;
}
