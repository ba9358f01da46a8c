// Times Hidewell's own paths against bare-platform floors measured in the
// same run, figure and floor runs taking turns, and prints a table of
// medians and ratios. Also checks that each run did what it claims (every
// entry listed, the whole list written back), so a fast wrong path cannot
// pass as a fast one.
//
// bench [--runs N] [--quick] [--program PATH] [--minimal PATH]
// bench --hold FOLDER   (internal: opens the unhide window on FOLDER's list
//                        and exits with its peak working set in KiB)
#include <windows.h>
// These need the types of windows.h.
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "app/SetUp.h"
#include "bench/Floors.h"
#include "hiding/FileAttributes.h"
#include "hiding/FrmUnhidef.h"
#include "hiding/ListFile.h"
#include "platform/Paths.h"
#include "ui/Form.h"
#include "ui/Host.h"

namespace {

using bench::nowMs;

// Answers every box with OK or Yes and no dialog with a file; counts the
// boxes, so that a run can tell the ones it expects from others.
class BenchHost final : public ui::Host {
public:
    ui::Answer messageBox(HWND, std::string_view, std::string_view, ui::Icon, ui::Buttons buttons) override {
        ++boxes;
        return buttons == ui::Buttons::YesNo ? ui::Answer::Yes : ui::Answer::Ok;
    }
    std::optional<ui::FileChoice> chooseFile(HWND, const ui::FileDialog&) override { return std::nullopt; }
    bool openWithShell(std::string_view) override { return true; }
    void endProgram() override {}
    int boxes = 0;
};

BenchHost host;

// A run that did not do what it claims: its time means nothing.
[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what); }

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// Plausible list entries: full paths of varied depth and length (about 60
// bytes on average), each distinct.
std::string listBytes(int entries) {
    static const char* const folders[] = {"Documents", "Pictures\\Holiday",  "Projects\\Reports\\2023",
                                          "Music",     "Downloads\\Archive", "Desktop\\Notes"};
    std::string out;
    out.reserve(static_cast<size_t>(entries) * 64);
    for (int i = 0; i < entries; ++i) {
        out += "C:\\Users\\someone\\";
        out += folders[i % 6];
        out += "\\item ";
        out += std::to_string(i);
        if (i % 3) out += ".txt";
        out += "\r\n";
    }
    return out;
}

void writeFileOrFail(const std::string& path, const std::string& bytes) {
    DeleteFileA(path.c_str());
    if (!bench::writeBare(path, bytes)) fail("cannot write " + path);
}

std::string readFileOrFail(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) fail("cannot read " + path);
    std::string out;
    std::vector<char> buf(1 << 20);
    DWORD got = 0;
    while (ReadFile(h, buf.data(), static_cast<DWORD>(buf.size()), &got, nullptr) && got)
        out.append(buf.data(), got);
    CloseHandle(h);
    return out;
}

std::string folderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string moduleFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return folderOf(path);
}

void removeFolder(const std::string& folder) {
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string p = folder + "\\" + fd.cFileName;
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(p.c_str());
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

// The program's way in: the main window is up, as when the user opens the
// unhide window from it.
void startLikeTheProgram() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ui::initialize();
    setUpProgram();
    ui::setHost(&host);
    ui::shared<Form1>().Show();
    ui::pumpMessages();
}

int holdOpen(const std::string& folder) {
    startLikeTheProgram();
    platform::setApplicationFolder(folder);
    const double start = nowMs();
    ui::shared<FrmUnhidef>().Show();
    ui::pumpMessages();
    const double took = nowMs() - start;
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) return 0;
    // Also printed, for a look at one list by hand: an exit code beyond 255
    // does not reach a Unix shell whole.
    std::printf("opened in %.0f ms, %d entries listed, %d boxes, peak working set %.1f MiB\n", took,
                ui::shared<FrmUnhidef>().LstUnhide.listCount(), host.boxes,
                static_cast<double>(pmc.PeakWorkingSetSize) / 1048576.0);
    std::fflush(stdout);
    if (host.boxes) return 0;
    return static_cast<int>(pmc.PeakWorkingSetSize / 1024);
}

// Peak working set in KiB of a process that opens the unhide window on the
// list in this folder; 0 when it could not be measured.
DWORD peakWithListOpen(const std::string& folder) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = "\"";
    command.append(self).append("\" --hold \"").append(folder).append("\"");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0;
    DWORD kib = 0;
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(pi.hProcess, &kib);
    } else {
        TerminateProcess(pi.hProcess, 0);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return kib;
}

struct Row {
    std::string figure;
    double figureMs = 0, floorMs = 0;
    double goal = 0;  // 0: no goal for this row
    int runs = 0;
    double ratio() const { return floorMs > 0 ? figureMs / floorMs : 0; }
};

// Runs figure and floor in turns and keeps the medians.
Row measure(std::string figure, int runs, double goal, const std::function<double()>& runFigure,
            const std::function<double()>& runFloor) {
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(runFigure());
        b.push_back(runFloor());
    }
    return {std::move(figure), median(a), median(b), goal, runs};
}

