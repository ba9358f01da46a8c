// Path forms the platform needs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The form of a full path in which the wide file calls reach exactly the item
// it names. Windows drops a trailing dot or space from a name ("twin." would
// reach "twin", "spaced " nothing) and stops at MAX_PATH, unless the path is
// given in the \\?\ form, which takes every name as it is but leaves
// "/", "." and ".." to the caller: where that form is needed, the path is
// first made plain (normalPath). Other paths, and those not full or already
// in a \\?\ or \\.\ form, are returned unchanged.
std::wstring exactPath(const std::wstring& path);

// A full path with "/" as "\\", "." and ".." taken out as Windows takes them
// out, and no empty or trailing separators but the root's; every name is
// kept as it is, trailing dots and spaces too.
std::wstring normalPath(std::wstring_view path);

// Length of the root of a full path: 3 for "C:\", through the separator
// after the share for "\\server\share\" (all of an incomplete one); 0 for a
// path that is not full, which the platform would take from the current
// folder. '/' separates as '\' does, as the platform has it.
size_t rootLength(std::wstring_view path);

// The parts of a full path, as the folder list shows it: the root and the
// folders down from it. Paths here are full ("C:\..." or
// "\\server\share\...") with no trailing separator except at the root.
// The root, then the name of each folder down to the path's own:
// "C:\Data\Private" gives "C:\", "Data" and "Private".
std::vector<std::wstring> pathChain(const std::wstring& path);
// The folder `level` steps down from the root on the way to the path (0 the
// root itself); the path itself for a level at or beyond its own.
std::wstring ancestorPath(const std::wstring& path, size_t level);
// A folder's path joined with the name of something in it.
std::wstring childPath(const std::wstring& folder, const std::wstring& name);
// The folder that holds what a path names, without a trailing separator
// except at a root ("C:\"); "." for a bare name.
std::wstring folderOf(const std::wstring& path);

// The folder that holds the program file, in UTF-8, without a trailing
// separator except at a drive root.
std::string applicationFolder();
// Tests run each case in a folder of its own; "" puts the real one back.
void setApplicationFolder(std::string folder);

}  // namespace platform
