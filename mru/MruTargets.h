// The recently-used lists that the MRU window can delete: for each program,
// the key under HKEY_CURRENT_USER that holds its list.
#pragma once

struct MruTarget {
    const char* name;          // as the drop-down list shows it
    const char* parent;        // key path under HKEY_CURRENT_USER
    const char* subkey;        // the key that is deleted
    const char* confirmation;  // shown once it is gone
    bool rebootNote;           // the program holds the list until Windows restarts
};

inline constexpr MruTarget MruTargets[] = {
    {"Adobe Reader 7", "Software\\Adobe\\Acrobat Reader\\7.0\\AVGeneral", "cRecentFiles",
     "The Adobe Reader MRU list was successfully removed", true},
    {"DAP recent downloads", "Software\\SpeedBit\\Download Accelerator\\HistoryCombo", "URLHistory",
     "The DAP recent downloads list was successfully removed", false},
    {"Foxit Reader", "Software\\Foxit Software\\Foxit Reader", "Recent File List",
     "The Foxit Reader MRU list was successfully removed", false},
    {"IE Typed URL's", "Software\\Microsoft\\Internet Explorer", "TypedURLs",
     "The IE typed URL's were successfully removed", false},
    {"Microsoft Paint", "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint", "Recent File List",
     "The MS paint MRU list was successfully removed", false},
    {"Run commands", "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", "RunMRU",
     "The 'Run' MRU list was successfully removed", true},
    {"Search items", "Software\\Microsoft\\Search Assistant", "ACMru",
     "The My Computer Search terms entered were successfully removed", false},
    {"Windows Media Player", "Software\\Microsoft\\MediaPlayer\\Player", "RecentFileList",
     "The Windows Media Player MRU list was successfully removed", false},
    {"Winrar", "Software\\Winrar", "ArcHistory", "The Winrar MRU list was successfully removed", false},
};