std::string thousands(long long n) {
    const std::string digits = std::to_string(n);
    std::string s;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) s += ',';
        s += digits[i];
    }
    return s;
}

std::string ms(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, v < 1 ? "%.3f" : v < 100 ? "%.2f" : "%.1f", v);
    return buf;
}

struct Options {
    int runs = 15;
    bool quick = false;
    std::string program, minimal;
};

class Bench {
public:
    explicit Bench(Options o) : opt_(std::move(o)) {
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        work_ = std::string(temp) + "hidewell-bench-" + std::to_string(GetCurrentProcessId());
        if (!CreateDirectoryA(work_.c_str(), nullptr)) fail("cannot make " + work_);
    }
    ~Bench() {
        ui::unloadAll();
        for (const std::string& f : folders_) removeFolder(f);
        removeFolder(work_);
    }

    void run() {
        const std::vector<int> sizes =
            opt_.quick ? std::vector<int>{1000, 10000} : std::vector<int>{1000, 10000, 32767, 100000};
        startLikeTheProgram();
        std::vector<Row> open, close;
        for (int n : sizes) openAndClose(n, open, close);
        rows_.insert(rows_.end(), open.begin(), open.end());
        rows_.insert(rows_.end(), close.begin(), close.end());
        rows_.push_back(hideOne());
        rows_.push_back(startUp());
        if (!opt_.quick) rows_.push_back(growth(open[3], open[1]));
        print();
    }

private:
    std::string folder(const std::string& name) {
        const std::string f = work_ + "\\" + name;
        if (!CreateDirectoryA(f.c_str(), nullptr)) fail("cannot make " + f);
        folders_.push_back(f);
        return f;
    }

    void openAndClose(int n, std::vector<Row>& open, std::vector<Row>& close) {
        const std::string dir = folder("list-" + std::to_string(n));
        platform::setApplicationFolder(dir);
        const std::string list = hiding::listFilePath();
        const std::string bytes = listBytes(n);
        writeFileOrFail(list, bytes);
        // Closing writes back the list less the entry the user removed.
        const std::string firstEntry = bytes.substr(0, bytes.find("\r\n"));
        const std::string remaining = bytes.substr(firstEntry.size() + 2);
        const std::string copy = dir + "\\written.tmp";
        FrmUnhidef& form = ui::shared<FrmUnhidef>();
        const int runs = std::max(1, n >= 100000 ? opt_.runs * 2 / 3 : opt_.runs);
        const std::string size = thousands(n) + " entries";

        std::vector<double> openA, openB, closeA, closeB, saveA;
        for (int i = 0; i < runs; ++i) {
            ui::pumpMessages();
            double t = nowMs();
            form.Show();
            ui::pumpMessages();
            openA.push_back(nowMs() - t);
            if (form.LstUnhide.listCount() != n || host.boxes)
                fail("the unhide window did not list all " + size);
            if (n == 100000) {
                std::vector<std::string> now;
                t = nowMs();
                const bool saved = hiding::updateFile(
                    list,
                    [&](std::vector<std::string> current) {
                        return hiding::without(std::move(current), {firstEntry});
                    },
                    now);
                saveA.push_back(nowMs() - t);
                if (!saved || now.size() != static_cast<size_t>(n) - 1) fail("cannot write back " + size);
                writeFileOrFail(list, bytes);
            }
            // The first entry names nothing there is: the user has it removed.
            form.LstUnhide.setListIndex(0);
            form.CmdUnhide.click();
            if (form.LstUnhide.listCount() != n - 1 || host.boxes != 3)
                fail("the first entry was not removed");
            host.boxes = 0;

            t = nowMs();
            form.close();
            ui::pumpMessages();
            closeA.push_back(nowMs() - t);
            if (readFileOrFail(list) != remaining)
                fail("closing the unhide window did not write back " + size);
            writeFileOrFail(list, bytes);

            {
                bench::BareList bare;
                t = nowMs();
                const bool ok = bench::openBareList(list, bare);
                openB.push_back(nowMs() - t);
                if (!ok || bare.count() != n) fail("the bare list box did not take " + size);
            }
            ui::pumpMessages();

            t = nowMs();
            const bool ok = bench::writeBare(copy, bytes);
            closeB.push_back(nowMs() - t);
            if (!ok || !DeleteFileA(copy.c_str())) fail("cannot write " + copy);
        }
        open.push_back(
            {"open the unhide window, " + size, median(openA), median(openB), n == 100000 ? 1.3 : 0, runs});
        close.push_back({"close the unhide window, " + size, median(closeA), median(closeB),
                         n == 100000 ? 1.5 : 0, runs});
        if (n != 100000) return;
        // Where closing spends its time: the list written back alone.
        close.push_back({"of which writing the list back, " + size, median(saveA), median(closeB), 0, runs});
        peakKib_ = peakWithListOpen(dir);
        const std::string none = folder("list-0");
        writeFileOrFail(none + "\\sett~.dll", "");
        peakEmptyKib_ = peakWithListOpen(none);
    }

