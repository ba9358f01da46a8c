// Hiding adds the hidden and system attributes to a file or folder, unhiding
// takes them away; every other attribute (read-only, archive, not indexed,
// pinned) stays as it was, as Explorer and "attrib" leave it.
#pragma once

#include <windows.h>

#include <string>

#include "platform/Handles.h"

namespace hiding {

// Both take only the full path of a file or folder ("C:\..." or
// "\\server\share..."), and reach exactly the item it names: a relative
// path, a device name or a text with a NUL in it fails without touching
// anything.

// A file or folder held open from its pick until the caller is done with it
// (its entry recorded): meanwhile it cannot be renamed, moved or deleted, so
// the path names what was hidden, and a roll-back reaches the same item. One
// hidden but not kept when it goes (the caller failed, or ended by an
// exception) gets its attributes back, so that nothing is left hidden
// unlisted.
class HiddenItem {
public:
    // Finds and holds the item; hides nothing yet.
    explicit HiddenItem(const std::string& path);
    ~HiddenItem() {
        if (hidden_ && !kept_) restore();
    }
    HiddenItem(const HiddenItem&) = delete;
    HiddenItem& operator=(const HiddenItem&) = delete;
    bool held() const { return static_cast<bool>(item_); }
    // Hides the item, then reads its attributes back: a file system that
    // takes the call but keeps nothing counts as a failure. On failure the
    // item is left as it was.
    bool hide();
    // It stays hidden: its entry is recorded.
    void keep() { kept_ = true; }
    // Gives a hidden item back exactly the attributes it had before.
    bool restore();

private:
    platform::FileHandle item_;
    DWORD previous_ = 0;
    bool hidden_ = false;
    bool kept_ = false;
};

// Takes hidden and system away. Read back like hiding: still hidden or
// system afterwards is a failure.
bool unhideItem(const std::string& path);

}  // namespace hiding
