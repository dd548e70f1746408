#include "CBarHandles.h"

#include <limits>

TavrelBar* CBarHandles::Add(CSearchBar* bar) {
    const std::lock_guard<std::mutex> guard(lock);
    if (lastNumber == std::numeric_limits<uintptr_t>::max())
        return nullptr; // every number was given once; none is given again
    live.emplace(lastNumber + 1, bar);
    return reinterpret_cast<TavrelBar*>(++lastNumber);
}

CSearchBar* CBarHandles::Find(const TavrelBar* handle) const {
    const std::lock_guard<std::mutex> guard(lock);
    const auto found = live.find(NumberOf(handle));
    return found == live.end() ? nullptr : found->second;
}

CSearchBar* CBarHandles::Remove(const TavrelBar* handle) {
    const std::lock_guard<std::mutex> guard(lock);
    const auto found = live.find(NumberOf(handle));
    if (found == live.end())
        return nullptr;
    CSearchBar* bar = found->second;
    live.erase(found);
    return bar;
}

CBarHandles& CBarHandles::Instance() {
    static CBarHandles handles;
    return handles;
}
