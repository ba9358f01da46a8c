// Hiding and unhiding set a file's or folder's whole attribute set.
#pragma once

#include <windows.h>

#include <string>

namespace hiding {

// Both take only the full path of a file or folder ("C:\..." or
// "\\server\share..."): a relative path, a device name or a text with a NUL
// in it fails without touching anything.
//
// Sets exactly hidden + system (6), then reads them back: a file system that
// takes the call but keeps nothing counts as a failure. `previous` receives
// the attributes before. On failure the item is left as it was.
bool hideItem(const std::string& path, DWORD& previous);
// Puts back attributes that hideItem reported as previous.
bool restoreAttributes(const std::string& path, DWORD previous);
// Sets the normal attributes (0): read-only, hidden, system and archive go.
// Read back like hideItem: still hidden or system afterwards is a failure.
bool unhideItem(const std::string& path);

}  // namespace hiding
