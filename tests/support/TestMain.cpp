// Entry point of every test program: the windows' platform set up once, the
// scripted host in place of the real one.
#include <objbase.h>
#include <windows.h>

#include <gtest/gtest.h>

#include "support/ScriptedHost.h"
#include "ui/Form.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ui::initialize();
    ui::setHost(&test::host());
    const int rc = RUN_ALL_TESTS();
    CoUninitialize();
    return rc;
}
