// GUIDs planted for the program's NewGuid calls.
#pragma once

#include "platform/guid.h"

namespace wbh::test {

// The next NewGuid calls give these GUIDs, in order, instead of new ones.
void PlantGuid(const platform::Guid& guid);
// Forgets the GUIDs not yet taken.
void ClearPlantedGuids();

}  // namespace wbh::test
