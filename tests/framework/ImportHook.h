#pragma once
// Replaces one imported system function of the test program for the life of the object. The
// framework is linked statically into the test, so it calls through the same import table: the
// hook sees every call the framework makes (CreatePalette, SelectObject, GetDC, SetTimer...).
#include <windows.h>

#include <cstring>

class ImportHook {
public:
    ImportHook(const char* dll, const char* function, void* replacement) : slot(Find(dll, function))
    {
        if (slot == nullptr)
            return;
        original = *slot;
        Write(replacement);
    }
    ~ImportHook()
    {
        if (slot != nullptr)
            Write(original);
    }
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    bool Installed() const { return slot != nullptr; }
    template <class F>
    F Original() const
    {
        return reinterpret_cast<F>(original);
    }

private:
    void Write(void* value)
    {
        DWORD old;
        VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
        *slot = value;
        VirtualProtect(slot, sizeof *slot, old, &old);
    }
    static void** Find(const char* dll, const char* function)
    {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
            if (_stricmp(reinterpret_cast<char*>(base + imp->Name), dll) != 0)
                continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
            auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++addresses) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (strcmp(reinterpret_cast<char*>(byName->Name), function) == 0)
                    return reinterpret_cast<void**>(&addresses->u1.Function);
            }
        }
        return nullptr;
    }

    void** slot;
    void* original = nullptr;
};
