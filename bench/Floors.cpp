#include "bench/Floors.h"

#include <algorithm>
#include <vector>

namespace bench {
namespace {

constexpr char kBareClass[] = "HidewellBenchBare";

void registerBareClass() {
    static const bool done = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kBareClass;
        return RegisterClassA(&wc) != 0;
    }();
    (void)done;
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

struct FindWindowOf {
    DWORD pid;
    bool found = false;
};

BOOL CALLBACK visibleWindowOf(HWND h, LPARAM lp) {
    auto* find = reinterpret_cast<FindWindowOf*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != find->pid || !IsWindowVisible(h)) return TRUE;
    find->found = true;
    return FALSE;
}

}  // namespace

double nowMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perMs;
}

BareList::~BareList() {
    if (window) DestroyWindow(window);
}

int BareList::count() const { return list ? static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)) : -1; }

bool openBareList(const std::string& path, BareList& out) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart) + 1);
    DWORD got = 0;
    const BOOL read = ReadFile(file, bytes.data(), static_cast<DWORD>(size.QuadPart), &got, nullptr);
    CloseHandle(file);
    if (!read || got != size.QuadPart) return false;

    // Every line end becomes the end of a string; CR LF counts once.
    std::vector<const char*> lines;
    lines.reserve(got / 32);
    char* p = bytes.data();
    char* end = p + got;
    while (p < end) {
        char* stop = std::find_if(p, end, [](char c) { return c == '\r' || c == '\n'; });
        if (stop == end) {
            *stop = '\0';  // the spare byte after the file's
            lines.push_back(p);
            break;
        }
        const bool crlf = *stop == '\r' && stop + 1 < end && stop[1] == '\n';
        *stop = '\0';
        lines.push_back(p);
        p = stop + (crlf ? 2 : 1);
    }

    registerBareClass();
    HINSTANCE inst = GetModuleHandleA(nullptr);
    out.window = CreateWindowExA(0, kBareClass, "Floor", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                 CW_USEDEFAULT, CW_USEDEFAULT, 340, 420, nullptr, nullptr, inst, nullptr);
    if (!out.window) return false;
    out.list = CreateWindowExA(
        WS_EX_CLIENTEDGE, "LISTBOX", nullptr,
        WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL,
        8, 8, 300, 340, out.window, nullptr, inst, nullptr);
    if (!out.list) return false;
    SendMessageA(out.list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(out.list, LB_INITSTORAGE, lines.size(), got);
    for (const char* line : lines) SendMessageA(out.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    SendMessageA(out.list, WM_SETREDRAW, TRUE, 0);
    ShowWindow(out.window, SW_SHOW);
    pump();
    return true;
}

bool writeBare(const std::string& path, const std::string& bytes) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    return ok;
}

double launchUntilWindow(const std::string& program) {
    const size_t cut = program.find_last_of('\\');
    const std::string folder = cut == std::string::npos ? std::string(".") : program.substr(0, cut);
    std::string command = "\"" + program + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double start = nowMs();
    if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &si, &pi))
        return -1;
    double shown = -1;
    for (;;) {
        FindWindowOf find{pi.dwProcessId};
        EnumWindows(visibleWindowOf, reinterpret_cast<LPARAM>(&find));
        if (find.found) {
            shown = nowMs() - start;
            break;
        }
        // A few ms between looks; an exit or ten seconds without a window
        // end the wait.
        if (WaitForSingleObject(pi.hProcess, 2) == WAIT_OBJECT_0 || nowMs() - start > 10000) break;
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return shown;
}

}  // namespace bench
