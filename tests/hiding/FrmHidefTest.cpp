// The hide window's flows, driven through its real controls.
#include "hiding/FrmHidef.h"

#include <shlobj.h>

#include "hiding/FileAttributes.h"
#include "hiding/FrmUnhidef.h"

#include "app/Form1.h"
#include "platform/Text.h"
#include "support/Messages.h"
#include "support/Sandbox.h"
#include "support/Steps.h"

namespace {

using test::Box;
using ui::Icon;

using namespace msg;
using test::flags;
using test::kHiddenSystem;

class FrmHidefTest : public test::Sandbox {
protected:
    void SetUp() override {
        Sandbox::SetUp();
        ASSERT_TRUE(makeItemsToHide());
    }
    FrmHidef& form = ui::shared<FrmHidef>();
};

TEST_F(FrmHidefTest, StartsAtTheCurrentFolderAndOpensOnlyOnDoubleClick) {
    form.Show();
    EXPECT_EQ(form.Dir1.path(), dir);
    EXPECT_EQ(form.drive1.drive(), std::string(1, static_cast<char>(dir[0] | 0x20)) + ":");

    int secret = -1;
    for (int i = 0; i < form.Dir1.listCount(); ++i)
        if (form.Dir1.list(i) == at("Secret")) secret = i;
    ASSERT_GE(secret, 0);
    form.Dir1.highlight(secret);
    EXPECT_EQ(form.Dir1.path(), dir) << "a single click only highlights";
    form.Dir1.open(secret);
    EXPECT_EQ(form.Dir1.path(), at("Secret"));
    form.Dir1.open(0);
    EXPECT_EQ(form.Dir1.path(), dir.substr(0, 3)) << "the first entry is the drive root";
}

TEST_F(FrmHidefTest, HidesTheOpenFolderAndRecordsIt) {
    form.Show();
    EXPECT_FALSE(ui::shared<Form1>().visible()) << "the main window is hidden while this one is open";
    ASSERT_TRUE(form.Dir1.setPath(at("Secret")));
    // A customised folder is read-only (Wine keeps no such flag on a folder).
    SetFileAttributesW(test::wide(at("Secret")).c_str(), FILE_ATTRIBUTE_READONLY);
    const DWORD before = flags(at("Secret"));

    form.CmdHideDir.click();
    EXPECT_EQ(host.boxes, std::vector<Box>{kFolderHidden});
    EXPECT_EQ(flags(at("Secret")), before | kHiddenSystem) << "hidden and system added, the rest kept";
    EXPECT_EQ(test::readFile(listFile()), at("Secret") + "\r\n");

    form.CmdHideDir.click();
    EXPECT_EQ(test::readFile(listFile()), at("Secret") + "\r\n" + at("Secret") + "\r\n")
        << "hiding twice records twice";
    EXPECT_EQ(form.Dir1.path(), at("Secret")) << "the folder list stays where it was";
}

TEST_F(FrmHidefTest, TheFolderDoubleClickedIsTheOneHiddenWhateverItsName) {
    // Beside its namesake, a name the platform would shorten to it or to nothing.
    for (const char* name : {"twin", "twin.", "spaced "}) ASSERT_TRUE(test::makeFolder(at(name)));
    for (const std::string name : {"twin.", "spaced "}) {
        SCOPED_TRACE('"' + name + '"');
        ASSERT_TRUE(form.Dir1.setPath(dir));
        int index = -1;
        for (int i = 0; i < form.Dir1.listCount(); ++i)
            if (form.Dir1.list(i) == at(name)) index = i;
        ASSERT_GE(index, 0);
        form.Dir1.open(index);
        EXPECT_EQ(form.Dir1.path(), at(name));
        form.CmdHideDir.click();
        EXPECT_EQ(host.takeBoxes(), std::vector<Box>{kFolderHidden});
        EXPECT_EQ(flags(at(name)), kHiddenSystem);
    }
    EXPECT_EQ(test::readFile(listFile()), lines({at("twin."), at("spaced ")})) << "recorded as shown";
    EXPECT_EQ(flags(at("twin")), 0u) << "the namesake is left alone";
    EXPECT_EQ(flags(dir), 0u) << "and so is the folder above";
}

TEST_F(FrmHidefTest, AnItemIsHeldFromItsHidingToItsEntryAndHidesWhileAnotherProgramHoldsIt) {
    {
        hiding::HiddenItem item(at("Secret"));
        ASSERT_TRUE(item.held());
        ASSERT_TRUE(item.hide());
        // What another program may try while the entry waits for its turn.
        EXPECT_FALSE(MoveFileW(test::wide(at("Secret")).c_str(), test::wide(at("Moved")).c_str()));
        EXPECT_FALSE(RemoveDirectoryW(test::wide(at("Secret")).c_str()));
    }
    EXPECT_EQ(flags(at("Secret")), 0u) << "not kept (its entry not recorded): given back";
    EXPECT_TRUE(MoveFileW(test::wide(at("Secret")).c_str(), test::wide(at("Moved")).c_str())) << "let go";

    // Held open without sharing, as SetFileAttributes would: then not held against a rename.
    SetFileAttributesW(test::wide(at("notes.txt")).c_str(), FILE_ATTRIBUTE_READONLY);
    const platform::FileHandle held = test::holdOpen(at("notes.txt"));
    ASSERT_TRUE(held);
    hiding::HiddenItem item(at("notes.txt"));
    ASSERT_TRUE(item.hide());
    EXPECT_EQ(flags(at("notes.txt")), FILE_ATTRIBUTE_READONLY | kHiddenSystem);
    EXPECT_TRUE(item.restore());
    EXPECT_EQ(flags(at("notes.txt")), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)) << "exactly as it was";
}

