#include "hiding/ListFile.h"

#include <windows.h>
// sddl.h needs the types of windows.h.
#include <sddl.h>

#include <algorithm>
#include <map>
#include <new>
#include <unordered_map>

#include "platform/Handles.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace hiding {
namespace {

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool writeAll(HANDLE h, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

// The lines go out through a buffer of bounded size: copying a long list
// whole into one block first costs more than the few extra writes.
bool writeLines(HANDLE h, const std::vector<std::string>& entries) {
    constexpr size_t kChunk = 256 * 1024;
    std::string buffer;
    buffer.reserve(kChunk);
    for (const std::string& e : entries) {
        if (!buffer.empty() && buffer.size() + e.size() + 2 > kChunk) {
            if (!writeAll(h, buffer)) return false;
            buffer.clear();
        }
        buffer += e;
        buffer += "\r\n";
    }
    return writeAll(h, buffer);
}

// Renames, retrying briefly while another program (a virus scanner, an
// indexer) still holds the file.
bool renameOver(const std::wstring& from, const std::wstring& to) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        const bool busy =
            error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!busy || attempt == 4) return false;
        Sleep(100);
    }
}

// A read-only file is never written, by an append or a rewrite alike. The
// platform is not relied on for that: Windows refuses to open it for writing
// or to rename onto it, but Wine run as root does both.
bool readOnly(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_READONLY);
}

// What names the folder that holds a file whatever reaches it (another drive
// letter, a share): its volume and file id; its path where those cannot be had.
std::wstring folderIdentity(const std::wstring& file) {
    const std::wstring folder = platform::folderOf(file);
    const platform::FileHandle h(CreateFileW(folder.c_str(), 0,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (h && GetFileInformationByHandle(h.get(), &info)) {
        wchar_t id[32];
        swprintf(id, 32, L"%08lx-%08lx%08lx", info.dwVolumeSerialNumber, info.nFileIndexHigh,
                 info.nFileIndexLow);
        return id;
    }
    std::wstring name = folder;
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    std::replace(name.begin(), name.end(), L'\\', L'/');  // no separators in an object's name
    return name;
}

// The mutex through which the writers of one list file take turns, named
// after its folder and open to every user of the machine, so that another
// copy of the program, of another user or on another drive letter, waits
// too. Made once a list and kept, since making it costs more than the rest
// of an append. Null where none can be had.
HANDLE turnMutex(const std::wstring& file) {
    static auto& made = *new std::map<std::wstring, platform::Handle>;  // lives until the process ends
    platform::Handle& mutex = made[file];
    if (mutex) return mutex.get();
    const std::wstring name = L"Global\\Hidewell-list-" + folderIdentity(file);
    // Everyone may wait on it and release it (SYNCHRONIZE | MUTEX_MODIFY_STATE).
    PSECURITY_DESCRIPTOR everyone = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;0x00100001;;;WD)", SDDL_REVISION_1,
                                                         &everyone, nullptr);
    SECURITY_ATTRIBUTES sa{sizeof sa, everyone, FALSE};
    mutex.reset(CreateMutexW(&sa, FALSE, name.c_str()));
    if (everyone) LocalFree(everyone);
    if (!mutex) mutex.reset(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str()));
    return mutex.get();
}

