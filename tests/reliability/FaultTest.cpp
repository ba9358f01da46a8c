// Faults made real: a small drive that fills up, a list file locked by
// another program, a drive or folder that goes away while the unhide window
// is open, registry writes that are refused. After each the list file holds
// its whole old or whole new list, the user was told, and the program goes
// on working.
#include "access/FrmChangePass.h"
#include "access/FrmPass.h"
#include "access/PasswordStore.h"
#include "app/Form1.h"
#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "hiding/ListFile.h"
#include "mru/FrmMRU.h"
#include "mru/MruTargets.h"
#include "platform/Paths.h"
#include "reliability/Reliability.h"
#include "support/RegistrySandbox.h"
#include "support/Sandbox.h"
#include "support/SmallDrive.h"
#include "support/Steps.h"

namespace reliability {
namespace {

using ui::Answer;
using ui::Icon;

using test::kHiddenSystem;

// Closing the unhide window when the list could not be written back.
constexpr char kNotSaved[] = "could not be saved";

// Entries whose lines fill exactly one 4 KiB page of the drive, so that any
// growth needs space that a full drive does not have.
Entries onePageOfEntries() {
    Entries out;
    for (int i = 0; i < 64; ++i) {
        std::string e = "C:\\entry " + std::to_string(100 + i) + "\\";
        e.resize(62, 'x');  // 62 + CR LF = 64 bytes a line
        out.push_back(e);
    }
    return out;
}

class FaultTest : public test::Sandbox {
protected:
    void SetUp() override {
        Sandbox::SetUp();
        ASSERT_TRUE(makeItemsToHide());
        main.Show();
    }
    // Removes the entry at `index` as the user does, for one that cannot be
    // found; the boxes shown since the last take, for the test to check.
    std::vector<Box> removeEntry(int index) { return test::unhideEntry(unhide, index, Answer::Yes); }