TEST_F(FrmHidefTest, RefusesADriveRoot) {
    ASSERT_TRUE(form.Dir1.setPath(dir.substr(0, 3)));
    const DWORD before = test::attributes(dir.substr(0, 3));
    form.CmdHideDir.click();
    EXPECT_EQ(host.boxes, (std::vector<Box>{{"Please select a directory", "Error", Icon::Exclamation}}));
    EXPECT_EQ(form.refusal, 1);
    EXPECT_EQ(test::attributes(dir.substr(0, 3)), before);
    EXPECT_FALSE(test::exists(listFile()));
}

TEST_F(FrmHidefTest, HidesAFolderWithTheShortestPathAllowed) {
    // "C:\a" has 4 characters, one more than a drive root.
    const std::string shortest = dir.substr(0, 3) + "a";
    if (test::exists(shortest)) GTEST_SKIP() << "needs a free " << shortest << ", which this machine uses";
    ASSERT_TRUE(test::makeFolder(shortest));
    ASSERT_TRUE(form.Dir1.setPath(shortest));
    form.CmdHideDir.click();
    EXPECT_EQ(host.boxes, std::vector<Box>{kFolderHidden});
    EXPECT_EQ(flags(shortest), kHiddenSystem);
    test::removeTree(shortest);
}

TEST_F(FrmHidefTest, PutsTheAttributesBackWhenTheEntryCannotBeRecorded) {
    ASSERT_TRUE(test::makeFolder(listFile()));  // the list file cannot be written
    ASSERT_TRUE(form.Dir1.setPath(at("Secret")));
    SetFileAttributesW(test::wide(at("Secret")).c_str(), FILE_ATTRIBUTE_HIDDEN);
    form.CmdHideDir.click();
    const std::vector<Box> boxes = host.takeBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], kCannotAccess);
    EXPECT_TRUE(explains(boxes[1], "a folder of that name")) << "the cause, and what to do";
    EXPECT_EQ(flags(at("Secret")), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));

    SetFileAttributesW(test::wide(at("notes.txt")).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(test::hideFile(form, at("notes.txt")), boxes) << "reported for a file too";
    EXPECT_EQ(flags(at("notes.txt")), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

TEST_F(FrmHidefTest, HidesTheChosenFile) {
    form.Show();
    ASSERT_TRUE(form.Dir1.setPath(at("Secret")));
    SetFileAttributesW(test::wide(at("notes.txt")).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(test::hideFile(form, at("notes.txt")), std::vector<Box>{kFileHidden});

    ASSERT_EQ(host.dialogs.size(), 1u);
    const ui::FileDialog& d = host.dialogs[0];
    EXPECT_EQ(d.kind, ui::FileDialog::Open);
    EXPECT_EQ(d.title, "Select a file to hide and click open");
    EXPECT_EQ(d.filters, (std::vector<ui::FileFilter>{{"All Files (*.*)", "*.*"}}));
    EXPECT_EQ(d.initialFolder, at("Secret")) << "the dialog opens where the folder list is";
    EXPECT_EQ(flags(at("notes.txt")), FILE_ATTRIBUTE_READONLY | kHiddenSystem) << "still read-only";
    EXPECT_EQ(test::readFile(listFile()), at("notes.txt") + "\r\n");
}

// A shortcut at `path` to `target`, as Explorer makes one.
::testing::AssertionResult makeShortcut(const std::string& path, const std::string& target) {
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    const bool made =
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) &&
        SUCCEEDED(link->SetPath(test::wide(target).c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&file))) &&
        SUCCEEDED(file->Save(test::wide(path).c_str(), TRUE));
    if (file) file->Release();
    if (link) link->Release();
    if (made) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "could not make the shortcut " << path;
}

TEST_F(FrmHidefTest, AShortcutHidesWhatItLeadsToOrNothing) {
    ASSERT_TRUE(makeShortcut(at("notes.lnk"), at("notes.txt")));
    ASSERT_TRUE(makeShortcut(at("Secret.LNK"), at("Secret")));
    EXPECT_EQ(test::hideFile(form, at("notes.lnk")), std::vector<Box>{kFileHidden});
    EXPECT_EQ(test::hideFile(form, at("Secret.LNK")), std::vector<Box>{kFileHidden});
    EXPECT_EQ(flags(at("notes.txt")), kHiddenSystem);
    EXPECT_EQ(flags(at("Secret")), kHiddenSystem);
    EXPECT_EQ(flags(at("notes.lnk")), 0u) << "the shortcut itself stays as it was";
    EXPECT_EQ(test::readFile(listFile()), lines({at("notes.txt"), at("Secret")}));

    // Leading to nothing there is, or no shortcut at all: said, nothing hidden.
    ASSERT_TRUE(makeShortcut(at("gone.lnk"), at("gone.txt")));
    ASSERT_TRUE(test::writeFile(at("plain.lnk"), "not a shortcut"));
    for (const std::string& shortcut : {at("gone.lnk"), at("plain.lnk")}) {
        const std::vector<Box> told = test::hideFile(form, shortcut);
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0].title, "Error");
        EXPECT_NE(told[0].prompt.find(shortcut), std::string::npos) << told[0];
        EXPECT_EQ(flags(shortcut), 0u);
    }
    EXPECT_EQ(test::readFile(listFile()), lines({at("notes.txt"), at("Secret")}));
}

