// The real file dialogs behind Host::chooseFile: Windows' common item dialogs.
#pragma once

#include <windows.h>

#include "ui/Host.h"

struct IFileDialog;

namespace ui {

// Sets up a new open or save dialog as `dialog` asks: title, the one filter,
// any name may be typed, and the initial folder. The folder is set with
// SetFolder, which holds whatever folder the user chose last time; since
// Windows 7, the older dialogs' initial folder gives way to that one when it
// equals the folder the program passed the first time it used a dialog.
HRESULT prepareFileDialog(IFileDialog& dialog, const FileDialog& wanted);

}  // namespace ui
