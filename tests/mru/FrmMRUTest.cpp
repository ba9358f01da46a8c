// The MRU window against the real registry: each row deletes exactly its
// key, whole, and says so only when the key is gone. The real lists of the
// programs (on a developer's machine) are kept aside and put back.
#include "mru/FrmMRU.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <string_view>

#include "app/Form1.h"
#include "mru/MruTargets.h"
#include "registry/ModRegedit.h"
#include "support/Messages.h"
#include "support/RegistrySandbox.h"
#include "support/Sandbox.h"

namespace {

using test::Box;
using ui::Icon;

using msg::kReboot;
using msg::saysNot;

constexpr int kTargets = static_cast<int>(std::size(MruTargets));

// The row of the table that the drop-down list shows as `name`.
const MruTarget& target(std::string_view name) {
    const auto found = std::find_if(std::begin(MruTargets), std::end(MruTargets),
                                    [&](const MruTarget& t) { return t.name == name; });
    EXPECT_NE(found, std::end(MruTargets)) << name;
    return found == std::end(MruTargets) ? MruTargets[0] : *found;
}

class FrmMRUTest : public test::Sandbox {
protected:
    void TearDown() override {
        for (const std::string& key : created_) RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
        Sandbox::TearDown();
    }
    // The target key with values and a subkey tree, and a sibling key and
    // value in its parent that must survive. Nothing is made unless the real
    // key was kept.
    [[nodiscard]] ::testing::AssertionResult plant(const MruTarget& t) {
        kept_.push_back(
            std::make_unique<test::PreservedKey>(HKEY_CURRENT_USER, std::string(t.parent) + "\\" + t.subkey));
        ::testing::AssertionResult made = kept_.back()->kept();
        // The first missing key on the way goes afterwards, with all below it.
        const std::string parent = t.parent;
        for (size_t cut = parent.find('\\');; cut = parent.find('\\', cut + 1)) {
            const std::string above = parent.substr(0, cut);
            if (!exists(above)) {
                created_.push_back(above);
                break;
            }
            if (cut == std::string::npos) break;
        }
        const std::string target = parent + "\\" + t.subkey;
        for (const std::string& key :
             {target + "\\deep\\deeper", std::string(t.parent) + "\\HidewellSibling"}) {
            if (made) made = test::makeKey(HKEY_CURRENT_USER, key);
            created_.push_back(key);
        }
        created_.push_back(target);
        if (made) made = test::writeRaw(HKEY_CURRENT_USER, target, "a", REG_SZ, test::sz("C:\\x.pdf"));
        if (made) made = test::writeRaw(HKEY_CURRENT_USER, target + "\\deep", "b", REG_SZ, test::sz("y"));
        if (made)
            made =
                test::writeRaw(HKEY_CURRENT_USER, parent, "HidewellSiblingValue", REG_SZ, test::sz("keep"));
        return made;
    }
    static bool exists(const std::string& key) { return test::keyExists(HKEY_CURRENT_USER, key); }

    FrmMRU& form = ui::shared<FrmMRU>();

private:
    std::vector<std::string> created_;
    std::vector<std::unique_ptr<test::PreservedKey>> kept_;
};

TEST_F(FrmMRUTest, ListsEveryProgramOfTheTableSortedWithNothingChosen) {
    ui::shared<Form1>().Show();
    form.Show();
    EXPECT_FALSE(ui::shared<Form1>().visible());
    EXPECT_EQ(form.LblNoMRU.text(), std::to_string(kTargets));
    ASSERT_EQ(form.CmbMRU.listCount(), kTargets);
    EXPECT_EQ(form.CmbMRU.selectedText(), "");
    std::vector<std::string> shown;
    for (int i = 0; i < kTargets; ++i) shown.push_back(form.CmbMRU.itemText(i));
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    for (const MruTarget& t : MruTargets)
        EXPECT_NE(std::find(shown.begin(), shown.end(), t.name), shown.end()) << t.name;

    form.CmdDelMRU.click();
    EXPECT_EQ(host.boxes,
              (std::vector<Box>{{"Please select an MRU list to delete", "Error", Icon::Information}}));

    form.close();
    EXPECT_TRUE(ui::shared<Form1>().visible());
    form.Show();
    EXPECT_EQ(form.CmbMRU.listCount(), kTargets) << "a new load, the same rows";
    EXPECT_EQ(form.LblNoMRU.text(), std::to_string(kTargets));
}

TEST_F(FrmMRUTest, EachRowDeletesItsWholeKeyAndNothingBeside) {
    for (const MruTarget& t : MruTargets) {
        SCOPED_TRACE(t.name);
        ASSERT_TRUE(plant(t));
        ASSERT_TRUE(form.CmbMRU.choose(t.name));
        form.CmdDelMRU.click();

        std::vector<Box> expected{{t.confirmation, "Confirmation", Icon::Information}};
        if (t.rebootNote) expected.push_back(kReboot);
        EXPECT_EQ(host.takeBoxes(), expected);
        EXPECT_FALSE(exists(std::string(t.parent) + "\\" + t.subkey));
        EXPECT_TRUE(exists(std::string(t.parent) + "\\HidewellSibling"));
        EXPECT_EQ(test::readRaw(HKEY_CURRENT_USER, t.parent, "HidewellSiblingValue").data,
                  std::string("keep") + '\0');
        test::deleteRaw(HKEY_CURRENT_USER, t.parent, "HidewellSiblingValue");

        // Again, with the key gone: still removed, and nothing comes back.
        form.CmdDelMRU.click();
        EXPECT_EQ(host.takeBoxes(), expected);
        EXPECT_FALSE(exists(std::string(t.parent) + "\\" + t.subkey));
    }
}

TEST_F(FrmMRUTest, AMissingProgramKeyIsNotCreated) {
    const MruTarget& foxit = target("Foxit Reader");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Foxit Software");
    form.CmbMRU.choose("Foxit Reader");
    form.CmdDelMRU.click();
    EXPECT_EQ(host.boxes, (std::vector<Box>{{foxit.confirmation, "Confirmation", Icon::Information}}));
    EXPECT_FALSE(exists("Software\\Foxit Software"));
}

TEST_F(FrmMRUTest, AKeyThatWillNotGoIsReportedNotConfirmed) {
    const MruTarget& run = target("Run commands");
    ASSERT_TRUE(plant(run));
    const std::string target = std::string(run.parent) + "\\" + run.subkey;
    {
        // A subkey in it that may not be listed or deleted keeps the key there.
        test::AccessDenied refused(HKEY_CURRENT_USER, target + "\\deep", DELETE | KEY_ENUMERATE_SUB_KEYS);
        ASSERT_TRUE(refused.inPlace());
        form.CmbMRU.choose("Run commands");
        form.CmdDelMRU.click();
        EXPECT_TRUE(saysNot(host.takeBoxes(), "Run commands")) << "no confirmation and no reboot note";
        EXPECT_TRUE(exists(target));
    }
    {
        // A key that grants nothing: Windows refuses to open it at all, which
        // is not the same as its being gone.
        test::AccessDenied refused(HKEY_CURRENT_USER, target, KEY_ALL_ACCESS);
        ASSERT_TRUE(refused.inPlace());
        form.CmdDelMRU.click();
        EXPECT_TRUE(saysNot(host.takeBoxes(), "Run commands")) << "not even when it cannot be opened";
    }
    EXPECT_TRUE(exists(target));
}

}  // namespace
