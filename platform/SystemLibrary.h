// Calls of system libraries that are loaded when first needed instead of at
// start: under Wine every library loaded at start, with what it brings along,
// adds to the start-up time.
#pragma once

#include <windows.h>

namespace platform {

// The named call of a system library, which is loaded on first use from the
// system folder, never from the program's, and stays loaded. Null when the
// library or the call is missing.
template <class Call>
Call systemCall(const wchar_t* library, const char* name) {
    HMODULE dll = GetModuleHandleW(library);
    if (!dll) dll = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!dll) return nullptr;
    return reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

}  // namespace platform
