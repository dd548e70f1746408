// CBarHandles: the bars the C interface has given out and not yet taken
// back. A TavrelBar* is a number of this table, not the bar's address: each
// new bar gets the next number and no number is ever given twice, so a
// pointer kept after TavrelDestroyBar (or one never given out) finds no bar,
// even when a later bar happens to live at the freed address.
#pragma once
#include "tavrel_c.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

class CSearchBar;

class CBarHandles {
  public:
    // A new handle for bar; null when no memory or no number is left.
    TavrelBar* Add(CSearchBar* bar);
    // The live bar behind handle, or null.
    CSearchBar* Find(const TavrelBar* handle) const;
    // Takes handle's bar out of the table and returns it: from then on the
    // handle finds nothing. Null when the handle names no live bar.
    CSearchBar* Remove(const TavrelBar* handle);

    // The table of the process.
    static CBarHandles& Instance();

  private:
    static uintptr_t NumberOf(const TavrelBar* handle) {
        return reinterpret_cast<uintptr_t>(handle);
    }

    // Bars are used on their own threads, but hosts with several user
    // interface threads make and destroy them on each.
    mutable std::mutex lock;
    std::unordered_map<uintptr_t, CSearchBar*> live;
    uintptr_t lastNumber = 0;
};
