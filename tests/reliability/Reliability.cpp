#include "reliability/Reliability.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "hiding/ListFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace reliability {

using ui::Icon;

Entries splitLines(std::string_view bytes) {
    Entries out;
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        out.push_back(std::move(line));
        line.clear();
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    }
    if (!line.empty()) out.push_back(std::move(line));
    return out;
}

namespace {

// Windows-1252's bytes 0x80 to 0x9F; the others are Latin-1's. The five that
// 1252 leaves unassigned stand for the control characters of their number,
// as Windows and Wine decode them.
constexpr char16_t k1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool validUtf8(std::string_view bytes) {
    return bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

}  // namespace

std::string asRead(std::string_view line) {
    if (validUtf8(line)) return std::string(line);
    std::string out;
    for (const char c : line) {
        const auto b = static_cast<unsigned char>(c);
        const unsigned u = b < 0x80 ? b : b < 0xA0 ? k1252[b - 0x80] : b;
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += {static_cast<char>(0xC0 | u >> 6), static_cast<char>(0x80 | (u & 0x3F))};
        } else {
            out += {static_cast<char>(0xE0 | u >> 12), static_cast<char>(0x80 | (u >> 6 & 0x3F)),
                    static_cast<char>(0x80 | (u & 0x3F))};
        }
    }
    return out;
}

Entries asRead(const Entries& lines) {
    Entries out;
    for (const std::string& line : lines) out.push_back(asRead(line));
    return out;
}

Entries entriesOf(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);  // the UTF-8 byte-order mark
    const bool little = bytes.starts_with("\xFF\xFE"), big = bytes.starts_with("\xFE\xFF");
    if (!little && !big) return asRead(splitLines(bytes));
    // UTF-16 after its mark; half a unit at the end stands for U+FFFD.
    std::wstring units;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        units += static_cast<wchar_t>(little ? byte(i) | byte(i + 1) << 8 : byte(i) << 8 | byte(i + 1));
    if (bytes.size() % 2) units += L'\uFFFD';
    return splitLines(platform::narrow(units));
}

GuardedText::GuardedText(std::string_view bytes) : size_(bytes.size()) {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    const size_t page = si.dwPageSize;
    const size_t pages = (size_ + page - 1) / page + 1;
    reserved_ = pages * page;
    base_ = static_cast<char*>(VirtualAlloc(nullptr, reserved_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!base_) {
        size_ = 0;
        return;
    }
    DWORD old = 0;
    char* guard = base_ + reserved_ - page;
    VirtualProtect(guard, page, PAGE_NOACCESS, &old);
    data_ = guard - size_;
    if (size_) memcpy(data_, bytes.data(), size_);
}

GuardedText::~GuardedText() {
    if (base_) VirtualFree(base_, 0, MEM_RELEASE);
}

namespace {

void snapshotInto(const std::wstring& root, const std::wstring& relative, Snapshot& out) {
    WIN32_FIND_DATAW fd;
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    HANDLE find = FindFirstFileW(platform::exactPath(folder + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring rel = relative.empty() ? name : relative + L"\\" + name;
        const std::string key = platform::narrow(rel);
        const bool isFolder = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        const long long size =
            isFolder ? -1 : static_cast<long long>(fd.nFileSizeHigh) << 32 | fd.nFileSizeLow;
        out[key] = {fd.dwFileAttributes, size};
        if (isFolder) snapshotInto(root, rel, out);
    } while (FindNextFileW(find, &fd));
    FindClose(find);
}

class TallyPrinter : public ::testing::Environment {
public:
    void TearDown() override {
        if (counts().empty()) return;
        printf("\nReliability tally:\n");
        for (const auto& [what, n] : counts()) printf("  %-58s %10lld\n", what.c_str(), n);
        fflush(stdout);
    }
    static std::map<std::string, long long>& counts() {
        static std::map<std::string, long long> c;
        return c;
    }
};

[[maybe_unused]] ::testing::Environment* const printer =
    ::testing::AddGlobalTestEnvironment(new TallyPrinter);

}  // namespace

Snapshot snapshot(const std::string& folder) {
    Snapshot out;
    snapshotInto(platform::widen(folder), L"", out);
    return out;
}

std::vector<std::string> differences(const Snapshot& before, const Snapshot& after) {
    std::vector<std::string> out;
    for (const auto& [path, state] : before) {
        auto it = after.find(path);
        if (it == after.end())
            out.push_back("gone: " + path);
        else if (it->second != state)
            out.push_back("changed: " + path);
    }
    for (const auto& [path, state] : after)
        if (!before.count(path)) out.push_back("new: " + path);
    return out;
}

void tally(const std::string& what, long long n) { TallyPrinter::counts()[what] += n; }

}  // namespace reliability
