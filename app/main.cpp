// Hidewell's entry point: the start-up window, then the message loop.
#include <objbase.h>
#include <windows.h>

#include "access/FrmPass.h"
#include "app/SetUp.h"
#include "ui/Form.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A drive without a disk is reported to the caller, not in a system dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ui::initialize();
    setUpProgram();
    const int rc = ui::runProgram(ui::shared<FrmPass>());  // the start-up window
    CoUninitialize();
    return rc;
}
