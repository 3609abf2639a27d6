// The planted GUIDs, handed to NewGuid through the platform's hook, set when the tests start.
#include "support/planted_guid.h"

#include <deque>

#include "platform/portable/fault.h"

namespace wbh::test {
namespace {

std::deque<platform::Guid> g_planted;

bool TakePlanted(platform::Guid& guid) {
    if (g_planted.empty()) return false;
    guid = g_planted.front();
    g_planted.pop_front();
    return true;
}

const bool g_hooked = (platform::fault::g_planted_guid_hook = &TakePlanted, true);

}  // namespace

void PlantGuid(const platform::Guid& guid) { g_planted.push_back(guid); }

void ClearPlantedGuids() { g_planted.clear(); }

}  // namespace wbh::test
