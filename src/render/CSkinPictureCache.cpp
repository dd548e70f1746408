// CSkinPictureCache: a short list of pictures, most recently used first,
// under one lock. A skin has a handful of pictures, so a list is enough.
#include "CSkinPictureCache.h"

#include <algorithm>
#include <list>
#include <mutex>

namespace {
struct Entry {
    std::string key;
    std::string stamp;
    CSkinPictureCache::Picture picture;
};

struct PictureStore {
    std::mutex lock;
    std::list<Entry> entries; // most recently used first
    size_t bytes = 0;
};

// Made on first use and never destroyed, so that no image loaded while the
// process ends finds it gone.
PictureStore& TheStore() {
    static PictureStore* store = new PictureStore;
    return *store;
}

size_t BytesOf(const CSkinPictureCache::Picture& picture) {
    return picture.pixels.size() * sizeof(uint32_t);
}

void Erase(PictureStore& store, std::list<Entry>::iterator entry) {
    store.bytes -= BytesOf(entry->picture);
    store.entries.erase(entry);
}

std::list<Entry>::iterator FindKey(PictureStore& store, const std::string& key) {
    return std::find_if(store.entries.begin(), store.entries.end(),
                        [&](const Entry& entry) { return entry.key == key; });
}
} // namespace

bool CSkinPictureCache::Find(const std::string& key, const std::string& stamp,
                             Picture& picture) {
    PictureStore& store = TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    const auto entry = FindKey(store, key);
    if (entry == store.entries.end() || entry->stamp != stamp)
        return false;
    store.entries.splice(store.entries.begin(), store.entries, entry);
    picture = entry->picture;
    return true;
}

void CSkinPictureCache::Store(const std::string& key, const std::string& stamp,
                              Picture picture) {
    const size_t bytes = BytesOf(picture);
    PictureStore& store = TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    const auto old = FindKey(store, key);
    if (old != store.entries.end())
        Erase(store, old);
    if (bytes > MaxBytes)
        return;
    while (!store.entries.empty() && store.bytes + bytes > MaxBytes)
        Erase(store, std::prev(store.entries.end()));
    store.entries.push_front(Entry{key, stamp, std::move(picture)});
    store.bytes += bytes;
}

bool CSkinPictureCache::Fits(int width, int height) {
    return width >= 0 && height >= 0 &&
           uint64_t(width) * uint64_t(height) <= MaxBytes / sizeof(uint32_t);
}

void CSkinPictureCache::Forget(const std::string& key) {
    PictureStore& store = TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    const auto entry = FindKey(store, key);
    if (entry != store.entries.end())
        Erase(store, entry);
}

void CSkinPictureCache::Clear() {
    PictureStore& store = TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    store.entries.clear();
    store.bytes = 0;
}

size_t CSkinPictureCache::Count() {
    PictureStore& store = TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    return store.entries.size();
}

size_t CSkinPictureCache::Bytes() {
    PictureStore& store = TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    return store.bytes;
}
