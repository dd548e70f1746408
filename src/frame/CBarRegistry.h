// CBarRegistry: the process-wide record of every bar the factory made. It
// never owns the bars; destroying it frees only its own nodes. Keys are
// whole addresses, so two bars can never share a key on x64.
#pragma once
#include <cstdint>
#include <functional>
#include <map>

class CBarRegistry {
public:
    CBarRegistry();
    virtual ~CBarRegistry();

    // 0 when the key is already present with a value; otherwise inserts.
    int Add(uintptr_t key, void* value);
    void* Lookup(uintptr_t key) const;
    size_t Count() const { return bars.size(); }
    // A bar that goes leaves the record (its address may be reused).
    void Remove(uintptr_t key) { bars.erase(key); }
    // Calls visit with every value, in key order.
    void ForEach(const std::function<void(void*)>& visit) const;

    // The registry the factory records into.
    static CBarRegistry& Instance();

private:
    std::map<uintptr_t, void*> bars;
};
