// Shortcuts (".lnk" files) and what they lead to.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// True for a name that ends in ".lnk", in any case: the shell takes such a
// file for a shortcut.
bool isShortcut(std::string_view path);

// The full path (UTF-8) of the file or folder the shortcut at `path` leads
// to, read as the shell reads it, without asking the user and without
// searching for a target that has moved. False, `target` left as it was,
// when the shortcut cannot be read, leads to nothing on a disk (a web
// address, a Control Panel item), to something that is not there, or to a
// name UTF-8 cannot hold. Needs COM on the calling thread.
bool shortcutTarget(const std::string& path, std::string& target);

}  // namespace platform
