// Path forms the platform needs.
#pragma once

#include <string>

namespace platform {

// The \\?\ form of a long full path, so the wide file calls take it beyond
// MAX_PATH; shorter paths and relative ones are returned unchanged.
std::wstring extendedLengthPath(const std::wstring& path);

// The folder that holds the program file, without a trailing separator
// except at a drive root.
std::string applicationFolder();
// Tests run each case in a folder of its own.
void setApplicationFolder(std::string folder);

}  // namespace platform
