// Hidewell's entry point: the start-up window, then the message loop.
#include <objbase.h>
#include <windows.h>

#include "access/FrmPass.h"
#include "app/SetUp.h"
#include "ui/Form.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A drive without a disk is reported to the caller, not in a system dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // COM serves only the export and import file dialogs. Without it (the
    // machine short of memory) everything else works and those dialogs do
    // not open, as when cancelled; it is not a reason to stop.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ui::initialize();
    setUpProgram();
    const int rc = ui::runProgram(ui::shared<FrmPass>());  // the start-up window
    if (com) CoUninitialize();
    return rc;
}
