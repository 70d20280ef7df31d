#include "windowregistry.h"

WindowRegistry& windowRegistry()
{
    static WindowRegistry registry;
    return registry;
}
