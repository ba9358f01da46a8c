// List boxes keep their items byte for byte; the folder list opens folders
// only when they can be read.
#include <gtest/gtest.h>

#include "platform/Text.h"
#include "support/Sandbox.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace {

class Lists : public ui::Form {
public:
    Lists() : Form({.caption = "Lists", .width = 4000, .height = 4000}) {}
    ui::ListBox List{this, {.rect = {0, 0, 3000, 1500}}};
    ui::FolderList Folders{this, {.rect = {0, 1600, 3000, 1500}}};
    ui::TextBox Plain{this, {.rect = {0, 3200, 1400, 300}}};
    ui::TextBox Masked{this, {.rect = {1600, 3200, 1400, 300}, .password = true}};
};

class ControlsTest : public test::Sandbox {
protected:
    Lists& form = ui::shared<Lists>();
};

TEST_F(ControlsTest, AListBoxKeepsItsItemsExactlyAndInOrder) {
    const std::string withNul("a\0b", 3);
    form.List.addItem("first");
    form.List.addItems({"", withNul, "first", std::string(70000, 'x')});
    form.List.addItem("last");
    ASSERT_EQ(form.List.listCount(), 6);
    EXPECT_EQ(SendMessageA(form.List.hwnd(), LB_GETCOUNT, 0, 0), 6) << "the native list shows them all";
    EXPECT_EQ(form.List.list(2), withNul);
    EXPECT_EQ(form.List.list(4).size(), 70000u);

    EXPECT_EQ(form.List.listIndex(), -1);
    EXPECT_EQ(form.List.selectedText(), "");
    form.List.setListIndex(3);
    EXPECT_EQ(form.List.selectedText(), "first");
    form.List.removeItem(3);
    EXPECT_EQ(form.List.listIndex(), -1) << "nothing is selected after the removal";
    EXPECT_EQ(form.List.items(),
              (std::vector<std::string>{"first", "", withNul, std::string(70000, 'x'), "last"}));

    form.List.clear();
    EXPECT_EQ(form.List.listCount(), 0);
    EXPECT_EQ(SendMessageA(form.List.hwnd(), LB_GETHORIZONTALEXTENT, 0, 0), 0)
        << "no scrolling to the long one";
    form.List.addItem("again");
    form.close();
    EXPECT_EQ(form.List.listCount(), 0) << "a new load starts empty";
}

TEST_F(ControlsTest, TheFolderListShowsAncestorsThenSubfolders) {
    ASSERT_TRUE(test::makeFolder(at("b")));
    ASSERT_TRUE(test::makeFolder(at("A")));
    ASSERT_TRUE(test::makeFolder(at("b\\deeper")));
    ASSERT_TRUE(test::writeFile(at("file.txt"), ""));
    ASSERT_TRUE(form.Folders.setPath(dir));

    std::vector<std::string> shown;
    for (int i = 0; i < form.Folders.listCount(); ++i) shown.push_back(form.Folders.list(i));
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.front(), dir.substr(0, 3));
    const std::vector<std::string> subfolders(shown.end() - 2, shown.end());
    EXPECT_EQ(subfolders, (std::vector<std::string>{at("A"), at("b")})) << "sorted, folders only";
    EXPECT_EQ(shown[shown.size() - 3], dir);

    EXPECT_TRUE(form.Folders.setPath(at("b\\deeper\\..\\")));
    EXPECT_EQ(form.Folders.path(), at("b")) << "no trailing separator";
    EXPECT_FALSE(form.Folders.setPath(at("missing")));
    EXPECT_FALSE(form.Folders.setPath(at("file.txt")));
    EXPECT_FALSE(form.Folders.setPath(""));
    EXPECT_EQ(form.Folders.path(), at("b")) << "a failed change keeps the open folder";

    {
        const test::EmptyDrive empty;
        ASSERT_FALSE(empty.letter.empty()) << "no free drive letter to map";
        EXPECT_FALSE(form.Folders.setPath(empty.letter));
    }
    EXPECT_TRUE(form.Folders.setPath(dir.substr(0, 2)));
}

// What a copy or cut by another window puts on the clipboard, and leaves in the box.
using Taken = std::pair<std::string, std::string>;  // on the clipboard, in the box

Taken takenBy(UINT message, ui::TextBox& box) {
    box.setText("secret");
    if (!OpenClipboard(nullptr)) return {"<no clipboard>", box.text()};
    EmptyClipboard();
    CloseClipboard();
    SendMessageW(box.hwnd(), EM_SETSEL, 0, -1);
    SendMessageW(box.hwnd(), message, 0, 0);
    std::string taken;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
                taken = platform::narrow(text);
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    return {taken, box.text()};
}

TEST_F(ControlsTest, APasswordBoxGivesNothingAwayToACopyOrCut) {
    // An ordinary box, so that the clipboard is known to work here.
    EXPECT_EQ(takenBy(WM_COPY, form.Plain), Taken("secret", "secret"));
    EXPECT_EQ(takenBy(WM_CUT, form.Plain), Taken("secret", ""));
    for (UINT message : {WM_COPY, WM_CUT})
        EXPECT_EQ(takenBy(message, form.Masked), Taken("", "secret")) << message;
}

}  // namespace
