// Two running copies of the program share one list file: each writes only
// its own changes, so nothing one hides is lost and nothing one removes or
// imports comes back from the other. The other copy is this test program
// run again, doing one thing through its real windows (OtherCopy.Acts).
#include <algorithm>

#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "support/Messages.h"
#include "support/Sandbox.h"
#include "support/Steps.h"

namespace {

using test::Box;
using Entries = std::vector<std::string>;
using namespace msg;

constexpr wchar_t kJob[] = L"HIDEWELL_OTHER_COPY";

// "<application folder>|hide|<folder>", "...|remove|<entry>", "...|import|<file>"
// or "...|hold|" (takes the list's turn and keeps it until ended).
std::vector<std::string> job() {
    wchar_t value[4096] = L"";
    const DWORD n = GetEnvironmentVariableW(kJob, value, 4096);
    std::vector<std::string> parts;
    if (n == 0 || n >= 4096) return parts;
    const std::string text = platform::narrow(value);
    for (size_t start = 0;;) {
        const size_t bar = text.find('|', start);
        parts.push_back(text.substr(start, bar - start));
        if (bar == std::string::npos) return parts;
        start = bar + 1;
    }
}

class OtherCopy : public test::Sandbox {};

TEST_F(OtherCopy, Acts) {
    const std::vector<std::string> parts = job();
    if (parts.size() != 3 || parts[1] == "hold") GTEST_SKIP() << "run by TwoCopiesTest as the other copy";
    platform::setApplicationFolder(parts[0]);
    const std::string& action = parts[1];
    if (action == "hide") {
        auto& hide = ui::shared<FrmHidef>();
        ASSERT_TRUE(hide.Dir1.setPath(parts[2]));
        hide.CmdHideDir.click();
        EXPECT_EQ(host.boxes, std::vector<Box>{kFolderHidden});
        hide.close();
        return;
    }
    auto& unhide = ui::shared<FrmUnhidef>();
    unhide.Show();
    if (action == "remove") {
        const Entries& items = unhide.LstUnhide.items();
        const auto at = std::find(items.begin(), items.end(), parts[2]);
        ASSERT_NE(at, items.end()) << parts[2];
        // It names nothing there is: the entry goes.
        EXPECT_EQ(test::unhideEntry(unhide, static_cast<int>(at - items.begin()), ui::Answer::Yes),
                  removal());
    } else {
        EXPECT_EQ(test::importList(unhide, parts[2]), std::vector<Box>{kImported});
    }
    unhide.close();
}

// Takes the list's turn and keeps it until ended: no folder of its own, as
// nothing cleans up after a copy that is ended.
TEST(OtherCopyHolding, TheTurn) {
    const std::vector<std::string> parts = job();
    if (parts.size() != 3 || parts[1] != "hold") GTEST_SKIP() << "run by TwoCopiesTest as the other copy";
    const platform::FileHandle turn = test::holdTheTurn(parts[0]);
    ASSERT_TRUE(turn);
    Sleep(INFINITE);
}

class TwoCopiesTest : public test::Sandbox {
protected:
    // The other copy, started to do one thing in this application folder.
    platform::Handle startOtherCopy(const std::string& action, const std::string& what) {
        SetEnvironmentVariableW(kJob, test::wide(dir + "|" + action + "|" + what).c_str());
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        const wchar_t* test = action == "hold" ? L"OtherCopyHolding.TheTurn" : L"OtherCopy.Acts";
        std::wstring line = L"\"" + std::wstring(self) + L"\" --gtest_filter=" + test + L" --gtest_brief=1";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        const BOOL started =
            CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
        SetEnvironmentVariableW(kJob, nullptr);
        if (!started) return {};
        CloseHandle(pi.hThread);
        return platform::Handle(pi.hProcess);
    }
    // The other copy does one thing in this application folder, and ends.
    [[nodiscard]] ::testing::AssertionResult otherCopy(const std::string& action, const std::string& what) {
        const platform::Handle process = startOtherCopy(action, what);
        if (!process) return ::testing::AssertionFailure() << "the other copy did not start";
        DWORD code = 1;
        if (WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0)
            return ::testing::AssertionFailure() << "the other copy did not end within a minute";
        if (GetExitCodeProcess(process.get(), &code) && code == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "the other copy failed to " << action << " " << what << " (exit code " << code << ")";
    }
    std::vector<std::string> removeHere(const std::string& entry) {
        const Entries& items = unhide.LstUnhide.items();
        const int index = static_cast<int>(std::find(items.begin(), items.end(), entry) - items.begin());
        EXPECT_EQ(test::unhideEntry(unhide, index, ui::Answer::Yes), removal()) << entry;
        return unhide.LstUnhide.items();
    }
    FrmUnhidef& unhide = ui::shared<FrmUnhidef>();
};

TEST_F(TwoCopiesTest, EachCopyWritesOnlyItsOwnChanges) {
    ASSERT_TRUE(makeItemsToHide());
    ASSERT_TRUE(test::makeFolder(at("Other")));
    ASSERT_TRUE(test::writeFile(listFile(), lines({"C:\\a", "C:\\b", "C:\\c"})));

    // While this copy's unhide window is open and has removed C:\a, the other
    // hides a folder and removes C:\b.
    unhide.Show();
    EXPECT_EQ(removeHere("C:\\a"), (Entries{"C:\\b", "C:\\c"}));
    ASSERT_TRUE(otherCopy("hide", at("Secret")));
    ASSERT_TRUE(otherCopy("remove", "C:\\b"));
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a", "C:\\c", at("Secret")}));
    unhide.close();
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\c", at("Secret")}));

    // An import here replaces what this window read and keeps what the other
    // hid meanwhile; the other's import is not undone by this window closing.
    unhide.Show();
    ASSERT_TRUE(otherCopy("hide", at("Other")));
    ASSERT_TRUE(test::writeFile(at("in.hwl"), lines({"C:\\x", "C:\\y"})));
    EXPECT_EQ(test::importList(unhide, at("in.hwl")), std::vector<Box>{kImported});
    EXPECT_EQ(unhide.LstUnhide.items(), (Entries{"C:\\x", "C:\\y", at("Other")}));
    ASSERT_TRUE(test::writeFile(at("theirs.hwl"), lines({"C:\\z"})));
    ASSERT_TRUE(otherCopy("import", at("theirs.hwl")));
    unhide.close();
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\z"}));
}

// The turn is the other copy's for as long as it holds it: a hide waits for
// it, and the user may stop with nothing hidden; a copy that is ended lets
// go of it, and the waiting hide goes on.
TEST_F(TwoCopiesTest, AHideWaitsForTheOtherCopysTurnOrStopsWithNothingChanged) {
    ASSERT_TRUE(makeItemsToHide());
    ASSERT_TRUE(test::writeFile(listFile(), lines({"C:\\a"})));
    const platform::Handle other = startOtherCopy("hold", "");
    ASSERT_TRUE(other);
    for (int i = 0; i < 200 && !test::exists(at("hw~turn.lck")); ++i) Sleep(50);
    ASSERT_TRUE(test::exists(at("hw~turn.lck"))) << "the other copy took the turn";

    auto& hide = ui::shared<FrmHidef>();
    ASSERT_TRUE(hide.Dir1.setPath(at("Secret")));
    host.answer(ui::Answer::Cancel);
    hide.CmdHideDir.click();
    EXPECT_EQ(host.takeBoxes(), std::vector<Box>{kListBusy});
    EXPECT_EQ(test::flags(at("Secret")), 0u);
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a"}));

    host.answer(ui::Answer::Retry);
    host.whileOpen = [&] {
        host.whileOpen = nullptr;
        // Held, but not hidden until it can be recorded: ended now, the
        // program would leave nothing hidden unlisted.
        EXPECT_FALSE(MoveFileW(test::wide(at("Secret")).c_str(), test::wide(at("Moved")).c_str()));
        EXPECT_EQ(test::flags(at("Secret")), 0u);
        TerminateProcess(other.get(), 1);
        WaitForSingleObject(other.get(), 10000);
    };
    hide.CmdHideDir.click();
    EXPECT_EQ(host.takeBoxes(), (std::vector<Box>{kListBusy, kFolderHidden}));
    EXPECT_EQ(test::readFile(listFile()), lines({"C:\\a", at("Secret")}));
    EXPECT_FALSE(test::exists(at("hw~turn.lck")));
    hide.close();
}

}  // namespace
