#include "tests/support/ImportHook.h"

#include <algorithm>

// Puts value into an import table slot, which the loader may have left read-only; what the slot held.
void* ImportHook::Exchange(void** slot, void* value)
{
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    value = InterlockedExchangePointer(slot, value);
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return value;
}

// The slot of the import address table where the loader put dll's function: its address, as GetProcAddress finds it.
void** ImportHook::FindSlot(const char* dll, const char* function)
{
    void* const address = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), function));
    auto* const base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& table = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
    void** const first = reinterpret_cast<void**>(base + table.VirtualAddress);
    void** const end = first + table.Size / sizeof *first;
    void** const slot = std::find(first, end, address);
    return address && slot != end ? slot : nullptr;
}

ImportHook::~ImportHook()
{
    if (slot_) {
        Exchange(slot_, original_);
    }
}
