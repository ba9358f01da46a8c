// The real file dialogs behind Host::chooseFile: Windows' common item dialogs.
#pragma once

#include <windows.h>

#include <string>

#include "ui/Host.h"

struct IFileDialog;

namespace ui {

// Sets up a new open or save dialog as `dialog` asks: title, the filters,
// any name may be typed, and the initial folder. The folder is set with
// SetFolder, which holds whatever folder the user chose last time; since
// Windows 7, the older dialogs' initial folder gives way to that one when it
// equals the folder the program passed the first time it used a dialog.
HRESULT prepareFileDialog(IFileDialog& dialog, const FileDialog& wanted);

// The chosen path with the name as the user typed it: a save dialog may add
// the filter's extension (`pattern` "*.hwl") to a name typed without it
// (Wine's does), which the program must not. Any other path stays as it is.
std::wstring nameAsTyped(const std::wstring& chosen, const std::wstring& typed, const std::wstring& pattern);

}  // namespace ui
