#include "support/Sandbox.h"

#include <algorithm>

#include "hiding/ListFile.h"

#include "platform/Paths.h"
#include "platform/SystemLibrary.h"
#include "platform/Text.h"
#include "support/SmallDrive.h"
#include "ui/Form.h"

namespace test {
namespace {
// A full path in the \\?\ form, so that a name ending in a dot or a blank is
// the one reached; others as they are.
std::wstring item(const std::string& path) {
    std::wstring full = wide(path);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\' && full.find(L'/') == std::wstring::npos)
        full.insert(0, L"\\\\?\\");
    return full;
}
}  // namespace

void Sandbox::SetUp() {
    static int serial = 0;
    // In the long form, as dialogs and the shell give paths back: TEMP may
    // be short (C:\Users\RUNNER~1\...).
    wchar_t temp[MAX_PATH], full[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const DWORD length = GetLongPathNameW(temp, full, MAX_PATH);
    std::string base = platform::narrow(length && length < MAX_PATH ? full : temp) + "hidewell-tests";
    CreateDirectoryW(wide(base).c_str(), nullptr);
    dir = base + "\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    removeTree(dir);
    ASSERT_TRUE(CreateDirectoryW(wide(dir).c_str(), nullptr)) << dir;
    platform::setApplicationFolder(dir);
    wchar_t cwd[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, cwd);
    previousFolder_ = platform::narrow(cwd);
    SetCurrentDirectoryW(wide(dir).c_str());
    host.reset();
}

void Sandbox::TearDown() {
    ui::unloadAll();
    ui::pumpMessages();
    EXPECT_TRUE(host.answers.empty()) << "unused answers";
    EXPECT_TRUE(host.files.empty()) << "unused file choices";
    SetCurrentDirectoryW(wide(previousFolder_).c_str());
    removeTree(dir);
}

::testing::AssertionResult Sandbox::makeItemsToHide() {
    const ::testing::AssertionResult folder = makeFolder(at("Secret"));
    return folder ? writeFile(at("notes.txt"), "x") : folder;
}

::testing::AssertionResult writeFile(const std::string& path, const std::string& bytes) {
    const platform::FileHandle file(CreateFileW(item(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "could not write " << path << " (error " << GetLastError() << ")";
}

std::string readFile(const std::string& path) {
    HANDLE h = CreateFileW(item(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string out;
    char buf[65536];
    DWORD got;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
    CloseHandle(h);
    return out;
}

bool exists(const std::string& path) { return attributes(path) != INVALID_FILE_ATTRIBUTES; }

::testing::AssertionResult makeFolder(const std::string& path) {
    if (CreateDirectoryW(item(path).c_str(), nullptr)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "could not make " << path << " (error " << GetLastError() << ")";
}

DWORD attributes(const std::string& path) { return GetFileAttributesW(item(path).c_str()); }

DWORD flags(const std::string& path) {
    return attributes(path) & ~(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE);
}

int filesIn(const std::string& folder) {
    WIN32_FIND_DATAW fd;
    platform::FindHandle find(FindFirstFileW(wide(folder + "\\*").c_str(), &fd));
    if (!find) return 0;
    int files = 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
    } while (FindNextFileW(find.get(), &fd));
    return files;
}

platform::FileHandle holdOpen(const std::string& path, DWORD access, DWORD sharing) {
    return platform::FileHandle(
        CreateFileW(item(path).c_str(), access, sharing, nullptr, OPEN_EXISTING, 0, nullptr));
}

std::string unixPath(const std::string& path) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = platform::systemCall<UnixName>(L"kernel32.dll", "wine_get_unix_file_name");
    char* name = unixName ? unixName(item(path).c_str()) : nullptr;
    const std::string unix = name ? name : "";
    if (name) HeapFree(GetProcessHeap(), 0, name);
    return unix;
}

bool makeLink(const std::string& link, const std::string& target) {
    if (!underWine())
        return CreateSymbolicLinkW(item(link).c_str(), item(target).c_str(),
                                   SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    const std::string from = unixPath(link), to = unixPath(target);
    if (from.empty() || to.empty() || !startUnixCommand("ln -s '" + to + "' '" + from + "'")) return false;
    for (int i = 0; i < 100 && !exists(link); ++i) Sleep(50);
    return exists(link);
}

// Wine's DeleteFile removes what a Unix link leads to, not the link.
bool removeLink(const std::string& link) {
    if (!underWine()) return DeleteFileW(item(link).c_str());
    if (!startUnixCommand("rm -f '" + unixPath(link) + "'")) return false;
    for (int i = 0; i < 100 && exists(link); ++i) Sleep(50);
    return !exists(link);
}

platform::FileHandle holdTheTurn(const std::string& folder) {
    return platform::FileHandle(CreateFileW(item(folder + "\\hw~turn.lck").c_str(), GENERIC_WRITE | DELETE, 0,
                                            nullptr, OPEN_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

std::optional<std::vector<std::string>> readList(const std::string& path) {
    std::vector<std::string> entries;
    if (hiding::readEntries(path, entries) != hiding::ReadResult::Complete) return std::nullopt;
    return entries;
}

void pressEnter(HWND target) {
    PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(target, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001u));
    ui::pumpMessages();
}

void type(HWND box, std::wstring_view text) {
    for (wchar_t unit : text) PostMessageW(box, WM_CHAR, unit, 1);
    ui::pumpMessages();
}

void typeOver(HWND box, const std::string& text) {
    SetWindowTextW(box, L"");
    type(box, wide(text));
}

::testing::AssertionResult clickAt(POINT screen) {
    // Absolute positions run from 0 to 65535 across the screen: the middle of the pixel.
    const LONG x = (screen.x * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN);
    const LONG y = (screen.y * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN);
    INPUT input[3]{};
    for (INPUT& i : input) {
        i.type = INPUT_MOUSE;
        i.mi.dx = x;
        i.mi.dy = y;
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    input[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    if (SendInput(3, input, sizeof(INPUT)) != 3)
        return ::testing::AssertionFailure() << "the click was refused (error " << GetLastError() << ")";
    for (int i = 0; i < 10; ++i) {
        Sleep(10);
        ui::pumpMessages();
    }
    return ::testing::AssertionSuccess();
}

namespace {
std::string desktopName(HDESK desk) {
    char name[256] = "";
    if (!desk || !GetUserObjectInformationA(desk, UOI_NAME, name, sizeof name, nullptr)) return "";
    return name;
}

// The input desktop's name; empty when this process's window station has none.
std::string inputDesktopName() {
    HDESK input = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    const std::string name = desktopName(input);
    if (input) CloseDesktop(input);
    return name;
}

std::string threadDesktopName() { return desktopName(GetThreadDesktop(GetCurrentThreadId())); }

bool threadIsOnInputDesktop() {
    if (underWine()) return true;
    const std::string input = inputDesktopName();
    return !input.empty() && input == threadDesktopName();
}
}  // namespace

bool (*inputReachesThisThread)() = threadIsOnInputDesktop;

std::string whyClicksCannotBeMade() {
    if (inputReachesThisThread()) return "";
    const std::string input = inputDesktopName();
    return "synthesised input reaches only the input desktop, and this thread's desktop \"" +
           threadDesktopName() + "\" is not it (" +
           (input.empty() ? "there is none here" : "the input desktop is \"" + input + "\"") + ")";
}

namespace {
void removeTreeW(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name != L"." && name != L"..") removeTreeW(path + L"\\" + name);
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}
}  // namespace

// Through the \\?\ form, so that trees deeper than MAX_PATH go too.
void removeTree(const std::string& path) { removeTreeW(item(path)); }

bool underWine() {
    static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

DWORD kernelHandles() {
    // The first exception thrown in the process sets up what the C++ runtime
    // then keeps (with winpthreads a handle to the thread, an event and two
    // semaphores): that is done before anything is counted.
    static const bool runtimeReady = [] {
        try {
            throw 0;
        } catch (int) {
        }
        return true;
    }();
    (void)runtimeReady;
    DWORD reported = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &reported) && reported > 0) return reported;
    // Wine hands out the lowest free value, 4 apart: past the last handle
    // there are only free values, so a long run of them ends the count.
    DWORD counted = 0;
    for (ULONG_PTR value = 4, last = 0; value < last + 4096; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++counted;
            last = value;
        }
    }
    return counted;
}

DWORD handleSlack() { return underWine() ? 0 : 4; }

bool readsWesternLegacy() { return platform::legacyCodePage() == 1252; }

std::wstring wide(const std::string& utf8) { return platform::widen(utf8); }

EmptyDrive::EmptyDrive(const std::string& folder) {
    const DWORD used = GetLogicalDrives();
    for (char c = 'Z'; c >= 'D'; --c) {
        if (used & (1u << (c - 'A'))) continue;
        const std::string name{c, ':'};
        if (DefineDosDeviceW(0, wide(name).c_str(), wide(folder).c_str())) letter = name;
        break;
    }
}

OtherDrive::OtherDrive(const std::string& folder) {
    if (!underWine()) {
        letter_.emplace(folder);
        reached = letter_->letter;
        return;
    }
    const std::string unix = unixPath(folder);
    if (unix.empty() || unix[0] != '/' || GetFileAttributesW(L"Z:\\") == INVALID_FILE_ATTRIBUTES) return;
    reached = "Z:" + unix;
    std::replace(reached.begin(), reached.end(), '/', '\\');
}

EmptyDrive::~EmptyDrive() {
    if (!letter.empty()) DefineDosDeviceW(DDD_REMOVE_DEFINITION, wide(letter).c_str(), nullptr);
}

}  // namespace test
