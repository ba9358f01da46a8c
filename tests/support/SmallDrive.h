// A 64 KiB tmpfs of the tests' own, mounted from inside Wine through the
// machine's shell and reached through Wine's drive Z: (letters mapped with
// DefineDosDevice cannot open files under Wine). Only where the tests run as
// root under Wine; `folder` stays empty elsewhere, and tests skip.
#pragma once

#include <windows.h>

#include <string>

namespace test {

// Runs a command of the machine's own shell; Wine starts Unix programs too.
// The call does not wait for the command to end.
bool startUnixCommand(const std::string& command);

// Total size of the drive that holds `folder`; 0 when it cannot be asked.
ULONGLONG capacity(const std::string& folder);

class SmallDrive {
public:
    SmallDrive();
    ~SmallDrive();
    SmallDrive(const SmallDrive&) = delete;
    SmallDrive& operator=(const SmallDrive&) = delete;

    // Fills what is left; false when the drive does not fill up. Never
    // writes more than the drive's 64 KiB.
    bool fill();
    // The drive goes away, as a pulled-out stick: it is unmounted lazily
    // from under `folder`. What it held stays readable under `kept` (a
    // second mount of the same tmpfs) until this object goes.
    bool pullOut();
    // The drive becomes read-only, as a stick whose switch is set: it is
    // mounted again read-only. False where that cannot be done.
    bool makeReadOnly();

    std::string folder;  // the empty folder "app" on the drive
    std::string kept;    // after pullOut: that same folder, still reachable

private:
    std::string unix_, mounted_, keptUnix_, keptMount_;
};

}  // namespace test
