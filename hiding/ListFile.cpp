#include "hiding/ListFile.h"

#include <windows.h>
// aclapi.h needs the types of windows.h.
#include <aclapi.h>

#include <algorithm>
#include <cwchar>
#include <memory>
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
    return name;
}

std::wstring nameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

bool sameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// Where the platform finds an open file, links followed; false when it
// cannot say.
bool finalPath(HANDLE h, std::wstring& path) {
    path.assign(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD n = GetFinalPathNameByHandleW(h, path.data(), static_cast<DWORD>(path.size()), 0);
        if (n == 0) return false;
        if (n < path.size()) {
            path.resize(n);
            return true;
        }
        path.assign(n, L'\0');
    }
    return false;
}

// Whether an open file is the one its path names, and not one that a link
// in its place leads to. Windows marks a link (a symbolic link, a junction,
// any reparse point) as such; Wine shows a Unix link only by where the file
// turns out to be.
bool isItself(HANDLE file, const std::wstring& path) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) ||
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    const platform::FileHandle folder(CreateFileW(
        platform::folderOf(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    std::wstring where, folderWhere;
    // Where either cannot be told, the mark decides.
    if (!folder || !finalPath(file, where) || !finalPath(folder.get(), folderWhere)) return true;
    return sameName(where, platform::childPath(folderWhere, nameOf(path)));
}

constexpr wchar_t kTurnFile[] = L"hw~turn.lck";
constexpr DWORD kPollMs = 50;

// A writer's turn on the list in a folder: the file "hw~turn.lck" there, held
// open without sharing for one append or rewrite (never across a message
// box) and deleted when let go. Every path that reaches the folder (another
// drive letter, a share, a short name) reaches the same file. A copy that
// ends during its turn lets go with its handles, which the system closes; a
// file left behind by a machine that stopped is simply opened again.
class WriterTurn {
public:
    WriterTurn(const std::wstring& file, const KeepWaiting& keepWaiting) {
        const std::wstring path = platform::childPath(platform::folderOf(file), kTurnFile);
        DWORD seenHeld = GetTickCount();
        for (;;) {
            lock_.reset(CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
            if (lock_) return;
            const DWORD error = GetLastError();
            // Another writer has it; and for a moment after it let go, while
            // the file is being deleted, Windows refuses it as well (also
            // after a long wait for that writer).
            if (error == ERROR_SHARING_VIOLATION) seenHeld = GetTickCount();
            const bool held = error == ERROR_SHARING_VIOLATION ||
                              (error == ERROR_ACCESS_DENIED && GetTickCount() - seenHeld < 250);
            if (!held || (keepWaiting && !keepWaiting())) return;
            Sleep(kPollMs);
        }
    }
    explicit operator bool() const { return static_cast<bool>(lock_); }

private:
    platform::FileHandle lock_;
};

// "hw~<8 hex digits>.tmp", as newFileBeside names its files.
bool isCopyName(std::wstring_view name) {
    if (name.size() != 15 || !name.starts_with(L"hw~") || !name.ends_with(L".tmp")) return false;
    return std::all_of(name.begin() + 3, name.end() - 4,
                       [](wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'); });
}

// Removes the copies that rewrites cut short (the program ended, the machine
// stopped) left beside the file. A copy being written now is held open by
// its writer and stays; so does anything that is not plainly one of ours.
void removeStaleCopies(const std::wstring& file) {
    const std::wstring folder = platform::folderOf(file);
    WIN32_FIND_DATAW found{};
    const platform::FindHandle find(FindFirstFileExW(platform::childPath(folder, L"hw~*.tmp").c_str(),
                                                     FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                                     0));
    if (!find) return;
    constexpr DWORD kNotOurs =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY;
    do {
        if (!isCopyName(found.cFileName) || (found.dwFileAttributes & kNotOurs)) continue;
        // Sharing nothing: refused while anyone has it open.
        const platform::FileHandle copy(CreateFileW(platform::childPath(folder, found.cFileName).c_str(),
                                                    DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        FILE_ATTRIBUTE_TAG_INFO tag{};
        if (!copy || !GetFileInformationByHandleEx(copy.get(), FileAttributeTagInfo, &tag, sizeof tag) ||
            (tag.FileAttributes & kNotOurs))
            continue;
        FILE_DISPOSITION_INFO gone{TRUE};
        SetFileInformationByHandle(copy.get(), FileDispositionInfo, &gone, sizeof gone);
    } while (FindNextFileW(find.get(), &found));
}

struct LocalFreer {
    void operator()(void* p) const { LocalFree(p); }
};

// What a file being replaced hands on to the new one: its flags, and its
// permissions where it has its own (a new file in the folder gets the
// folder's anyway).
struct Handover {
    DWORD attributes = 0;
    std::unique_ptr<void, LocalFreer> security;  // holds `dacl`
    PACL dacl = nullptr;
    bool protectedDacl = false;
};

bool hasOwnEntries(PACL dacl) {
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (GetAce(dacl, i, &ace) && !(static_cast<ACE_HEADER*>(ace)->AceFlags & INHERITED_ACE)) return true;
    }
    return false;
}

// What the file at `path`, if there is one, hands on. False when it is there
// but is not to be replaced: read-only, a link when `noLink`, a folder, or
// with permissions that cannot be read.
bool readHandover(const std::wstring& path, bool noLink, Handover& handover) {
    const platform::FileHandle old(CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                               nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                               nullptr));
    if (!old) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(old.get(), FileBasicInfo, &basic, sizeof basic)) return false;
    // Read-only, as readOnly() says, or a folder: not to be replaced.
    if (basic.FileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (noLink && !isItself(old.get(), path)) return false;
    handover.attributes = basic.FileAttributes & kKeptAttributes;
    PSECURITY_DESCRIPTOR security = nullptr;
    const DWORD error = GetSecurityInfo(old.get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                        nullptr, &handover.dacl, nullptr, &security);
    // A file system without permissions (FAT) has none to hand on.
    if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) return true;
    if (error != ERROR_SUCCESS) return false;
    handover.security.reset(security);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(security, &control, &revision);
    handover.protectedDacl = control & SE_DACL_PROTECTED;
    if (!handover.dacl || (!handover.protectedDacl && !hasOwnEntries(handover.dacl))) handover.dacl = nullptr;
    return true;
}

// A new file "hw~<n>.tmp" beside the file at `path`, its name in `temp`,
// with these attributes. It can be renamed (or deleted) while open, and is
// held open until then, so that no one takes it for a stale copy.
// (GetTempFileName would do, but only in folders shorter than MAX_PATH.)
platform::FileHandle newFileBeside(const std::wstring& path, DWORD attributes, std::wstring& temp) {
    const std::wstring folder = platform::folderOf(path);
    const DWORD start = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (DWORD n = 0; n < 100; ++n) {
        wchar_t name[20];
        swprintf(name, 20, L"hw~%08lx.tmp", static_cast<unsigned long>(start + n));
        temp = platform::childPath(folder, name);
        platform::FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                              CREATE_NEW, attributes ? attributes : FILE_ATTRIBUTE_NORMAL,
                                              nullptr));
        if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return {};
}

bool replaceWide(const std::wstring& wide, const std::vector<std::string>& entries, const Handover& old) {
    std::wstring temp;
    platform::FileHandle file = newFileBeside(wide, old.attributes, temp);
    if (!file) return false;
    const bool ready =
        writeLines(file.get(), entries) && FlushFileBuffers(file.get()) &&
        (!old.dacl || SetNamedSecurityInfoW(temp.data(), SE_FILE_OBJECT,
                                            DACL_SECURITY_INFORMATION |
                                                (old.protectedDacl ? PROTECTED_DACL_SECURITY_INFORMATION
                                                                   : UNPROTECTED_DACL_SECURITY_INFORMATION),
                                            nullptr, nullptr, old.dacl, nullptr) == ERROR_SUCCESS);
    if (ready && renameOver(temp, wide)) return true;
    DeleteFileW(temp.c_str());
    return false;
}

// The list file itself, never what a link in its place leads to, opened to
// append to and made when missing (`created`).
platform::FileHandle openToAppend(const std::wstring& path, bool& created) {
    constexpr DWORD kAccess = GENERIC_READ | GENERIC_WRITE;
    for (int attempt = 0; attempt < 2; ++attempt) {
        platform::FileHandle file(CreateFileW(path.c_str(), kAccess, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (file) {
            created = false;
            return isItself(file.get(), path) ? std::move(file) : platform::FileHandle();
        }
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return {};
        // Only a new file: nothing is made through a link that leads nowhere.
        file.reset(CreateFileW(path.c_str(), kAccess, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            created = true;
            return file;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return {};
    }
    return {};
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

// What holding a list costs while the unhide window shows it, as measured
// under Wine with bench --hold: each entry as UTF-8 (here, then in the
// window's own list) and as UTF-16 in the native list box, about three times
// its bytes, and some 120 bytes a line besides (string headers, the native
// item, the heap's own); the longest line is held up to four times more for
// a moment, on its way into the list box (a line of 60 MB took 440 MB).
// Reading stops, as for want of memory, before that passes half the memory
// now free: trying would first page the whole machine to a crawl, and then
// fail all the same.
class MemoryBound {
public:
    explicit MemoryBound(ULONGLONG fileBytes) {
        MEMORYSTATUSEX memory{};
        memory.dwLength = sizeof memory;
        budget_ = GlobalMemoryStatusEx(&memory) ? memory.ullAvailPhys / 2 : ~0ULL;
        if (fileBytes > budget_ / kPerByte) throw std::bad_alloc();
    }
    void add(size_t lineBytes) {
        longest_ = std::max<ULONGLONG>(longest_, lineBytes);
        spent_ += lineBytes * kPerByte + kPerLine;
        if (spent_ + longest_ * 4 > budget_) throw std::bad_alloc();
    }

private:
    static constexpr ULONGLONG kPerByte = 3, kPerLine = 128;
    ULONGLONG budget_ = 0, spent_ = 0, longest_ = 0;
};

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

ReadResult readEntries(const std::string& path, std::vector<std::string>& entries,
                       const ReadProgress& progress) {
    std::wstring wide;
    if (!filePath(path, wide)) return ReadResult::Failed;
    platform::FileHandle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return ReadResult::Missing;
        const DWORD a = GetFileAttributesW(wide.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) ? ReadResult::NotAFile
                                                                              : ReadResult::Failed;
    }
    // A device name (NUL, CON, COM1) opens too: one reads as an empty list,
    // another waits for input that never comes.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return ReadResult::Failed;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) size.QuadPart = 0;
    MemoryBound bound(static_cast<ULONGLONG>(size.QuadPart));
    if (size.QuadPart > 0) entries.reserve(entries.size() + static_cast<size_t>(size.QuadPart / 48));

    // A line an earlier version wrote in the legacy code page is read in it.
    const auto keepBytes = [&](std::string& line) {
        if (!platform::isUtf8(line)) line = platform::fromLegacy(line);
        bound.add(line.size());
        // A long line was read into room that grew as it came.
        if (line.capacity() - line.size() > line.size() / 4 + 32) line.shrink_to_fit();
        entries.push_back(std::move(line));
    };
    const auto keepUnits = [&](std::wstring& line) {
        entries.push_back(platform::narrow(line));
        bound.add(entries.back().size());
    };
    ULONGLONG done = 0;
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
        done += got;
        if (progress) progress(done, static_cast<ULONGLONG>(size.QuadPart));
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

KeepWaiting waitAtMost(unsigned ms) {
    return [start = GetTickCount(), ms] { return GetTickCount() - start < ms; };
}

bool isLink(const std::string& path) {
    std::wstring wide;
    if (!filePath(path, wide)) return false;
    const platform::FileHandle h(CreateFileW(
        wide.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return h && !isItself(h.get(), wide);
}

WriteProblem writeProblem(const std::string& path) {
    std::wstring wide;
    if (!filePath(path, wide)) return WriteProblem::None;
    if (isLink(path)) return WriteProblem::Link;
    const DWORD a = GetFileAttributesW(wide.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) return WriteProblem::NotAFile;
    if (readOnly(wide)) return WriteProblem::ReadOnly;
    std::wstring temp;
    const platform::FileHandle probe = newFileBeside(wide, 0, temp);
    if (!probe) {
        const DWORD error = GetLastError();
        return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? WriteProblem::None
                                                                           : WriteProblem::FolderReadOnly;
    }
    DeleteFileW(temp.c_str());
    return WriteProblem::None;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::wstring wa, wb;
    if (!filePath(a, wa) || !filePath(b, wb)) return false;
    auto idOf = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        const platform::FileHandle h(
            CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return h && GetFileInformationByHandle(h.get(), &info);
    };
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    const bool hasA = idOf(wa, ia), hasB = idOf(wb, ib);
    if (hasA || hasB)
        return hasA && hasB && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
               ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
    return sameName(nameOf(wa), nameOf(wb)) && folderIdentity(wa) == folderIdentity(wb);
}

bool appendEntry(const std::string& path, std::string_view entry, const KeepWaiting& keepWaiting,
                 const std::function<bool()>& first) {
    std::wstring wide;
    if (!filePath(path, wide) || readOnly(wide)) return false;
    const WriterTurn turn(wide, keepWaiting);
    if (!turn) return false;
    removeStaleCopies(wide);
    if (first && !first()) return false;
    bool created = false;
    platform::FileHandle file = openToAppend(wide, created);
    if (!file) return false;
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
    Handover old;
    return filePath(path, wide) && readHandover(wide, false, old) && replaceWide(wide, entries, old);
}

bool updateFile(const std::string& path, const Change& change, std::vector<std::string>& now,
                const KeepWaiting& keepWaiting) {
    std::wstring wide;
    if (!filePath(path, wide) || readOnly(wide)) return false;
    const WriterTurn turn(wide, keepWaiting);
    Handover old;
    if (!turn || !readHandover(wide, true, old)) return false;
    removeStaleCopies(wide);
    std::vector<std::string> current;
    if (const ReadResult read = readEntries(path, current);
        read != ReadResult::Complete && read != ReadResult::Missing)
        return false;
    std::vector<std::string> next = change(std::move(current));
    if (!replaceWide(wide, next, old)) return false;
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
