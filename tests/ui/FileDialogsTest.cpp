// The real file dialogs are set up as asked, without being shown: a headless
// test cannot answer them.
#include <shobjidl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/Text.h"
#include "support/Sandbox.h"
#include "ui/FileDialogs.h"

namespace {

class FileDialogsTest : public test::Sandbox {};

// The folder the dialog will open at, or why there is none.
std::string folderOf(IFileDialog& dialog) {
    IShellItem* item = nullptr;
    if (FAILED(dialog.GetFolder(&item))) return "<none>";
    PWSTR path = nullptr;
    const HRESULT hr = item->GetDisplayName(SIGDN_FILESYSPATH, &path);
    item->Release();
    if (FAILED(hr)) return "<not a folder>";
    const std::string out = platform::narrow(path);
    CoTaskMemFree(path);
    return out;
}

TEST_F(FileDialogsTest, OpenAtTheFolderAskedForAndTakeAnyName) {
    ASSERT_TRUE(test::makeFolder(at("first")));
    ASSERT_TRUE(test::makeFolder(at("second")));
    for (const auto& [kind, clsid] : {std::pair{ui::FileDialog::Open, __uuidof(FileOpenDialog)},
                                      std::pair{ui::FileDialog::Save, __uuidof(FileSaveDialog)}}) {
        // The same folder twice and another: each dialog opens where it is told.
        for (const std::string& folder : {at("first"), at("first"), at("second")}) {
            IFileDialog* dialog = nullptr;
            ASSERT_HRESULT_SUCCEEDED(
                CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog)));
            EXPECT_HRESULT_SUCCEEDED(ui::prepareFileDialog(*dialog, {.kind = kind,
                                                                     .title = "Pick",
                                                                     .filterDescription = "All Files (*.*)",
                                                                     .filterPattern = "*.*",
                                                                     .initialFolder = folder}));
            EXPECT_EQ(folderOf(*dialog), folder);
            FILEOPENDIALOGOPTIONS options = 0;
            dialog->GetOptions(&options);
            EXPECT_EQ(options & (FOS_OVERWRITEPROMPT | FOS_FILEMUSTEXIST), 0u) << "any name may be typed";
            EXPECT_EQ(options & FOS_NODEREFERENCELINKS, 0u) << "a shortcut gives its target";
            dialog->Release();
        }
    }
}

TEST_F(FileDialogsTest, AnExportTakesTheNameAsTyped) {
    // The filter's extension, added by the dialog to a name typed without it, goes.
    EXPECT_EQ(ui::nameAsTyped(L"C:\\d\\plain name.hwl", L"plain name", L"*.hwl"), L"C:\\d\\plain name");
    EXPECT_EQ(ui::nameAsTyped(L"C:\\d\\plain name.HWL", L"C:\\d\\plain name", L"*.hwl"),
              L"C:\\d\\plain name");
    // Anything else stays: the extension typed, a name chosen by clicking, another extension.
    for (const wchar_t* same : {L"C:\\d\\list.hwl", L"C:\\d\\notes.txt", L"C:\\d\\my.list.hwl"}) {
        EXPECT_EQ(ui::nameAsTyped(same, L"list.hwl", L"*.hwl"), same);
        EXPECT_EQ(ui::nameAsTyped(same, L"notes.txt", L"*.hwl"), same);
    }
    EXPECT_EQ(ui::nameAsTyped(L"C:\\d\\xplain.hwl", L"plain", L"*.hwl"), L"C:\\d\\xplain.hwl");
}

}  // namespace