    Form1& main = ui::shared<Form1>();
    FrmHidef& hide = ui::shared<FrmHidef>();
    FrmUnhidef& unhide = ui::shared<FrmUnhidef>();
};

TEST_F(FaultTest, ADriveThatFillsUpLosesNoEntry) {
    test::SmallDrive drive;
    if (drive.folder.empty()) GTEST_SKIP() << "no small drive of its own here (needs root under Wine)";
    platform::setApplicationFolder(drive.folder);
    const std::string list = hiding::listFilePath();
    const Entries old = onePageOfEntries();
    ASSERT_TRUE(test::writeFile(list, lines(old)));
    ASSERT_EQ(test::readFile(list).size(), 4096u);
    if (!drive.fill()) GTEST_SKIP() << "the drive does not fill up";

    // Hiding: the entry cannot be appended, so the item is not hidden either.
    tally("faults: drive full (append, close-rewrite, export, import)", 4);
    EXPECT_EQ(test::hideFile(hide, at("notes.txt")), std::vector<Box>{kCannotAccess});
    EXPECT_EQ(test::attributes(at("notes.txt")) & kHiddenSystem, 0u);
    EXPECT_EQ(test::readFile(list), lines(old));
    hide.close();

    // The unhide window: an import, an export and the rewrite on closing fail.
    host.reset();
    unhide.Show();
    EXPECT_EQ(unhide.LstUnhide.items(), old);
    ASSERT_TRUE(test::writeFile(at("in.hwl"), lines({"C:\\imported 1", "C:\\imported 2"})));
    EXPECT_TRUE(saysNot(test::importList(unhide, at("in.hwl")), "not imported"));
    EXPECT_TRUE(saysNot(test::exportList(unhide, drive.folder + "\\out.hwl"), "not exported"));
    EXPECT_EQ(removeEntry(0), removal());
    unhide.close();
    EXPECT_TRUE(saysNot(host.takeBoxes(), kNotSaved));
    EXPECT_TRUE(main.visible()) << "the window closed all the same";
    EXPECT_EQ(test::readFile(list), lines(old)) << "the whole old list";
    EXPECT_EQ(test::readFile(drive.folder + "\\out.hwl"), "<missing>") << "no partial export";
    tally("entries kept through faults", static_cast<long long>(old.size()) * 4);

    // With room again, the same steps work.
    DeleteFileW(test::wide(drive.folder + "\\..\\filler").c_str());
    host.reset();
    unhide.Show();
    removeEntry(0);
    unhide.close();
    Entries shorter(old.begin() + 1, old.end());
    EXPECT_EQ(test::readFile(list), lines(shorter));
    EXPECT_EQ(test::hideFile(hide, at("notes.txt")), std::vector<Box>{kFileHidden});
    shorter.push_back(at("notes.txt"));
    EXPECT_EQ(readList(list), shorter);
    hide.close();
}

TEST_F(FaultTest, AListFileHeldOpenWhileTheUnhideWindowIsOpenLosesNoEntry) {
    tally("faults: list file held open without sharing while the unhide window is open", 1);
    const Entries old{"C:\\a", "C:\\gone", "C:\\c"};
    ASSERT_TRUE(test::writeFile(listFile(), lines(old)));
    unhide.Show();
    removeEntry(1);
    // Another program opens the file now, sharing nothing.
    platform::FileHandle other = test::holdOpen(listFile());
    ASSERT_TRUE(other);
    unhide.close();
    other.reset();
    EXPECT_TRUE(saysNot(host.takeBoxes(), kNotSaved));
    EXPECT_TRUE(main.visible());
    EXPECT_EQ(readList(listFile()), old) << "the whole old list";
    tally("entries kept through faults", static_cast<long long>(old.size()));

    // Let go of, the file takes the same change.
    host.reset();
    unhide.Show();
    EXPECT_EQ(removeEntry(1), removal());
    unhide.close();
    EXPECT_TRUE(host.takeBoxes().empty()) << "no failure on closing";
    EXPECT_EQ(readList(listFile()), (Entries{"C:\\a", "C:\\c"}));
}

TEST_F(FaultTest, AListFileUnderAByteRangeLockLosesNoEntry) {
    const Entries old{"C:\\a", "C:\\b"};
    ASSERT_TRUE(test::writeFile(listFile(), lines(old)));
    // Another program holds the whole file locked, sharing everything else.
    // Closing the handle lets go of the lock, on every way out of the test.
    platform::FileHandle other = test::holdOpen(listFile(), GENERIC_READ | GENERIC_WRITE,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_TRUE(other);
    OVERLAPPED whole{};
    ASSERT_TRUE(LockFileEx(other.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                           MAXDWORD, &whole));
    auto release = [&] {
        UnlockFileEx(other.get(), 0, MAXDWORD, MAXDWORD, &whole);
        other.reset();
    };
    char probe[4];
    DWORD got = 0;
    const bool enforced =
        !ReadFile(test::holdOpen(listFile(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE).get(), probe,
                  sizeof probe, &got, nullptr);
    if (!enforced) {
        release();
        GTEST_SKIP() << "byte-range locks do not stop reads here (Wine); a file held open without sharing is "
                        "the lock tested instead";
    }
    tally("faults: list file under a byte-range lock (open, append, import)", 3);

    unhide.Show();
    EXPECT_EQ(host.takeBoxes(), (std::vector<Box>{kNotFound, kPartlyRead}));
    unhide.close();
    EXPECT_TRUE(host.takeBoxes().empty()) << "a list it could not read is not written back";

    host.reset();
    EXPECT_EQ(test::hideFile(hide, at("notes.txt")), std::vector<Box>{kCannotAccess});
    EXPECT_EQ(test::attributes(at("notes.txt")) & kHiddenSystem, 0u);
    hide.close();

    // An import replaces the file in one step: the locked old one goes whole.
    host.reset();
    unhide.Show();
    ASSERT_TRUE(test::writeFile(at("in.hwl"), lines({"C:\\new"})));
    host.chooseFile(at("in.hwl"));
    unhide.CmdImpList.click();
    const Box result = host.boxes.back();
    unhide.close();
    release();
    if (result == kImported) {
        EXPECT_EQ(readList(listFile()), Entries{"C:\\new"});
    } else {
        EXPECT_TRUE(saysNot(result, "not imported")) << result;
        EXPECT_EQ(readList(listFile()), old);
    }
    tally("entries kept through faults", static_cast<long long>(old.size()) * 2);
}

TEST_F(FaultTest, ADriveThatGoesAwayWhileTheUnhideWindowIsOpenLosesNoEntry) {
    test::SmallDrive drive;
    if (drive.folder.empty()) GTEST_SKIP() << "no small drive of its own here (needs root under Wine)";
    platform::setApplicationFolder(drive.folder);
    const Entries old{"C:\\a", "C:\\gone", "C:\\c"};
    ASSERT_TRUE(test::writeFile(hiding::listFilePath(), lines(old)));
    unhide.Show();
    removeEntry(1);
    if (!drive.pullOut()) GTEST_SKIP() << "the drive cannot be pulled out here";
    tally("faults: drive gone while the unhide window is open", 1);

    EXPECT_TRUE(saysNot(test::exportList(unhide, drive.folder + "\\out.hwl"), "not exported"));
    unhide.close();
    EXPECT_TRUE(saysNot(host.takeBoxes(), kNotSaved));
    EXPECT_TRUE(main.visible());
    EXPECT_EQ(test::readFile(drive.kept + "\\sett~.dll"), lines(old))
        << "the drive still holds the whole old list";
    EXPECT_FALSE(test::exists(drive.folder)) << "nothing was made where the drive was";
    tally("entries kept through faults", static_cast<long long>(old.size()));

    // The program goes on: with the application folder back, all is as before.
    platform::setApplicationFolder(drive.kept);
    host.reset();
    unhide.Show();
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(unhide.LstUnhide.items(), old);
    unhide.close();
}

TEST_F(FaultTest, AnApplicationFolderRenamedOrRemovedWhileTheUnhideWindowIsOpenLosesNoEntry) {
    const std::string app = at("app"), moved = at("app moved");
    ASSERT_TRUE(test::makeFolder(app));
    platform::setApplicationFolder(app);
    const Entries old{"C:\\a", "C:\\gone", "C:\\c"};
    ASSERT_TRUE(test::writeFile(app + "\\sett~.dll", lines(old)));
    tally("faults: application folder renamed or removed while the unhide window is open", 2);

    unhide.Show();
    removeEntry(1);
    ASSERT_TRUE(MoveFileW(test::wide(app).c_str(), test::wide(moved).c_str()));
    unhide.close();
    EXPECT_TRUE(saysNot(host.takeBoxes(), kNotSaved));
    EXPECT_FALSE(test::exists(app)) << "nothing was made in its place";
    EXPECT_EQ(test::readFile(moved + "\\sett~.dll"), lines(old));
    tally("entries kept through faults", static_cast<long long>(old.size()));

    ASSERT_TRUE(MoveFileW(test::wide(moved).c_str(), test::wide(app).c_str()));
    host.reset();
    unhide.Show();
    EXPECT_EQ(unhide.LstUnhide.items(), old);
    removeEntry(1);  // a close that changes nothing writes nothing
    test::removeTree(app);
    unhide.close();
    EXPECT_TRUE(saysNot(host.takeBoxes(), kNotSaved)) << "removed: said so again";
    EXPECT_FALSE(test::exists(app));
}

// --- Registry writes refused -------------------------------------------------

class RefusedRegistryTest : public test::Sandbox {
protected:
    void SetUp() override {
        Sandbox::SetUp();
        ASSERT_TRUE(test::PasswordSandbox::plantPlain("old"));
    }

private:
    test::PasswordSandbox passwords_;
};

TEST_F(RefusedRegistryTest, ARefusedPasswordSaveKeepsTheOldPasswordAndSaysSo) {
    if (!test::password::machineWritable()) GTEST_SKIP() << test::password::kNeedsMachine;
    auto& login = ui::shared<FrmPass>();
    auto& change = ui::shared<FrmChangePass>();
    login.Show();
    login.LblChangePass.click();
    ASSERT_TRUE(change.visible());
    {
        tally("faults: registry write refused (password save)", 1);
        test::AccessDenied machine(HKEY_LOCAL_MACHINE, test::password::kMachine);
        test::AccessDenied user(HKEY_CURRENT_USER, test::password::kUser);
        ASSERT_TRUE(machine.inPlace());
        ASSERT_TRUE(user.inPlace());
        change.TxtOldPass.setText("old");
        change.Text1.setText("new");
        change.Text2.setText("new");
        change.CmdChangepass.click();
        EXPECT_EQ(host.boxes, (std::vector<Box>{{PasswordStore::kNotSaved, "Error", Icon::Exclamation}}));
        EXPECT_TRUE(change.visible()) << "the window stays for another try";
        EXPECT_TRUE(PasswordStore::matches("old"));
        EXPECT_FALSE(PasswordStore::matches("new"));
    }
    // The refusal lifted, the same click goes through.
    host.reset();
    change.CmdChangepass.click();
    EXPECT_EQ(host.boxes, std::vector<Box>{kPasswordChanged});
    EXPECT_TRUE(ui::shared<Form1>().visible());
    EXPECT_TRUE(PasswordStore::matches("new"));
}

TEST_F(RefusedRegistryTest, ARefusedMruDeleteKeepsTheKeyAndSaysSo) {
    const MruTarget& t = MruTargets[8];
    ASSERT_STREQ(t.name, "Winrar");
    const std::string target = std::string(t.parent) + "\\" + t.subkey;
    const bool programKeyExisted = test::keyExists(HKEY_CURRENT_USER, "Software\\Winrar");
    const test::PreservedKey real(HKEY_CURRENT_USER, target);
    ASSERT_TRUE(real.kept());
    ASSERT_TRUE(test::makeKey(HKEY_CURRENT_USER, target + "\\inner"));
    ASSERT_TRUE(test::writeRaw(HKEY_CURRENT_USER, target, "a", REG_SZ, std::string("C:\\x.rar") + '\0'));
    auto& form = ui::shared<FrmMRU>();
    ASSERT_TRUE(form.CmbMRU.choose(t.name));
    {
        tally("faults: registry write refused (MRU delete)", 1);
        // Wine does not check DELETE on keys; a key that may not be listed
        // cannot be emptied, so it stays whole.
        test::AccessDenied refused(HKEY_CURRENT_USER, target, DELETE | KEY_ENUMERATE_SUB_KEYS);
        ASSERT_TRUE(refused.inPlace());
        form.CmdDelMRU.click();
    }
    EXPECT_TRUE(test::keyExists(HKEY_CURRENT_USER, target + "\\inner")) << "the key stays whole";
    EXPECT_EQ(test::readRaw(HKEY_CURRENT_USER, target, "a").data, std::string("C:\\x.rar") + '\0');
    EXPECT_TRUE(saysNot(host.takeBoxes(), "could not be removed"));

    host.reset();
    form.CmdDelMRU.click();
    EXPECT_EQ(host.boxes, (std::vector<Box>{{t.confirmation, "Confirmation", Icon::Information}}));
    EXPECT_FALSE(test::keyExists(HKEY_CURRENT_USER, target));
    if (!programKeyExisted) RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Winrar");
}

}  // namespace
}  // namespace reliability
