// The soak: each of the eight windows opened and closed 1,000 times, and
// 1,000 items hidden and unhidden, in one process. What the process holds
// after a warm-up must not grow by the end.
#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <optional>

#include "access/FrmChangePass.h"
#include "access/FrmNewPass.h"
#include "access/FrmPass.h"
#include "app/Form1.h"
#include "app/FrmAbout.h"
#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "mru/FrmMRU.h"
#include "reliability/Reliability.h"
#include "reliability/Resources.h"
#include "support/RegistrySandbox.h"
#include "support/Sandbox.h"
#include "support/Steps.h"

namespace reliability {
namespace {

constexpr int kRounds = 1000;
constexpr int kWarmUp = 20;
using test::kHiddenSystem;

// After the warm-up and at the end, with the same windows loaded: nothing
// may have grown. A count the platform does not keep is said to be skipped:
// under Wine, which reports no GDI or USER objects, the GDI objects and icons
// counted by handle number and the windows stand in for them, and the kernel
// handles are counted one by one; on Windows, whose handle numbers carry
// reuse bits, those two counts read 0 and the reported ones are compared.
// On Windows the system's own threads (the thread pool, the loader) open and
// close kernel handles as they please: those counts may move by a few, where
// a leak of the program's would show once a round, a thousand times. What
// grew is in the message.
::testing::AssertionResult noGrowth(const Resources& warm, const Resources& end, const std::string& what) {
    printf("%s after warm-up: %s\n%s at the end:    %s\n", what.c_str(), warm.describe().c_str(),
           what.c_str(), end.describe().c_str());
    const long long others = test::underWine() ? 0 : 32;
    ::testing::AssertionResult none = ::testing::AssertionSuccess();
    auto compare = [&](const char* name, long long before, long long after, bool kept, long long slack = 0) {
        if (!kept) {
            printf("  %s: not kept by this platform (reads 0), comparison skipped\n", name);
            return;
        }
        if (after > before + slack)
            none = ::testing::AssertionFailure() << none.message() << what << ": " << name << " grew from "
                                                 << before << " to " << after << ". ";
        tally(what + ": " + name + " growth", after - before);
    };
    compare("GDI objects (GetGuiResources)", warm.gdiReported, end.gdiReported, warm.gdiReported > 0);
    compare("USER objects (GetGuiResources)", warm.userReported, end.userReported, warm.userReported > 0);
    compare("kernel handles", warm.handles, end.handles, true, others);
    compare("GDI objects counted", warm.gdiCounted, end.gdiCounted, warm.gdiCounted > 0);
    compare("windows counted", warm.windows, end.windows, true);
    compare("icons counted", warm.iconsCounted, end.iconsCounted, warm.iconsCounted > 0);
    return none;
}

class SoakTest : public test::Sandbox {
protected:
    void SetUp() override {
        Sandbox::SetUp();
        ASSERT_TRUE(test::PasswordSandbox::plantPlain("soak"));
        // Kept plain, so that each login is checked without the slow hash: a
        // login may not replace a value it may not write.
        frozen_.emplace(HKEY_CURRENT_USER, test::password::kUser);
        ASSERT_TRUE(frozen_->inPlace());
    }
    void quiet() {
        ui::unloadAll();
        ui::pumpMessages();
        host.reset();
    }

private:
    test::PasswordSandbox passwords_;
    std::optional<test::AccessDenied> frozen_;  // goes first, before the value is put back
};

TEST_F(SoakTest, EachWindowOpenedAndClosedAThousandTimes) {
    ASSERT_TRUE(test::writeFile(listFile(), lines({"C:\\a", "C:\\b, c", ""})));
    auto& main = ui::shared<Form1>();
    auto& login = ui::shared<FrmPass>();
    // Each window opened and closed once, as the user reaches it. The main
    // window stays while the four function windows come and go.
    auto round = [&] {
        login.Show();
        login.TxtPass.setText("soak");
        login.CmdPassoK.click();
        EXPECT_TRUE(main.visible()) << "logged in";
        login.close();  // ends the program
        quiet();

        auto& first = ui::shared<FrmNewPass>();
        first.Show();
        first.close();  // ends the program
        quiet();

        auto& change = ui::shared<FrmChangePass>();
        change.Show();
        change.close();  // back to the login window
        EXPECT_TRUE(login.visible());
        login.close();
        quiet();

        main.Show();
        for (ui::Label* entry : {&main.LblHidef, &main.LblUnhidef, &main.LblMRU, &main.Label4}) {
            entry->click();
            EXPECT_FALSE(main.visible());
            for (ui::Form* f :
                 std::initializer_list<ui::Form*>{&ui::shared<FrmHidef>(), &ui::shared<FrmUnhidef>(),
                                                  &ui::shared<FrmMRU>(), &ui::shared<FrmAbout>()})
                if (f->loaded()) f->close();
            EXPECT_TRUE(main.visible());
        }
        main.close();  // ends the program
        quiet();
    };
    constexpr int kWindows = 8;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kWarmUp; ++i) round();
    const Resources warm = measure();
    for (int i = kWarmUp; i < kRounds; ++i) round();
    const Resources end = measure();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("%d rounds of the eight windows in %.1f s\n", kRounds, seconds);
    tally("soak: windows opened and closed", static_cast<long long>(kRounds) * kWindows);
    EXPECT_TRUE(noGrowth(warm, end, "windows"));
    EXPECT_EQ(readList(listFile()), (Entries{"C:\\a", "C:\\b, c", ""})) << "written back a thousand times";
}

TEST_F(SoakTest, AThousandItemsHiddenAndUnhidden) {
    std::vector<std::string> items;
    for (int i = 0; i < kRounds; ++i) {
        items.push_back(at("item " + std::to_string(i) + (i % 2 ? ".txt" : "")));
        if (i % 2)
            ASSERT_TRUE(test::writeFile(items.back(), "x"));
        else
            ASSERT_TRUE(test::makeFolder(items.back()));
    }
    auto& hide = ui::shared<FrmHidef>();
    auto& unhide = ui::shared<FrmUnhidef>();
    const auto start = std::chrono::steady_clock::now();

    // Folders through the folder list, files through the file dialog.
    auto hideOne = [&](int i) {
        host.reset();
        if (i % 2) {
            EXPECT_EQ(test::hideFile(hide, items[i]), std::vector<Box>{kFileHidden}) << items[i];
        } else {
            ASSERT_TRUE(hide.Dir1.setPath(items[i]));
            hide.CmdHideDir.click();
            EXPECT_EQ(host.boxes, std::vector<Box>{kFolderHidden}) << items[i];
        }
    };
    hide.Show();
    for (int i = 0; i < kWarmUp; ++i) ASSERT_NO_FATAL_FAILURE(hideOne(i));
    const Resources hideWarm = measure();
    for (int i = kWarmUp; i < kRounds; ++i) ASSERT_NO_FATAL_FAILURE(hideOne(i));
    const Resources hideEnd = measure();
    hide.close();
    EXPECT_EQ(readList(listFile()), items);

    // Each unhidden from the top of the list.
    auto unhideOne = [&](int i) {
        host.reset();
        EXPECT_EQ(test::unhideEntry(unhide, 0), std::vector<Box>{kUnhidden}) << items[i];
    };
    unhide.Show();
    for (int i = 0; i < kWarmUp; ++i) unhideOne(i);
    const Resources unhideWarm = measure();
    for (int i = kWarmUp; i < kRounds; ++i) unhideOne(i);
    const Resources unhideEnd = measure();
    unhide.close();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("%d items hidden and unhidden in %.1f s\n", kRounds, seconds);
    tally("soak: items hidden and unhidden", kRounds);

    EXPECT_EQ(test::readFile(listFile()), "");
    int stillHidden = 0;
    for (const std::string& item : items) stillHidden += (test::attributes(item) & kHiddenSystem) != 0;
    EXPECT_EQ(stillHidden, 0);
    EXPECT_TRUE(noGrowth(hideWarm, hideEnd, "hiding"));
    EXPECT_TRUE(noGrowth(unhideWarm, unhideEnd, "unhiding"));
}

}  // namespace
}  // namespace reliability
