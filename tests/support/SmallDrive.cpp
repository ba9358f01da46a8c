#include "support/SmallDrive.h"

#include "platform/Handles.h"
#include "support/Sandbox.h"

namespace test {
namespace {

std::string dosPath(const std::string& unixPath) {
    std::string dos = "Z:" + unixPath;
    for (char& c : dos)
        if (c == '/') c = '\\';
    return dos;
}

bool small(const std::string& dos) {
    const ULONGLONG c = capacity(dos);
    return c > 0 && c <= 1 << 20;
}

// Mounts take a moment to show inside Wine.
template <class Done>
bool waitFor(Done done) {
    for (int i = 0; i < 50; ++i) {
        if (done()) return true;
        Sleep(100);
    }
    return done();
}

}  // namespace

bool startUnixCommand(const std::string& command) {
    std::string line = "/bin/sh -c \"" + command + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

ULONGLONG capacity(const std::string& folder) {
    ULARGE_INTEGER total{};
    return GetDiskFreeSpaceExW(test::wide(folder + "\\").c_str(), nullptr, &total, nullptr) ? total.QuadPart
                                                                                            : 0;
}

SmallDrive::SmallDrive() {
    static int serial = 0;
    unix_ = "/tmp/hidewell-small-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    const std::string dos = dosPath(unix_);
    // Wine's drive Z: is the machine's root; elsewhere Z: is anything.
    if (!underWine() || GetFileAttributesW(L"Z:\\tmp") == INVALID_FILE_ATTRIBUTES) return;
    if (!startUnixCommand("mkdir -p " + unix_ + " && mount -t tmpfs -o size=64k tmpfs " + unix_)) return;
    // Nothing is written there before the mount shows.
    waitFor([&] { return small(dos); });
    mounted_ = dos;
    if (!small(dos)) return;
    if (!CreateDirectoryW(test::wide(dos + "\\app").c_str(), nullptr)) return;
    folder = dos + "\\app";
}

bool SmallDrive::fill() {
    if (!small(mounted_)) return false;
    HANDLE h = CreateFileW(test::wide(mounted_ + "\\filler").c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    static const char block[4096] = {};
    bool full = false;
    // Bounded: 64 KiB fill it, whatever happens no more is written.
    for (int i = 0; i < 64 && !full; ++i) {
        DWORD written = 0;
        full = !WriteFile(h, block, sizeof block, &written, nullptr) || written < sizeof block;
    }
    CloseHandle(h);
    return full;
}

bool SmallDrive::pullOut() {
    if (folder.empty() || !keptUnix_.empty()) return false;
    keptUnix_ = unix_ + "-kept";
    const std::string keptDos = dosPath(keptUnix_);
    if (!startUnixCommand("mkdir -p " + keptUnix_ + " && mount --bind " + unix_ + " " + keptUnix_ +
                          " && umount -l " + unix_))
        return false;
    if (!waitFor([&] { return small(keptDos) && !small(mounted_); })) return false;
    keptMount_ = keptDos;
    kept = keptDos + "\\app";
    return true;
}

bool SmallDrive::makeReadOnly() {
    if (folder.empty() || !startUnixCommand("mount -o remount,ro " + unix_)) return false;
    return waitFor([&] {
        const platform::FileHandle probe(CreateFileA((folder + "\\probe").c_str(), GENERIC_WRITE, 0, nullptr,
                                                     CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        return !probe;
    });
}

SmallDrive::~SmallDrive() {
    if (mounted_.empty()) return;
    for (const std::string& m : {mounted_, keptMount_}) {
        if (m.empty() || !small(m)) continue;
        removeTree(m + "\\app");
        DeleteFileW(test::wide(m + "\\filler").c_str());
    }
    // Lazily: Wine may still hold a folder open for a moment.
    std::string command = "umount -l " + unix_ + " 2>/dev/null; rmdir " + unix_;
    if (!keptUnix_.empty()) command += "; umount -l " + keptUnix_ + " 2>/dev/null; rmdir " + keptUnix_;
    startUnixCommand(command);
    waitFor([&] { return !small(mounted_) && (keptMount_.empty() || !small(keptMount_)); });
}

}  // namespace test