TEST_F(FrmHidefTest, ACancelledDialogChangesNothing) {
    EXPECT_EQ(test::hideFile(form, at("notes.txt")), std::vector<Box>{kFileHidden});
    EXPECT_TRUE(test::hideFile(form, std::nullopt).empty());
    EXPECT_EQ(test::readFile(listFile()), at("notes.txt") + "\r\n");
}

TEST_F(FrmHidefTest, AnItemThatCannotBeFoundIsReported) {
    EXPECT_EQ(test::hideFile(form, at("gone.txt")), std::vector<Box>{kCannotAccess});
    EXPECT_FALSE(test::exists(listFile()));
}

TEST_F(FrmHidefTest, HidesAndRecordsItemsOfAnyNameThatTheUnhideWindowThenUnhides) {
    const std::string folder = at("Fotos \xE6\x97\xA5\xE6\x9C\xAC \xCE\xA9");
    const std::string file = at("\xD0\x96\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB \xE2\x9C\x93.txt");
    ASSERT_TRUE(test::makeFolder(folder));
    ASSERT_TRUE(test::writeFile(file, "x"));
    int fotos = -1;
    for (int i = 0; i < form.Dir1.listCount(); ++i)
        if (form.Dir1.list(i) == folder) fotos = i;
    ASSERT_GE(fotos, 0) << "the folder list shows the name as it is";
    form.Dir1.open(fotos);
    form.CmdHideDir.click();
    EXPECT_EQ(host.takeBoxes(), std::vector<Box>{kFolderHidden});
    EXPECT_EQ(test::hideFile(form, file), std::vector<Box>{kFileHidden});
    EXPECT_EQ(flags(folder), kHiddenSystem);
    EXPECT_EQ(flags(file), kHiddenSystem);
    EXPECT_EQ(test::readFile(listFile()), lines({folder, file})) << "recorded in UTF-8";
    form.close();

    auto& unhide = ui::shared<FrmUnhidef>();
    host.reset();
    unhide.Show();
    EXPECT_EQ(unhide.LstUnhide.items(), (std::vector<std::string>{folder, file}));
    // The list shows the names as they are, not with stand-ins.
    wchar_t shown[MAX_PATH] = L"";
    SendMessageW(unhide.LstUnhide.hwnd(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(shown, platform::widen(folder));
    for (int i = 0; i < 2; ++i) EXPECT_EQ(test::unhideEntry(unhide, 0), std::vector<Box>{kUnhidden}) << i;
    EXPECT_EQ(flags(folder), 0u);
    EXPECT_EQ(flags(file), 0u);
}

TEST_F(FrmHidefTest, ADriveThatIsNotReadyIsReportedAndTheFolderListStays) {
    {
        const test::EmptyDrive empty;
        ASSERT_FALSE(empty.letter.empty()) << "no free drive letter to map";
        form.Show();
        form.drive1.refresh();
        ASSERT_TRUE(form.drive1.chooseDrive(empty.letter));
        EXPECT_EQ(host.takeBoxes(),
                  (std::vector<Box>{{"The Device selected cannot be accessed", "Error", Icon::Exclamation}}));
        const std::string chosen{static_cast<char>(empty.letter[0] | 0x20), ':'};
        EXPECT_EQ(form.drive1.drive(), chosen);
        EXPECT_EQ(form.Dir1.path(), dir);
    }

    ASSERT_TRUE(form.Dir1.setPath(at("Secret")));
    form.CmdHideDir.click();
    EXPECT_EQ(host.boxes, std::vector<Box>{kFolderHidden}) << "Hide Folder acts on the folder still shown";
}

TEST_F(FrmHidefTest, TheNoteOnShortcutsAndClosing) {
    form.Show();
    form.LblQ.click();
    EXPECT_EQ(host.boxes,
              (std::vector<Box>{{"Links cannot be hidden, if a link is hidden, the target path of "
                                 "the link would be hidden",
                                 "Info", Icon::Information}}));
    form.close();
    EXPECT_FALSE(form.loaded());
    EXPECT_TRUE(ui::shared<Form1>().visible()) << "closing brings the main window back";
}

}  // namespace
