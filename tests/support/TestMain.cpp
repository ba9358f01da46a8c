// Entry point of every test program: the windows' platform set up once, the
// scripted host in place of the real one.
#include <objbase.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/SetUp.h"
#include "support/ScriptedHost.h"
#include "ui/Form.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // A desktop of its own, so that test programs running side by side do
    // not take the focus and the foreground from one another.
    const std::string name = "hidewell-tests-" + std::to_string(GetCurrentProcessId());
    if (HDESK desk = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr))
        SetThreadDesktop(desk);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ui::initialize();
    setUpProgram();
    ui::setHost(&test::host());
    const int rc = RUN_ALL_TESTS();
    CoUninitialize();
    return rc;
}
