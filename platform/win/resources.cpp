// The registry of resources built into the program.
#include "platform/win/resources.h"

#include <strings.h>

#include <vector>

namespace {

// Filled by static constructors of generated sources, so made on first use.
std::vector<const ResourceData*>& Registry() {
    static auto* entries = new std::vector<const ResourceData*>;
    return *entries;
}

}  // namespace

void RegisterResources(const ResourceData* table, size_t count) {
    for (size_t i = 0; i < count; ++i) Registry().push_back(&table[i]);
}

const ResourceData* FindResource(const char* name, const char* type) {
    if (!name || !type) return nullptr;
    for (const ResourceData* entry : Registry())
        if (strcasecmp(entry->name, name) == 0 && strcasecmp(entry->type, type) == 0) return entry;
    return nullptr;
}
