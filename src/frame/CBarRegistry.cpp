#include "CBarRegistry.h"

CBarRegistry::CBarRegistry() = default;
CBarRegistry::~CBarRegistry() = default;

int CBarRegistry::Add(uintptr_t key, void* value) {
    if (Lookup(key))
        return 0;
    bars[key] = value;
    return 1;
}

void* CBarRegistry::Lookup(uintptr_t key) const {
    auto it = bars.find(key);
    return it == bars.end() ? nullptr : it->second;
}

void CBarRegistry::ForEach(const std::function<void(void*)>& visit) const {
    for (const auto& entry : bars)
        visit(entry.second);
}

namespace {
// Constructed at load, destroyed at unload; the bars it names stay alive.
CBarRegistry g_registry;
} // namespace

CBarRegistry& CBarRegistry::Instance() {
    return g_registry;
}
