// The unhide window's flows, export and import included, driven through its
// real controls against the real file system.
#include "hiding/FrmUnhidef.h"

#include <psapi.h>
#include <winioctl.h>

#include <chrono>

#include "app/Form1.h"
#include "hiding/FrmHidef.h"
#include "hiding/ListFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "support/Messages.h"
#include "support/Sandbox.h"
#include "support/SmallDrive.h"
#include "support/Steps.h"
#include "ui/Dpi.h"

namespace {

using test::Box;
using ui::Answer;
using ui::Icon;
using Entries = std::vector<std::string>;
using Controls = std::initializer_list<const ui::Control*>;

using namespace msg;

using test::filesIn;
using test::flags;

class FrmUnhidefTest : public test::Sandbox {
protected:
    void SetUp() override {
        Sandbox::SetUp();
        ASSERT_TRUE(makeItemsToHide());
    }
    // Opens the window on a list file holding these entries.
    [[nodiscard]] ::testing::AssertionResult openWith(const Entries& entries) {
        const ::testing::AssertionResult written = test::writeFile(listFile(), lines(entries));
        if (written) form.Show();
        return written;
    }
    const Entries& shown() const { return form.LstUnhide.items(); }

    FrmUnhidef& form = ui::shared<FrmUnhidef>();
};

TEST_F(FrmUnhidefTest, ShowsEveryControlUnclippedInItsFrame) {
    form.Show();
    RECT client;
    GetClientRect(form.hwnd(), &client);
    EXPECT_EQ(client.right, ui::twipsToPixels(4935, form.dpi()));
    EXPECT_EQ(client.bottom, ui::twipsToPixels(6495, form.dpi()));
    EXPECT_EQ(GetWindowLongA(form.hwnd(), GWL_STYLE) & WS_MAXIMIZEBOX, 0);
    EXPECT_FALSE(IsWindowVisible(form.LstTemp.hwnd()));

    auto rectOf = [](const ui::Control& c) {
        RECT r;
        GetWindowRect(c.hwnd(), &r);
        return r;
    };
    auto inside = [](const RECT& in, const RECT& out) {
        return in.left >= out.left && in.top >= out.top && in.right <= out.right && in.bottom <= out.bottom;
    };
    MapWindowPoints(form.hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT list = rectOf(form.FrameUnhide), quick = rectOf(form.FrameQunhide);
    EXPECT_TRUE(inside(list, client) && inside(quick, client) && inside(rectOf(form.LblHeading), client));
    EXPECT_LE(list.bottom, quick.top);
    for (const ui::Control* c :
         Controls{&form.LstUnhide, &form.CmdUnhide, &form.CmdImpList, &form.CmdExpList})
        EXPECT_TRUE(inside(rectOf(*c), list)) << c->text();
    for (const ui::Control* c : Controls{&form.LblTypePath, &form.TxtUnhide, &form.CmdQuickUnhide})
        EXPECT_TRUE(inside(rectOf(*c), quick)) << c->text();
}

TEST_F(FrmUnhidefTest, TheMainWindowsEntryOpensItOnTheFileExactlyAndClosingWritesOnlyARemoval) {
    if (!test::readsWesternLegacy()) GTEST_SKIP() << test::kNotWesternLegacy;
    // Commas, leading blanks, an empty line, duplicates, a line an earlier
    // version wrote in the legacy code page (1252).
    const std::string ascii = "C:\\My Files, old\\a.txt\r\n  C:\\lead\r\n\r\nC:\\dup\r\nC:\\dup\r\n";
    const std::string bytes = ascii + "C:\\\xE9t\xE9\r\n";
    ASSERT_TRUE(test::writeFile(listFile(), bytes));
    auto& main = ui::shared<Form1>();
    main.Show();
    main.LblUnhidef.click();
    EXPECT_TRUE(form.visible());
    EXPECT_FALSE(main.visible()) << "the main window is hidden while this one is open";
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(shown(), (Entries{"C:\\My Files, old\\a.txt", "  C:\\lead", "", "C:\\dup", "C:\\dup",
                                "C:\\\xC3\xA9t\xC3\xA9"}));
    EXPECT_EQ(form.LstUnhide.listIndex(), -1);

    form.close();
    EXPECT_TRUE(main.visible());
    EXPECT_EQ(test::readFile(listFile()), bytes) << "nothing removed: not written";

    main.LblUnhidef.click();
    EXPECT_EQ(test::unhideEntry(form, 3, Answer::Yes), removal())
        << "C:\\dup cannot be found: the entry goes";
    form.close();
    EXPECT_EQ(test::readFile(listFile()),
              "C:\\My Files, old\\a.txt\r\n  C:\\lead\r\n\r\nC:\\dup\r\nC:\\\xC3\xA9t\xC3\xA9\r\n")
        << "the other lines written back byte for byte, the legacy one in UTF-8";
}

TEST_F(FrmUnhidefTest, AMissingListFileIsReportedOnceAndMadeWhenTheWindowCloses) {
    form.Show();
    EXPECT_EQ(host.takeBoxes(), std::vector<Box>{kNotFound});
    EXPECT_EQ(form.LstUnhide.listCount(), 0);
    form.close();
    EXPECT_EQ(test::readFile(listFile()), "") << "made, empty";
    EXPECT_TRUE(host.takeBoxes().empty());
    form.Show();
    EXPECT_TRUE(host.takeBoxes().empty()) << "an empty list file is no failure";

    DeleteFileW(test::wide(listFile()).c_str());
    ASSERT_TRUE(test::writeFile(at("in.hwl"), lines({"C:\\x"})));
    EXPECT_EQ(test::importList(form, at("in.hwl")), std::vector<Box>{kImported})
        << "imported although the list file was missing";
    EXPECT_EQ(shown(), Entries{"C:\\x"});
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\x"}));
}

TEST_F(FrmUnhidefTest, UnhidesTheSelectedEntryAndDropsIt) {
    SetFileAttributesW(test::wide(at("Secret")).c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(test::wide(at("notes.txt")).c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(openWith({at("notes.txt"), at("Secret"), at("Secret"), ""}));

    EXPECT_EQ(test::unhideEntry(form, 3), std::vector<Box>{kNoSelection})
        << "an empty entry counts as no selection";

    EXPECT_EQ(test::unhideEntry(form, 1), std::vector<Box>{kUnhidden});
    EXPECT_EQ(flags(at("Secret")), 0u);
    EXPECT_EQ(shown(), (Entries{at("notes.txt"), at("Secret"), ""})) << "only the selected one of two goes";
    EXPECT_EQ(form.LstUnhide.listIndex(), -1);

    form.CmdUnhide.click();
    EXPECT_EQ(host.takeBoxes(), std::vector<Box>{kNoSelection}) << "nothing is selected after an unhide";

    EXPECT_EQ(test::unhideEntry(form, 1), std::vector<Box>{kUnhidden})
        << "the duplicate unhides too: the path is there";
    EXPECT_EQ(test::unhideEntry(form, 0), std::vector<Box>{kUnhidden});
    EXPECT_EQ(flags(at("notes.txt")), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))
        << "hidden and system go, the rest stays";
    EXPECT_EQ(shown(), Entries{""});
    EXPECT_EQ(test::readFile(listFile()), lines({at("notes.txt"), at("Secret"), at("Secret"), ""}))
        << "the file waits for the window to close";
}

TEST_F(FrmUnhidefTest, AnEntryThatCannotBeFoundIsRemovedOnlyOnYes) {
    ASSERT_TRUE(openWith({at("gone"), at("Secret")}));
    EXPECT_EQ(test::unhideEntry(form, 0, Answer::No), (std::vector<Box>{kCannotBeFound, kRemoveQuestion}));
    EXPECT_EQ(shown(), (Entries{at("gone"), at("Secret")}));

    host.answer(Answer::Yes);
    form.CmdUnhide.click();
    EXPECT_EQ(host.takeBoxes(), removal());
    EXPECT_EQ(shown(), Entries{at("Secret")});
}

TEST_F(FrmUnhidefTest, QuickUnhideTakesTheTypedPathAsTypedAndLeavesTheList) {
    SetFileAttributesW(test::wide(at("Secret")).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(openWith({at("Secret")}));

    form.CmdQuickUnhide.click();
    EXPECT_EQ(host.takeBoxes(), std::vector<Box>{kTypePath});

    EXPECT_EQ(test::quickUnhide(form, at("Secret")), std::vector<Box>{kQuickUnhidden});
    EXPECT_EQ(flags(at("Secret")), 0u);
    EXPECT_EQ(shown(), Entries{at("Secret")}) << "a listed path keeps its entry";
    EXPECT_EQ(form.TxtUnhide.text(), at("Secret"));
    EXPECT_EQ(test::unhideEntry(form, 0), std::vector<Box>{kUnhidden}) << "and the entry still unhides later";
}

TEST_F(FrmUnhidefTest, QuickUnhideRefusesBlanksAndPathsThatAreNotFull) {
    // The current folder is the sandbox: a relative path would reach it.
    SetFileAttributesW(test::wide(dir).c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(test::wide(at("Secret")).c_str(), FILE_ATTRIBUTE_HIDDEN);
    form.Show();
    host.boxes.clear();
    std::string blankFirst = at("Secret");
    blankFirst.insert(0, 1, ' ');
    for (const std::string& text :
         {std::string("   "), std::string("."), std::string("Secret"), blankFirst}) {
        EXPECT_EQ(test::quickUnhide(form, text), (std::vector<Box>{kInvalid, kCheckPath}))
            << '"' << text << '"';
    }
    EXPECT_EQ(flags(dir), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(flags(at("Secret")), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    SetFileAttributesW(test::wide(dir).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FrmUnhidefTest, ClosingWritesTheShortenedListInOrder) {
    ASSERT_TRUE(openWith({"C:\\a", at("gone1"), "C:\\b, c", at("gone2"), " C:\\d"}));
    for (int index : {3, 1}) EXPECT_EQ(test::unhideEntry(form, index, Answer::Yes), removal()) << index;
    form.close();
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a", "C:\\b, c", " C:\\d"}));
    form.Show();
    EXPECT_EQ(shown(), (Entries{"C:\\a", "C:\\b, c", " C:\\d"}));
}

TEST_F(FrmUnhidefTest, AHiddenListFileStaysHiddenAndKeepsWorking) {
    ASSERT_TRUE(openWith({"C:\\a", at("gone")}));
    const DWORD own = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    SetFileAttributesW(test::wide(listFile()).c_str(), own);
    EXPECT_EQ(test::unhideEntry(form, 1, Answer::Yes), removal());
    form.close();
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a"}));
    EXPECT_EQ(flags(listFile()), own);

    ASSERT_TRUE(test::writeFile(at("in.hwl"), lines({"C:\\x", "C:\\y"})));
    form.Show();
    EXPECT_EQ(test::importList(form, at("in.hwl")), std::vector<Box>{kImported});
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\x", "C:\\y"}));
    EXPECT_EQ(flags(listFile()), own);
    EXPECT_EQ(filesIn(dir), 3) << "no temporary file is left beside it";
}

TEST_F(FrmUnhidefTest, AReadOnlyListFileOrExportFileIsNeverWrittenAndTheUserIsTold) {
    ASSERT_TRUE(openWith({"C:\\a", at("gone")}));
    SetFileAttributesW(test::wide(listFile()).c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(test::writeFile(at("in.hwl"), lines({"C:\\x"})));
    EXPECT_TRUE(saysNot(test::importList(form, at("in.hwl")), "not imported"));
    ASSERT_TRUE(test::writeFile(at("out.hwl"), "kept\r\n"));
    SetFileAttributesW(test::wide(at("out.hwl")).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(saysNot(test::exportList(form, at("out.hwl")), "not exported"));
    EXPECT_EQ(test::unhideEntry(form, 1, Answer::Yes), removal());
    form.close();
    EXPECT_TRUE(saysNot(host.takeBoxes(), "could not be saved"));
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a", at("gone")}));
    EXPECT_EQ(test::readFile(at("out.hwl")), "kept\r\n");
    EXPECT_EQ(flags(listFile()), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));

    host.reset();
    const std::vector<Box> hiding = test::hideFile(ui::shared<FrmHidef>(), at("notes.txt"));
    ASSERT_EQ(hiding.size(), 2u);
    EXPECT_EQ(hiding[0], kCannotAccess) << "nor appended to";
    EXPECT_TRUE(explains(hiding[1], "read-only flag"));
    EXPECT_EQ(flags(at("notes.txt")), 0u);
    ui::shared<FrmHidef>().close();

    // Opened on a read-only list, the window says so once, up front.
    host.reset();
    form.Show();
    const std::vector<Box> onOpening = host.takeBoxes();
    ASSERT_EQ(onOpening.size(), 1u);
    EXPECT_TRUE(explains(onOpening[0], "read-only flag"));
    EXPECT_EQ(test::unhideEntry(form, 1, Answer::Yes), removal());
    form.close();
    EXPECT_TRUE(host.takeBoxes().empty()) << "no failure on closing";
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a", at("gone")}));
}

// The program in a folder where nothing can be written: a read-only drive (a
// drive of its own, as root under Wine), and, anywhere, a file where the
// folder should be. Nothing is hidden unrecorded, and each time the user
// learns which folder it is and that the list needs it.
TEST_F(FrmUnhidefTest, AProgramFolderThatCannotBeWrittenIsNamedAndTheListIsKeptAsItIs) {
    ASSERT_TRUE(test::writeFile(at("a file"), ""));
    std::vector<std::string> folders{at("a file")};
    test::SmallDrive drive;
    const std::string old = lines({"C:\\a", at("gone")});
    if (!drive.folder.empty() && test::writeFile(drive.folder + "\\sett~.dll", old) && drive.makeReadOnly())
        folders.push_back(drive.folder);
    for (const std::string& folder : folders) {
        SCOPED_TRACE(folder);
        platform::setApplicationFolder(folder);
        const std::string named = "\n\n" + folder + "\n\n";
        host.reset();
        const std::vector<Box> hiding = test::hideFile(ui::shared<FrmHidef>(), at("notes.txt"));
        ASSERT_EQ(hiding.size(), 2u);
        EXPECT_EQ(hiding[0], kCannotAccess);
        EXPECT_TRUE(explains(hiding[1], named));
        EXPECT_TRUE(explains(hiding[1], "kept beside the program"));
        EXPECT_EQ(flags(at("notes.txt")), 0u) << "not hidden unrecorded";
        ui::shared<FrmHidef>().close();

        // Said once, on opening: after "not found" where there is no list.
        form.Show();
        const std::vector<Box> onOpening = host.takeBoxes();
        const bool listed = test::exists(folder + "\\sett~.dll");
        ASSERT_EQ(onOpening.size(), listed ? 1u : 2u);
        EXPECT_TRUE(listed || onOpening[0] == kNotFound) << onOpening[0];
        EXPECT_TRUE(explains(onOpening.back(), named));
        if (listed) {
            EXPECT_EQ(test::unhideEntry(form, 1, Answer::Yes), removal());
        }
        form.close();
        EXPECT_TRUE(host.takeBoxes().empty()) << "no failure on closing";
        EXPECT_EQ(test::readFile(folder + "\\sett~.dll"), listed ? old : "<missing>");
    }
    if (folders.size() == 1) GTEST_SKIP() << "no read-only drive here (needs root under Wine); a file tried";
}

TEST_F(FrmUnhidefTest, AnItemStillHiddenAfterUnhidingIsAFailure) {
    // Wine shows every name that starts with a dot as hidden, whatever its
    // attributes: "Unhide" cannot make it visible.
    ASSERT_TRUE(test::makeFolder(at(".dotted")));
    if (!(test::attributes(at(".dotted")) & FILE_ATTRIBUTE_HIDDEN)) GTEST_SKIP() << "dot names show here";
    ASSERT_TRUE(openWith({at(".dotted")}));
    EXPECT_EQ(test::unhideEntry(form, 0, Answer::No), (std::vector<Box>{kCannotBeFound, kRemoveQuestion}));
    EXPECT_EQ(test::quickUnhide(form, at(".dotted")), (std::vector<Box>{kInvalid, kCheckPath}));
    EXPECT_EQ(shown(), Entries{at(".dotted")});
}

TEST_F(FrmUnhidefTest, AListFileTooLargeToHoldIsReportedAndTheMainWindowComesBack) {
    // A sparse file of a terabyte: it takes no room on the disk.
    constexpr LONGLONG kSize = 1LL << 40;
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatusEx(&memory);
    if (memory.ullAvailPhys / 2 >= static_cast<ULONGLONG>(kSize))
        GTEST_SKIP() << "this machine could hold it";
    platform::FileHandle file(
        CreateFileW(test::wide(listFile()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD unused = 0;
    DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
    LARGE_INTEGER size{};
    size.QuadPart = kSize;
    const bool made = SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
    file.reset();
    if (!made) GTEST_SKIP() << "no sparse file of a terabyte here";

    auto& main = ui::shared<Form1>();
    main.Show();
    PROCESS_MEMORY_COUNTERS before{}, after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    const auto start = std::chrono::steady_clock::now();
    main.LblUnhidef.click();
    const auto took = std::chrono::steady_clock::now() - start;
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);

    EXPECT_EQ(host.boxes, std::vector<Box>{kNoMemory});
    EXPECT_EQ(host.boxOwners, std::vector<HWND>{main.hwnd()});
    EXPECT_FALSE(form.loaded()) << "no half-loaded window";
    EXPECT_TRUE(main.visible() && IsWindowEnabled(main.hwnd())) << "the main window is back, usable";
    EXPECT_EQ(test::attributes(listFile()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(test::wide(listFile()).c_str(), GetFileExInfoStandard, &data);
    EXPECT_EQ(static_cast<LONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow, kSize) << "left as it was";
    EXPECT_EQ(filesIn(dir), 2) << "the list file and notes.txt";
    EXPECT_LT(took, std::chrono::seconds(5));
    EXPECT_LT(after.PeakWorkingSetSize, before.PeakWorkingSetSize + (64u << 20)) << "nothing read";
}

TEST_F(FrmUnhidefTest, ExportsTheListAsShown) {
    ASSERT_TRUE(openWith({"C:\\a", at("gone"), "C:\\My Files, old\\b.txt", "", "  C:\\lead"}));
    EXPECT_EQ(test::unhideEntry(form, 1, Answer::Yes), removal());

    ASSERT_TRUE(test::writeFile(at("out"), "old content, replaced without asking\r\n"));
    EXPECT_EQ(test::exportList(form, at("out")), std::vector<Box>{kExported});
    ASSERT_EQ(host.dialogs.size(), 1u);
    const ui::FileDialog& d = host.dialogs[0];
    EXPECT_EQ(d.kind, ui::FileDialog::Save);
    EXPECT_EQ(d.title, "");
    EXPECT_EQ(d.filters, (std::vector<ui::FileFilter>{{"Hidewell File (*.HWL)", "*.hwl"}}));
    EXPECT_EQ(d.initialFolder, "");
    EXPECT_EQ(test::readFile(at("out")), lines({"C:\\a", "C:\\My Files, old\\b.txt", "", "  C:\\lead"}))
        << "under exactly the name given, without the removed entry";
    EXPECT_EQ(test::readFile(listFile()),
              lines({"C:\\a", at("gone"), "C:\\My Files, old\\b.txt", "", "  C:\\lead"}))
        << "export leaves the list file alone";

    // What was exported comes back exactly.
    EXPECT_EQ(test::importList(form, at("out")), std::vector<Box>{kImported});
    EXPECT_EQ(shown(), (Entries{"C:\\a", "C:\\My Files, old\\b.txt", "", "  C:\\lead"}));
}

TEST_F(FrmUnhidefTest, ImportReplacesTheListAndTheFileTakingEveryLineAsItIs) {
    ASSERT_TRUE(openWith({"C:\\old"}));
    ASSERT_TRUE(test::writeFile(at("in.hwl"), "C:\\dup\r\n\r\nC:\\dup\r\n" + at("missing") + "\r\nC:\\last"));
    EXPECT_EQ(test::importList(form, at("in.hwl")), std::vector<Box>{kImported});
    ASSERT_EQ(host.dialogs.size(), 1u);
    EXPECT_EQ(host.dialogs[0].kind, ui::FileDialog::Open);
    EXPECT_EQ(host.dialogs[0].filters,
              (std::vector<ui::FileFilter>{{"Hidewell File (*.HWL)", "*.hwl"}, {"All Files (*.*)", "*.*"}}))
        << "a list exported under a name without an extension can be picked";
    const Entries imported{"C:\\dup", "", "C:\\dup", at("missing"), "C:\\last"};
    EXPECT_EQ(shown(), imported) << "replaced, not merged";
    EXPECT_EQ(test::readFile(listFile()), lines(imported));
    EXPECT_EQ(test::readFile(at("in.hwl")), "C:\\dup\r\n\r\nC:\\dup\r\n" + at("missing") + "\r\nC:\\last")
        << "the imported file is not changed";

    ASSERT_TRUE(test::writeFile(at("empty.hwl"), ""));
    EXPECT_EQ(test::importList(form, at("empty.hwl")), std::vector<Box>{kImported});
    EXPECT_EQ(form.LstUnhide.listCount(), 0);
    EXPECT_EQ(test::readFile(listFile()), "");
}

TEST_F(FrmUnhidefTest, ImportOfTheListFileItselfChangesNothing) {
    ASSERT_TRUE(openWith({"C:\\a, b", "", " C:\\c"}));
    EXPECT_EQ(test::importList(form, listFile()), std::vector<Box>{kImported});
    EXPECT_EQ(shown(), (Entries{"C:\\a, b", "", " C:\\c"}));
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a, b", "", " C:\\c"}));
}

TEST_F(FrmUnhidefTest, CancellingEitherDialogDoesNothing) {
    ASSERT_TRUE(openWith({"C:\\a"}));
    ASSERT_TRUE(test::writeFile(at("in.hwl"), lines({"C:\\x"})));
    EXPECT_EQ(test::exportList(form, at("out.hwl")), std::vector<Box>{kExported});
    EXPECT_EQ(test::importList(form, at("in.hwl")), std::vector<Box>{kImported});
    ASSERT_TRUE(test::writeFile(at("out.hwl"), "changed since\r\n"));

    EXPECT_TRUE(test::exportList(form, std::nullopt).empty());
    EXPECT_TRUE(test::importList(form, std::nullopt).empty());
    EXPECT_TRUE(test::importList(form, "").empty()) << "a dialog that gave no name";
    EXPECT_EQ(test::readFile(at("out.hwl")), "changed since\r\n");
    EXPECT_EQ(shown(), Entries{"C:\\x"});
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\x"}));
}

TEST_F(FrmUnhidefTest, FailedExportsAndImportsSaySoAndChangeNothing) {
    ASSERT_TRUE(openWith({"C:\\a"}));
    ASSERT_TRUE(test::makeFolder(at("folder.hwl")));
    const std::vector<Box> first = test::exportList(form, at("folder.hwl"));
    ASSERT_TRUE(saysNot(first, "not exported"));
    EXPECT_NE(first[0].prompt.find(at("folder.hwl")), std::string::npos) << "names the file";
    EXPECT_TRUE(saysNot(test::exportList(form, at("nowhere\\out.hwl")), "not exported"));
    EXPECT_TRUE(saysNot(test::importList(form, at("folder.hwl")), "not imported"));
    EXPECT_TRUE(saysNot(test::importList(form, at("missing.hwl")), "not imported"));
    // A name with half a surrogate pair.
    EXPECT_TRUE(saysNot(test::exportList(form, at("\xEF\xBF\xBD.hwl"), false), "not exported"));

    EXPECT_EQ(test::attributes(at("folder.hwl")) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(shown(), Entries{"C:\\a"});
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a"}));
    EXPECT_EQ(filesIn(dir), 2) << "the list file and notes.txt, nothing left half-written";
}

TEST_F(FrmUnhidefTest, AListFileHeldOpenByAnotherProgramIsLeftAsItWas) {
    ASSERT_TRUE(test::writeFile(listFile(), lines({"C:\\a", "C:\\b"})));
    platform::FileHandle held = test::holdOpen(listFile());
    ASSERT_TRUE(held);
    form.Show();
    EXPECT_EQ(host.takeBoxes(), (std::vector<Box>{kNotFound, kPartlyRead}));
    EXPECT_EQ(form.LstUnhide.listCount(), 0);
    held.reset();
    form.close();
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a", "C:\\b"})) << "not overwritten with what was read";

    // An import replaces what the window read; the lines it could not read
    // stay after the imported ones, as the window shows.
    held = test::holdOpen(listFile());
    form.Show();
    EXPECT_EQ(host.takeBoxes(), (std::vector<Box>{kNotFound, kPartlyRead}));
    held.reset();
    ASSERT_TRUE(test::writeFile(at("in.hwl"), lines({"C:\\x", "C:\\y"})));
    EXPECT_EQ(test::importList(form, at("in.hwl")), std::vector<Box>{kImported});
    EXPECT_EQ(shown(), (Entries{"C:\\x", "C:\\y", "C:\\a", "C:\\b"}));
    EXPECT_EQ(test::unhideEntry(form, 0, Answer::Yes), removal());
    form.close();
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\y", "C:\\a", "C:\\b"}));
}

TEST_F(FrmUnhidefTest, AListFileThatIsAFolderIsReportedAndLeftAlone) {
    ASSERT_TRUE(test::makeFolder(listFile()));
    form.Show();
    const std::vector<Box> onOpening = host.takeBoxes();
    ASSERT_EQ(onOpening.size(), 2u);
    EXPECT_EQ(onOpening[0], kNotFound);
    EXPECT_TRUE(explains(onOpening[1], "a folder of that name")) << "not a file that could not be read";
    ASSERT_TRUE(test::writeFile(at("in.hwl"), lines({"C:\\x"})));
    EXPECT_TRUE(saysNot(test::importList(form, at("in.hwl")), "not imported"));
    EXPECT_EQ(form.LstUnhide.listCount(), 0) << "the list stays as it was";
    form.close();
    EXPECT_EQ(test::attributes(listFile()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(filesIn(dir), 2) << "notes.txt and in.hwl: no temporary file is left";
}

TEST_F(FrmUnhidefTest, HoldsMoreThan32767Entries) {
    Entries many;
    for (int i = 0; i < 100000; ++i) many.push_back("C:\\Data\\Folder " + std::to_string(i) + "\\file.txt");
    many.push_back(at("gone"));
    ASSERT_TRUE(openWith(many));
    ASSERT_EQ(form.LstUnhide.listCount(), 100001);
    EXPECT_EQ(SendMessageA(form.LstUnhide.hwnd(), LB_GETCOUNT, 0, 0), 100001)
        << "the native list has them all";

    EXPECT_EQ(test::unhideEntry(form, 100000, Answer::Yes), removal());
    form.close();
    many.pop_back();
    EXPECT_EQ(test::readFile(listFile()), lines(many));
}

// An export onto the list file itself, by whatever name, is a write of the
// list: this window's removals go to the file as it is now, as closing takes
// them, and what another copy wrote there meanwhile stays.
TEST_F(FrmUnhidefTest, AnExportOntoTheListFileKeepsWhatAnotherCopyWrote) {
    ASSERT_TRUE(openWith({"C:\\a", at("gone"), "C:\\c"}));
    EXPECT_EQ(test::unhideEntry(form, 1, Answer::Yes), removal());
    ASSERT_TRUE(hiding::appendEntry(listFile(), "C:\\new")) << "another copy hides something";
    const test::OtherDrive drive(dir);
    const std::string there = (drive.reached.empty() ? dir : drive.reached) + "\\SETT~.DLL";
    EXPECT_EQ(test::exportList(form, there), std::vector<Box>{kExported});
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a", "C:\\c", "C:\\new"}));
    ASSERT_TRUE(hiding::appendEntry(listFile(), at("gone"))) << "and the same path again";
    form.close();
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a", "C:\\c", "C:\\new", at("gone")}))
        << "what the export took out is not taken out again";
}

// Logging off or shutting down with the window open keeps its removals as
// closing would, at once and without a box; while another writer holds the
// turn it waits only briefly, as the session may end a few seconds after.
TEST_F(FrmUnhidefTest, TheSessionEndingKeepsTheRemovalsAsClosingWould) {
    ASSERT_TRUE(openWith({"C:\\a", at("gone"), "C:\\c"}));
    EXPECT_EQ(test::unhideEntry(form, 1, Answer::Yes), removal());
    ASSERT_TRUE(hiding::appendEntry(listFile(), "C:\\new")) << "another copy hides something";
    HWND window = form.hwnd();
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    {
        const platform::FileHandle turn = test::holdTheTurn(dir);
        ASSERT_TRUE(turn);
        const auto start = std::chrono::steady_clock::now();
        SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
        EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a", at("gone"), "C:\\c", "C:\\new"}));
    }
    SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(host.takeBoxes().empty());
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a", "C:\\c", "C:\\new"}));
    ASSERT_TRUE(hiding::appendEntry(listFile(), at("gone")));
    form.close();
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a", "C:\\c", "C:\\new", at("gone")}))
        << "kept once, not taken out again on closing";
}

// Nothing is read or written through a link in the list file's place, and
// the user is told why.
TEST_F(FrmUnhidefTest, AListFileThatIsALinkIsNeitherReadNorWritten) {
    ASSERT_TRUE(test::writeFile(at("elsewhere.txt"), lines({"C:\\a"})));
    if (!test::makeLink(listFile(), at("elsewhere.txt"))) GTEST_SKIP() << "no symbolic link can be made here";
    form.Show();
    EXPECT_TRUE(saysNot(host.takeBoxes(), "is a link"));
    EXPECT_EQ(form.LstUnhide.listCount(), 0);
    ASSERT_TRUE(test::writeFile(at("in.hwl"), lines({"C:\\x"})));
    EXPECT_TRUE(saysNot(test::importList(form, at("in.hwl")), "not imported"));
    form.close();

    const std::vector<Box> hiding = test::hideFile(ui::shared<FrmHidef>(), at("notes.txt"));
    ASSERT_EQ(hiding.size(), 2u);
    EXPECT_EQ(hiding[0], kCannotAccess);
    EXPECT_NE(hiding[1].prompt.find("is a link"), std::string::npos) << hiding[1];
    EXPECT_EQ(flags(at("notes.txt")), 0u);
    EXPECT_EQ(test::readFile(at("elsewhere.txt")), lines({"C:\\a"}));
    EXPECT_TRUE(test::removeLink(listFile()));
}

// ---- A full drive -----------------------------------------------------------

TEST_F(FrmUnhidefTest, OnAFullDriveTheListFileKeepsItsWholeOldList) {
    test::SmallDrive drive;
    if (drive.folder.empty()) GTEST_SKIP() << "no small drive of its own here (needs root under Wine)";
    platform::setApplicationFolder(drive.folder);
    const std::string list = hiding::listFilePath();
    ASSERT_TRUE(test::writeFile(list, lines({"C:\\a", "C:\\b"})));
    if (!drive.fill()) GTEST_SKIP() << "the drive does not fill up";

    form.Show();
    EXPECT_EQ(shown(), (Entries{"C:\\a", "C:\\b"}));
    Entries big;
    for (int i = 0; i < 5000; ++i) big.push_back("C:\\imported\\" + std::to_string(i));
    ASSERT_TRUE(test::writeFile(at("big.hwl"), lines(big)));
    EXPECT_TRUE(saysNot(test::importList(form, at("big.hwl")), "not imported"));
    EXPECT_EQ(test::readFile(list), lines({"C:\\a", "C:\\b"})) << "the old list is still whole";
    EXPECT_TRUE(saysNot(test::exportList(form, drive.folder + "\\out.hwl"), "not exported"));
    EXPECT_EQ(shown(), (Entries{"C:\\a", "C:\\b"}));

    form.close();
    EXPECT_EQ(test::readFile(list), lines({"C:\\a", "C:\\b"}));
    EXPECT_EQ(filesIn(drive.folder), 1) << "no partial export or temporary file is left";
}

}  // namespace
