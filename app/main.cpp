// Hidewell's entry point: the start-up window, then the message loop.
#include <objbase.h>
#include <windows.h>

#include "access/FrmPass.h"
#include "app/SetUp.h"
#include "ui/Form.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A drive without a disk is reported to the caller, not in a system dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // COM serves the export and import file dialogs, and tells screen
    // readers that entries and links are links. Without it (the machine short
    // of memory) everything else works, those dialogs do not open, as when
    // cancelled, and entries read as text; it is not a reason to stop.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ui::initialize();
    setUpProgram();
    const int rc = ui::runProgram(ui::shared<FrmPass>());  // the start-up window
    if (com) CoUninitialize();
    return rc;
}
