// Hostile paths where the user can give one: the folder list, the hide
// window's file dialog, the quick-unhide box and the export and import
// dialogs. Each either acts on exactly the item the path names or refuses
// with its message and changes nothing.
#include <cstdio>
#include <cwchar>

#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "reliability/Reliability.h"
#include "support/Sandbox.h"
#include "support/Steps.h"

namespace reliability {
namespace {

using test::kHiddenSystem;

// The literal \\?\ form of a full path the test made: no trailing dot or
// blank is dropped, and the length is no limit.
std::wstring platform(const std::string& path) {
    std::wstring wide = platform::widen(path);
    if (wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\') wide.insert(0, L"\\\\?\\");
    return wide;
}
DWORD attributesOf(const std::string& path) { return GetFileAttributesW(platform(path).c_str()); }
void setAttributes(const std::string& path, DWORD a) { SetFileAttributesW(platform(path).c_str(), a); }
std::string contentOf(const std::string& path) {
    HANDLE h = CreateFileW(platform(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string out(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
    CloseHandle(h);
    out.resize(got);
    return out;
}

// The volume and file number, which tell whether two paths name one item.
std::pair<DWORD, ULONGLONG> identity(const std::string& path) {
    HANDLE h = CreateFileW(platform(path).c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {0, 0};
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    return {info.dwVolumeSerialNumber,
            static_cast<ULONGLONG>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
}

// One hostile path and what each place does with it. `does` has a letter for
// each place that takes it, a '.' for each that refuses it:
//   F the folder list opens it, H the hide window hides it, Q the quick
//   unhide unhides it, E an export writes it, I an import reads it.
// `names` is the item it names, relative to the row's folder ("." the
// folder itself, ".." its parent); empty when it names none.
struct Row {
    const char* what;
    std::string path;
    const char* does;
    std::string names;
};

// Whether the platform takes a name in a folder for a device: "nul.txt" is
// one on Windows 10 and under Wine, no longer on Windows 11.
bool namesADevice(const std::string& path) {
    wchar_t full[MAX_PATH] = L"";
    GetFullPathNameW(platform::widen(path).c_str(), MAX_PATH, full, nullptr);
    return wcsncmp(full, L"\\\\.\\", 4) == 0;
}

// A row for a device name in a folder: refused everywhere where it is one,
// else an ordinary file name that is not there yet.
Row deviceInAFolder(const char* what, const std::string& folder, const std::string& name) {
    if (namesADevice(folder + "\\" + name)) return {what, folder + "\\" + name, ".....", ""};
    return {what, folder + "\\" + name, "...EI", name};
}

class BadPathTest : public test::Sandbox {
protected:
    test::EmptyDrive emptyDrive_;

    // A fresh folder for each row: Secret (a folder), notes.txt, twin and its
    // look-alike twin., spaced , dotted.txt. and, deeper than MAX_PATH,
    // long\...\deep (a folder) holding deep.txt.
    [[nodiscard]] static ::testing::AssertionResult makeRowFolder(const std::string& base) {
        for (const std::string& folder :
             {base, base + "\\Secret", base + "\\twin", base + "\\twin.", base + "\\spaced "})
            if (const ::testing::AssertionResult made = test::makeFolder(folder); !made) return made;
        if (const ::testing::AssertionResult made = test::writeFile(base + "\\dotted.txt.", "x"); !made)
            return made;
        std::string deep = base;
        for (int i = 0; i < 6; ++i) {
            deep += "\\" + std::string(48, static_cast<char>('a' + i));
            CreateDirectoryW(platform(deep).c_str(), nullptr);
        }
        HANDLE h = CreateFileW(platform(deep + "\\deep.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
        return test::writeFile(base + "\\notes.txt", "C:\\from notes\r\n");
    }
    static std::string longFolder() {
        std::string deep;
        for (int i = 0; i < 6; ++i) deep += (i ? "\\" : "") + std::string(48, static_cast<char>('a' + i));
        return deep;
    }

    std::vector<Row> rows(const std::string& b) const {
        const std::string slashed = [&] {
            std::string s = b + "\\Secret";
            for (char& c : s)
                if (c == '\\') c = '/';
            return s;
        }();
        const std::string doubled = b.substr(0, 3) + "\\" + b.substr(3) + "\\\\Secret";
        return {
            {"folder", b + "\\Secret", "FHQ..", "Secret"},
            {"file", b + "\\notes.txt", ".HQEI", "notes.txt"},
            // A trailing dot or blank is part of the name: "Secret." is not "Secret".
            {"folder, trailing dot", b + "\\Secret.", "...EI", "Secret."},
            {"folder, trailing blank", b + "\\Secret ", "...EI", "Secret "},
            {"file, trailing dots and blanks", b + "\\notes.txt. .", "...EI", "notes.txt. ."},
            {"folder named with a trailing dot", b + "\\twin.", "FHQ..", "twin."},
            {"folder named with a trailing blank", b + "\\spaced ", "FHQ..", "spaced "},
            {"file named with a trailing dot", b + "\\dotted.txt.", ".HQEI", "dotted.txt."},
            {"trailing dot, by \"/\" and \"..\"", b + "/Secret/../twin.", "FHQ..", "twin."},
            {"\\\\?\\ folder", "\\\\?\\" + b + "\\Secret", "FHQ..", "Secret"},
            {"\\\\?\\ file", "\\\\?\\" + b + "\\notes.txt", ".HQEI", "notes.txt"},
            {"\\\\?\\ takes a trailing dot literally", "\\\\?\\" + b + "\\new.hwl.", "...EI", "new.hwl."},
            {"forward slashes", slashed, "FHQ..", "Secret"},
            {"doubled separators", doubled, "FHQ..", "Secret"},
            {"UNC, no such server", "\\\\no-such-server\\share\\x", ".....", ""},
            {"UNC, server only", "\\\\no-such-server", ".....", ""},
            {"UNC, bare", "\\\\", ".....", ""},
            {"\\\\?\\ bare", "\\\\?\\", ".....", ""},
            {"\\\\.\\ bare", "\\\\.\\", ".....", ""},
            {"device CON", "CON", ".....", ""},
            {"device NUL", "NUL", ".....", ""},
            {"device COM1", "COM1", ".....", ""},
            {"device AUX", "AUX", ".....", ""},
            deviceInAFolder("device in a folder", b, "NUL"),
            deviceInAFolder("device with an extension", b, "nul.txt"),
            {"device, \\\\.\\NUL", "\\\\.\\NUL", ".....", ""},
            {"device, \\\\.\\COM1", "\\\\.\\COM1", ".....", ""},
            {"volume, \\\\.\\C:", "\\\\.\\C:", ".....", ""},
            {"folder deeper than MAX_PATH", b + "\\" + longFolder(), "FHQ..", longFolder()},
            {"file deeper than MAX_PATH", b + "\\" + longFolder() + "\\deep.txt", ".HQEI",
             longFolder() + "\\deep.txt"},
            {"40,000 characters", "C:\\" + std::string(40000, 'a'), ".....", ""},
            {"relative folder", "Secret", "F....", "Secret"},
            {"relative file", "notes.txt", "...EI", "notes.txt"},
            {"relative, the current folder", ".", "F....", "."},
            {"relative, the parent", "..", "F....", ".."},
            {"relative to a drive's current folder", b.substr(0, 2) + "Secret", "F....", "Secret"},
            {"blanks", "   ", ".....", ""},
            {"wildcard *", b + "\\*", ".....", ""},
            {"wildcard ?", b + "\\Secre?", ".....", ""},
            {"wildcard in a file name", b + "\\*.txt", ".....", ""},
            {"empty drive", emptyDrive_.letter + "\\", ".....", ""},
            {"empty drive, a file on it", emptyDrive_.letter + "\\notes.txt", ".....", ""},
            {"empty drive, bare", emptyDrive_.letter, ".....", ""},
        };
    }

    FrmHidef& hide = ui::shared<FrmHidef>();
    FrmUnhidef& unhide = ui::shared<FrmUnhidef>();
};

TEST_F(BadPathTest, EachPlaceActsOnExactlyTheNamedItemOrRefuses) {
    ASSERT_FALSE(emptyDrive_.letter.empty()) << "no free drive letter to map";
    const int count = static_cast<int>(rows(dir).size());
    for (int n = 0; n < count; ++n) {
        const std::string b = at("row" + std::to_string(n));
        ASSERT_TRUE(makeRowFolder(b));
        const Row row = rows(b)[static_cast<size_t>(n)];
        SCOPED_TRACE(std::string(row.what) + ": " + row.path.substr(0, 300));
        if (row.path.rfind("\\\\no-such-server", 0) == 0 && !test::underWine()) {
            // Windows may look the name up for tens of seconds in each place.
            printf("Skipped on Windows, which may wait long on the server's name: %s\n", row.what);
            continue;
        }
        tally("bad input: paths (folder list, file dialog, quick unhide, export, import)", 5);
        SetCurrentDirectoryW(test::wide(b).c_str());
        DeleteFileW(test::wide(listFile()).c_str());
        const std::string named = row.names == "." ? b : row.names == ".." ? dir : b + "\\" + row.names;
        const std::string does = row.does;
        ASSERT_EQ(does.size(), 5u);

        // The folder list: opens exactly that folder, or keeps the one it had.
        {
            Snapshot before = snapshot(b);
            hide.Show();
            const std::string was = hide.Dir1.path();
            const GuardedText guarded(row.path);
            ASSERT_EQ(guarded.view(), row.path) << "no memory for a guarded copy";
            const bool opened = hide.Dir1.setPath(guarded.view());
            EXPECT_EQ(opened, does[0] == 'F') << "folder list";
            if (opened) {
                EXPECT_EQ(identity(hide.Dir1.path()), identity(named)) << hide.Dir1.path();
                EXPECT_NE(hide.Dir1.path().find(":\\"), std::string::npos) << "a full path";
            } else {
                EXPECT_EQ(hide.Dir1.path(), was);
            }
            EXPECT_EQ(differences(before, snapshot(b)), std::vector<std::string>{});
        }

        // The hide window's file dialog: hides and records the path as given.
        {
            Snapshot before = snapshot(b);
            const DWORD was = named.empty() ? INVALID_FILE_ATTRIBUTES : attributesOf(named);
            host.reset();
            host.chooseFile(row.path);
            hide.CmdHideFil.click();
            hide.close();
            if (does[1] == 'H') {
                EXPECT_EQ(host.boxes, std::vector<Box>{kFileHidden});
                EXPECT_EQ(attributesOf(named) & kHiddenSystem, kHiddenSystem);
                EXPECT_EQ(readList(listFile()), Entries{row.path}) << "recorded exactly as given";
                // The entry unhides what was hidden.
                host.reset();
                unhide.Show();
                EXPECT_EQ(test::unhideEntry(unhide, 0), std::vector<Box>{kUnhidden});
                unhide.close();
                EXPECT_EQ(attributesOf(named) & kHiddenSystem, 0u);
                setAttributes(named, was);
            } else {
                EXPECT_EQ(host.boxes, std::vector<Box>{kCannotAccess}) << "hide";
                EXPECT_FALSE(test::exists(listFile()));
            }
            EXPECT_EQ(differences(before, snapshot(b)), std::vector<std::string>{});
        }

        // The quick unhide: the item named loses hidden and system.
        {
            if (!named.empty()) setAttributes(named, kHiddenSystem);
            Snapshot before = snapshot(b);
            host.reset();
            unhide.Show();
            host.boxes.clear();
            const std::vector<Box> told = test::quickUnhide(unhide, row.path, test::Entry::Pasted);
            if (does[2] == 'Q') {
                EXPECT_EQ(told, std::vector<Box>{kQuickUnhidden});
                EXPECT_EQ(attributesOf(named) & kHiddenSystem, 0u);
                setAttributes(named, kHiddenSystem);
            } else {
                EXPECT_EQ(told, (std::vector<Box>{kInvalid, kCheckPath})) << "quick unhide";
            }
            EXPECT_EQ(differences(before, snapshot(b)), std::vector<std::string>{});
            if (!named.empty()) setAttributes(named, FILE_ATTRIBUTE_NORMAL);
        }

        // Export writes exactly the file named; import reads exactly it.
        {
            unhide.LstUnhide.clear();
            unhide.LstUnhide.addItems({"C:\\exported", ""});
            Snapshot before = snapshot(b);
            const Snapshot app = snapshot(dir);
            host.reset();
            const std::vector<Box> exporting = test::exportList(unhide, row.path);
            if (does[3] == 'E') {
                EXPECT_EQ(exporting, std::vector<Box>{kExported});
                EXPECT_EQ(contentOf(named), lines({"C:\\exported", ""}));
                before.erase(row.names);
                Snapshot after = snapshot(b);
                after.erase(row.names);
                EXPECT_EQ(differences(before, after), std::vector<std::string>{}) << "only the file named";
            } else {
                EXPECT_TRUE(saysNot(exporting, "not exported"));
                EXPECT_EQ(differences(before, snapshot(b)), std::vector<std::string>{});
            }

            before = snapshot(b);
            const std::string content = named.empty() ? "" : contentOf(named);
            host.reset();
            const std::vector<Box> importing = test::importList(unhide, row.path);
            if (does[4] == 'I') {
                EXPECT_EQ(importing, std::vector<Box>{kImported});
                EXPECT_EQ(unhide.LstUnhide.items(), splitLines(content));
            } else {
                EXPECT_TRUE(saysNot(importing, "not imported"));
                EXPECT_EQ(unhide.LstUnhide.items(), (Entries{"C:\\exported", ""}));
            }
            EXPECT_EQ(differences(before, snapshot(b)), std::vector<std::string>{});
            unhide.close();
            // Beside the program: at most the list file, written when the window closed.
            for (const std::string& d : differences(app, snapshot(dir)))
                EXPECT_TRUE(d.find("row") != std::string::npos || d.find("sett~.dll") != std::string::npos)
                    << d;
        }
        SetCurrentDirectoryW(test::wide(dir).c_str());
        test::removeTree(b);
    }
}

// An entry of a list file from elsewhere may hold a NUL, which no path can:
// the platform would take the path up to it, an item the entry does not name.
TEST_F(BadPathTest, AnEntryWithANulNamesNoItem) {
    tally("bad input: list entries with a NUL");
    ASSERT_TRUE(test::makeFolder(at("Secret")));
    setAttributes(at("Secret"), kHiddenSystem);
    const std::string entry = at("Secret") + std::string(1, '\0') + "junk";
    ASSERT_TRUE(test::writeFile(listFile(), lines({entry})));
    unhide.Show();
    EXPECT_EQ(test::unhideEntry(unhide, 0, ui::Answer::No),
              (std::vector<Box>{kCannotBeFound, kRemoveQuestion}));
    EXPECT_EQ(attributesOf(at("Secret")) & kHiddenSystem, kHiddenSystem);
    unhide.close();
    EXPECT_EQ(readList(listFile()), Entries{entry}) << "kept as it was";

    host.reset();
    setAttributes(at("Secret"), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(test::hideFile(hide, entry), std::vector<Box>{kCannotAccess});
    EXPECT_EQ(attributesOf(at("Secret")) & kHiddenSystem, 0u);
    setAttributes(at("Secret"), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace reliability
