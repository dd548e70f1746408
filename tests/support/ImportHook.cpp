// ImportHook: rewrites one entry of the program's import address table and
// puts it back when it goes.
#include "ImportHook.h"
#include <cstring>

namespace {
BYTE* ProgramBase() {
    return reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
}

// The import table entry that holds the address of dll!function.
void** FindSlot(const char* dll, const char* function) {
    BYTE* base = ProgramBase();
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return nullptr;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name; ++module) {
        if (_stricmp(reinterpret_cast<const char*>(base + module->Name), dll) != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}
} // namespace

ImportHook::ImportHook(const char* dll, const char* function, void* standIn)
    : slot(FindSlot(dll, function)) {
    if (!slot)
        return;
    original = *slot;
    Write(standIn);
}

ImportHook::~ImportHook() {
    if (slot)
        Write(original);
}

void ImportHook::Write(void* value) {
    DWORD protection = 0;
    ::VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection);
    *slot = value;
    ::VirtualProtect(slot, sizeof(*slot), protection, &protection);
}