    // Hides a batch of files per run: one hide is too short to time alone.
    Row hideOne() {
        const std::string dir = folder("hide");
        platform::setApplicationFolder(dir);
        writeFileOrFail(hiding::listFilePath(), listBytes(1000));
        constexpr int kBatch = 20;
        std::vector<std::string> items;
        for (int i = 0; i < kBatch; ++i) {
            items.push_back(dir + "\\file " + std::to_string(i) + ".txt");
            writeFileOrFail(items.back(), "x");
        }
        auto resetAll = [&] {
            for (const std::string& p : items)
                if (!SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL)) fail("cannot reset " + p);
        };
        const int runs = opt_.quick ? 1 : opt_.runs + 4;
        return measure(
            "hide one item", runs, 2.0,
            [&] {
                resetAll();
                const double t = nowMs();
                // What the hide window does for the item the user picked.
                for (const std::string& p : items) {
                    hiding::HiddenItem item(p);
                    if (!hiding::appendEntry(hiding::listFilePath(), p, {}, [&] { return item.hide(); }))
                        fail("cannot hide " + p + " (does this file system keep attributes?)");
                    item.keep();
                }
                return (nowMs() - t) / kBatch;
            },
            [&] {
                resetAll();
                const double t = nowMs();
                for (const std::string& p : items)
                    if (!SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
                        fail("cannot set the attributes of " + p);
                return (nowMs() - t) / kBatch;
            });
    }

    Row startUp() {
        auto launch = [](const std::string& program) {
            const double t = bench::launchUntilWindow(program);
            if (t < 0) fail(program + " showed no window");
            return t;
        };
        // Twice the runs: a process start varies more than the rest.
        return measure(
            "start-up until the first window shows", opt_.quick ? 1 : opt_.runs * 2, 1.5,
            [&] { return launch(opt_.program); }, [&] { return launch(opt_.minimal); });
    }

    static Row growth(const Row& big, const Row& small) {
        return {"growth: open at 100,000 entries over open at 10,000", big.figureMs, small.figureMs, 11.0,
                big.runs};
    }

    void print() const {
        std::printf("| figure | runs | Hidewell (ms) | floor (ms) | ratio | goal | met |\n");
        std::printf("|---|---:|---:|---:|---:|---:|---|\n");
        for (const Row& r : rows_) {
            const bool isGrowth = r.figure.rfind("growth", 0) == 0;
            char goal[16] = "";
            const char* met = "";
            if (r.goal > 0) {
                std::snprintf(goal, sizeof goal, isGrowth ? "≤ %.0f" : "≤ %.1f×", r.goal);
                met = r.ratio() <= r.goal ? "yes" : "**no**";
            }
            std::printf("| %s | %d | %s | %s | %.2f%s | %s | %s |\n", r.figure.c_str(), r.runs,
                        ms(r.figureMs).c_str(), ms(r.floorMs).c_str(), r.ratio(), isGrowth ? "" : "×", goal,
                        met);
        }
        std::printf(
            "\nFloors: open = one ReadFile and a plain LISTBOX filled with redraw off "
            "(LB_INITSTORAGE, LB_ADDSTRING), then shown; close = the same bytes to a new file with one "
            "WriteFile and FlushFileBuffers; hide = SetFileAttributes alone; start-up = bench_minimal.exe. "
            "Growth compares Hidewell's open at 100,000 (first column) with its open at 10,000 (second).\n");
        WIN32_FILE_ATTRIBUTE_DATA fa{};
        if (GetFileAttributesExA(opt_.program.c_str(), GetFileExInfoStandard, &fa))
            std::printf("Hidewell.exe: %s bytes\n", thousands(fa.nFileSizeLow).c_str());
        if (peakKib_)
            std::printf(
                "Peak working set with the unhide window open on 100,000 entries: %.1f MiB "
                "(on an empty list: %.1f MiB)\n",
                peakKib_ / 1024.0, peakEmptyKib_ / 1024.0);
        std::fflush(stdout);
    }

    Options opt_;
    std::string work_;
    std::vector<std::string> folders_;
    std::vector<Row> rows_;
    DWORD peakKib_ = 0, peakEmptyKib_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    Options opt;
    const std::string here = moduleFolder();
    opt.program = here + "\\Hidewell.exe";
    opt.minimal = here + "\\bench_minimal.exe";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--hold" && more) return holdOpen(argv[i + 1]);
        if (a == "--runs" && more) {
            opt.runs = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--quick") {
            opt.quick = true;
        } else if (a == "--program" && more) {
            opt.program = argv[++i];
        } else if (a == "--minimal" && more) {
            opt.minimal = argv[++i];
        } else {
            std::fprintf(stderr, "usage: bench [--runs N] [--quick] [--program PATH] [--minimal PATH]\n");
            return 2;
        }
    }
    try {
        Bench(opt).run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
