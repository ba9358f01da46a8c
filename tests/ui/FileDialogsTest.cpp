// The real file dialogs: set up as asked, and a save dialog answered as a
// user answers it.
#include <shobjidl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <optional>
#include <string>

#include "platform/Text.h"
#include "support/Sandbox.h"
#include "support/ScriptedHost.h"
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
    for (const char* name : {"first", "second", "twin", "twin."}) ASSERT_TRUE(test::makeFolder(at(name)));
    for (const auto& [kind, clsid] : {std::pair{ui::FileDialog::Open, __uuidof(FileOpenDialog)},
                                      std::pair{ui::FileDialog::Save, __uuidof(FileSaveDialog)}}) {
        // The same folder twice and another: each dialog opens where it is
        // told; at a name the shell shortens, never at its namesake.
        for (const std::string& folder : {at("first"), at("first"), at("second"), at("twin.")}) {
            IFileDialog* dialog = nullptr;
            ASSERT_HRESULT_SUCCEEDED(
                CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog)));
            EXPECT_HRESULT_SUCCEEDED(
                ui::prepareFileDialog(*dialog, {.kind = kind,
                                                .title = "Pick",
                                                .filters = {{"Lists", "*.hwl"}, {"All", "*.*"}},
                                                .initialFolder = folder}));
            const std::string opened = folderOf(*dialog);
            EXPECT_TRUE(opened == folder || (folder == at("twin.") && opened == dir)) << opened;
            FILEOPENDIALOGOPTIONS options = 0;
            dialog->GetOptions(&options);
            EXPECT_EQ(options & (FOS_OVERWRITEPROMPT | FOS_FILEMUSTEXIST), 0u) << "any name may be typed";
            EXPECT_EQ(options & FOS_NODEREFERENCELINKS, 0u) << "a shortcut gives its target";
            dialog->Release();
        }
    }
}

// A user at the dialog this thread shows, called by a timer inside the
// dialog's loop: types `nameToType` into the name box, which has the focus
// when the dialog opens, and presses OK (by the notification the button
// sends, which does not depend on which window is active).
std::wstring nameToType;
bool dialogAnswered = false;

void CALLBACK answerTheDialog(HWND, UINT, UINT_PTR, DWORD) {
    static int ticks = 0;
    wchar_t kind[16] = L"";
    const HWND box = GetFocus();
    if (box) GetClassNameW(box, kind, 16);
    if (!dialogAnswered && _wcsicmp(kind, L"Edit") == 0) {
        dialogAnswered = true;
        test::type(box, nameToType);
        const HWND dialog = GetAncestor(box, GA_ROOT);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    } else if (++ticks % 100 == 0) {  // no dialog for ten seconds: give up rather than hang
        PostMessageW(GetActiveWindow(), WM_COMMAND, IDCANCEL, 0);
    }
}

// The real dialog of that kind, answered with `typed`.
std::optional<ui::FileChoice> answered(ui::FileDialog::Kind kind, const std::string& folder,
                                       const std::string& typed) {
    nameToType = platform::widen(typed);
    dialogAnswered = false;
    ui::setHost(nullptr);
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, answerTheDialog);
    auto choice = ui::host().chooseFile(nullptr, {.kind = kind,
                                                  .title = "",
                                                  .filters = {{"Hidewell File (*.HWL)", "*.hwl"}},
                                                  .initialFolder = folder});
    KillTimer(nullptr, timer);
    ui::setHost(&test::host());
    if (!dialogAnswered) ADD_FAILURE() << "the dialog was not answered";
    return choice;
}

TEST_F(FileDialogsTest, AnExportTakesTheNameAsTyped) {
    // In the dialog itself: Wine's adds the filter's extension, and gives the
    // typed name only while it is open.
    const auto choice = answered(ui::FileDialog::Save, dir, at("plain name"));
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->path, at("plain name"));

    // A name too long for a path: the box takes what fits (Wine's dialog would
    // write past its buffer and end the program).
    const std::string tooLong = at(std::string(300, 'n'));
    for (const auto kind : {ui::FileDialog::Save, ui::FileDialog::Open}) {
        const auto cut = answered(kind, dir, tooLong);
        ASSERT_TRUE(cut) << kind;
        EXPECT_LT(cut->path.size(), static_cast<size_t>(MAX_PATH));
        EXPECT_GT(cut->path.size(), dir.size() + 100) << cut->path;
        EXPECT_TRUE(tooLong.starts_with(cut->path)) << cut->path;
    }

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