// A writer's turn: one append or rewrite, never across a message box. Where
// no mutex can be had, or a writer holds it for more than ten seconds, the
// writer goes on alone.
class WriterTurn {
public:
    explicit WriterTurn(const std::wstring& file) : mutex_(turnMutex(file)) {
        if (!mutex_) return;
        // Abandoned: a copy ended during its turn, which left no half-written list.
        const DWORD waited = WaitForSingleObject(mutex_, 10000);
        held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~WriterTurn() {
        if (held_) ReleaseMutex(mutex_);
    }
    WriterTurn(const WriterTurn&) = delete;
    WriterTurn& operator=(const WriterTurn&) = delete;

private:
    HANDLE mutex_;  // we don't own it
    bool held_ = false;
};

// A new file "hw~<n>.tmp" beside the file at `path`, its name in `temp`.
// (GetTempFileName would do, but only in folders shorter than MAX_PATH.)
platform::FileHandle newFileBeside(const std::wstring& path, std::wstring& temp) {
    const std::wstring folder = platform::folderOf(path);
    const DWORD start = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (DWORD n = 0; n < 100; ++n) {
        wchar_t name[20];
        swprintf(name, 20, L"hw~%08lx.tmp", static_cast<unsigned long>(start + n));
        temp = platform::childPath(folder, name);
        platform::FileHandle file(
            CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return {};
}

bool replaceWide(const std::wstring& wide, const std::vector<std::string>& entries) {
    if (readOnly(wide)) return false;
    const DWORD old = GetFileAttributesW(wide.c_str());
    const bool hadOld = old != INVALID_FILE_ATTRIBUTES && !(old & FILE_ATTRIBUTE_DIRECTORY);

    std::wstring temp;
    {
        platform::FileHandle file = newFileBeside(wide, temp);
        if (!file) return false;
        if (!writeLines(file.get(), entries) || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileW(temp.c_str());
            return false;
        }
    }
    if (!renameOver(temp, wide)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    // The new file takes over the old one's hidden and system flags.
    if (hadOld && (old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        SetFileAttributesW(wide.c_str(), old & kKeptAttributes);
    return true;
}

// A file's text: bytes (UTF-8, or an earlier version's code page) or, after
// its byte-order mark, UTF-16 as Notepad saves "Unicode" files.
enum class Encoding { Bytes, Utf16LE, Utf16BE };

// The encoding a file's first bytes announce; the mark itself is taken off.
// Notepad's "UTF-8 with BOM" has one too, which is no part of the first entry.
Encoding byteOrderMark(std::string_view& start) {
    if (start.starts_with("\xEF\xBB\xBF")) {
        start.remove_prefix(3);
        return Encoding::Bytes;
    }
    const bool little = start.starts_with("\xFF\xFE"), big = start.starts_with("\xFE\xFF");
    if (little || big) start.remove_prefix(2);
    return little ? Encoding::Utf16LE : big ? Encoding::Utf16BE : Encoding::Bytes;
}

// Cuts text fed in pieces into lines, each ended by CR LF, a lone CR or a
// lone LF, and hands each line to `keep`; a last line without a line end is
// handed on by finish.
template <class Unit>
class Lines {
public:
    template <class Keep>
    void feed(std::basic_string_view<Unit> text, const Keep& keep) {
        const Unit* p = text.data();
        const Unit* end = p + text.size();
        while (p < end) {
            if (afterCR_) {
                afterCR_ = false;
                if (*p == Unit('\n')) {
                    ++p;
                    continue;
                }
            }
            const Unit* stop =
                std::find_if(p, end, [](Unit c) { return c == Unit('\r') || c == Unit('\n'); });
            line_.append(p, stop);
            if (stop == end) break;
            keep(line_);
            line_.clear();
            afterCR_ = *stop == Unit('\r');
            p = stop + 1;
        }
    }
    template <class Keep>
    void finish(const Keep& keep) {
        if (!line_.empty()) keep(line_);
    }

private:
    std::basic_string<Unit> line_;
    bool afterCR_ = false;
};

// The `n` bytes at `offset`, in `out`; false when there are not so many.
bool readAt(HANDLE file, LONGLONG offset, DWORD n, std::string& out) {
    LARGE_INTEGER at{};
    at.QuadPart = offset;
    out.assign(n, '\0');
    DWORD got = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFile(file, out.data(), n, &got, nullptr) &&
           got == n;
}

// Text in the UTF-16 bytes of that order; bytes that are not UTF-8 are taken
// in the legacy code page, as reading takes them.
std::string utf16Bytes(const std::string& text, Encoding order) {
    std::string out;
    for (const wchar_t unit : platform::widen(platform::isUtf8(text) ? text : platform::fromLegacy(text))) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        out += order == Encoding::Utf16LE ? std::string{low, high} : std::string{high, low};
    }
    return out;
}

// The platform's form of a path of a file here, which reaches exactly that file.
bool filePath(const std::string& path, std::wstring& wide) {
    if (!platform::toWide(path, wide)) return false;
    wide = platform::exactPath(wide);
    return true;
}

}  // namespace

bool isReadOnly(const std::string& path) {
    std::wstring wide;
    return filePath(path, wide) && readOnly(wide);
}

std::string listFilePath() { return platform::applicationFolder() + "\\sett~.dll"; }

ReadResult readEntries(const std::string& path, std::vector<std::string>& entries) {
    std::wstring wide;
    if (!filePath(path, wide)) return ReadResult::Failed;
    platform::FileHandle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::Missing
                                                                              : ReadResult::Failed;
    }
    // A device name (NUL, CON, COM1) opens too: one reads as an empty list,
    // another waits for input that never comes.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return ReadResult::Failed;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
        // Each entry is held twice while a window shows it (here and in the
        // list box): a file larger than half the free memory cannot be held,
        // and trying would first page the whole machine to a crawl.
        MEMORYSTATUSEX memory{};
        memory.dwLength = sizeof memory;
        if (GlobalMemoryStatusEx(&memory) && static_cast<ULONGLONG>(size.QuadPart) > memory.ullAvailPhys / 2)
            throw std::bad_alloc();
        entries.reserve(entries.size() + size.QuadPart / 48);
    }

    // A line an earlier version wrote in the legacy code page is read in it.
    const auto keepBytes = [&](std::string& line) {
        if (!platform::isUtf8(line)) line = platform::fromLegacy(line);
        entries.push_back(std::move(line));
    };
    const auto keepUnits = [&](std::wstring& line) { entries.push_back(platform::narrow(line)); };
    Lines<char> bytes;
    Lines<wchar_t> units;
    Encoding encoding = Encoding::Bytes;
    std::wstring wideChunk;
    int pending = -1;  // the first byte of a UTF-16 unit split between two reads
    std::vector<char> buffer(1 << 20);
    for (bool atStart = true;; atStart = false) {
        DWORD got = 0;
        // A line the error cut short is not offered: "C:\Data" cut from
        // "C:\Data\Private" names another item.
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return ReadResult::Failed;
        if (got == 0) break;
        std::string_view chunk(buffer.data(), got);
        if (atStart) encoding = byteOrderMark(chunk);
        if (encoding == Encoding::Bytes) {
            bytes.feed(chunk, keepBytes);
            continue;
        }
        wideChunk.clear();
        for (const char c : chunk) {
            const auto b = static_cast<unsigned char>(c);
            if (pending < 0) {
                pending = b;
                continue;
            }
            const unsigned unit = encoding == Encoding::Utf16LE ? pending | b << 8 : pending << 8 | b;
            wideChunk.push_back(static_cast<wchar_t>(unit));
            pending = -1;
        }
        units.feed(wideChunk, keepUnits);
    }
    bytes.finish(keepBytes);
    if (pending >= 0) units.feed(L"\uFFFD", keepUnits);  // half a unit at the end
    units.finish(keepUnits);
    return ReadResult::Complete;
}

bool appendEntry(const std::string& path, std::string_view entry) {
    std::wstring wide;
    if (!filePath(path, wide) || readOnly(wide)) return false;
    const WriterTurn turn(wide);
    platform::FileHandle file(CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return false;
    // A list saved as UTF-16 elsewhere gets its line in UTF-16 too, so it
    // stays one text.
    std::string head;
    Encoding encoding = Encoding::Bytes;
    if (readAt(file.get(), 0, 2, head)) {
        std::string_view start = head;
        encoding = byteOrderMark(start);
    }
    // A file edited elsewhere may lack its last line end; the new entry must
    // not run into the last one.
    const DWORD unit = encoding == Encoding::Bytes ? 1 : 2;
    const LONGLONG half = unit == 2 ? size.QuadPart % 2 : 0;  // a unit cut short ends no line
    std::string last;
    bool ended = half == 0;
    if (ended && size.QuadPart > (unit == 1 ? 0 : 2) &&
        readAt(file.get(), size.QuadPart - unit, unit, last)) {
        const auto byte = [&](size_t i) { return static_cast<unsigned char>(last[i]); };
        const unsigned c = unit == 1                       ? byte(0)
                           : encoding == Encoding::Utf16LE ? byte(0) | byte(1) << 8
                                                           : byte(0) << 8 | byte(1);
        ended = c == '\n' || c == '\r';
    }
    std::string line = ended ? "" : "\r\n";
    line += entry;
    line += "\r\n";
    // A file cut in the middle of a unit gets the unit's other half first, so
    // that the new line reads whole.
    if (encoding != Encoding::Bytes)
        line = std::string(static_cast<size_t>(half), '\0') + utf16Bytes(line, encoding);
    LARGE_INTEGER zero{};
    if (SetFilePointerEx(file.get(), zero, nullptr, FILE_END) && writeAll(file.get(), line)) return true;
    // A full disk may have taken part of the line: cut it off again.
    SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN);
    SetEndOfFile(file.get());
    file.reset();
    if (created) DeleteFileW(wide.c_str());
    return false;
}

bool replaceFile(const std::string& path, const std::vector<std::string>& entries) {
    std::wstring wide;
    return filePath(path, wide) && replaceWide(wide, entries);
}

bool updateFile(const std::string& path, const Change& change, std::vector<std::string>& now) {
    std::wstring wide;
    if (!filePath(path, wide) || readOnly(wide)) return false;
    const WriterTurn turn(wide);
    std::vector<std::string> current;
    if (readEntries(path, current) == ReadResult::Failed) return false;
    std::vector<std::string> next = change(std::move(current));
    if (!replaceWide(wide, next)) return false;
    now = std::move(next);
    return true;
}

std::vector<std::string> without(std::vector<std::string> from, const std::vector<std::string>& less) {
    std::unordered_map<std::string, size_t> left;
    for (const std::string& e : less) ++left[e];
    std::erase_if(from, [&](const std::string& e) {
        const auto it = left.find(e);
        if (it == left.end() || it->second == 0) return false;
        --it->second;
        return true;
    });
    return from;
}

}  // namespace hiding
