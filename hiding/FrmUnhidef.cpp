#include "hiding/FrmUnhidef.h"

#include <utility>
#include <vector>

#include "hiding/FileAttributes.h"
#include "hiding/ListFile.h"
#include "hiding/ModSaveListToFile.h"
#include "ui/Program.h"
#include "ui/WaitCursor.h"

using ui::Answer;
using ui::Buttons;
using ui::Icon;

namespace {

// CommSave: the one file dialog of the window, for export and import alike.
ui::FileDialog commSave(ui::FileDialog::Kind kind) {
    return {.kind = kind,
            .title = "",  // the platform's own titles
            .filterDescription = "Hidewell File (*.HWL)",
            .filterPattern = "*.hwl",
            .initialFolder = ""};
}

std::string notExported(const std::string& path) {
    return "The path list was not exported, because this file could not be written:\n\n" + path;
}

std::string notImported(const std::string& path) {
    return "The path list was not imported, because this file could not be read:\n\n" + path;
}

constexpr char kListFileNotWritten[] =
    "The path list was not imported, because the 'Sett~.dll' file could not be written. The list is "
    "unchanged.";

constexpr char kListNotSaved[] =
    "The list of hidden items could not be saved, because the 'Sett~.dll' file could not be written. The "
    "file "
    "keeps the list it held before, so entries removed since will be listed again next time.";

constexpr char kListKeptAsItIs[] =
    "The list file is there but could not be read to its end (another program may be using it). "
    "Hidewell will leave it as it is when this window closes, so entries removed here will still be listed "
    "next time.";

}  // namespace

FrmUnhidef::FrmUnhidef()
    : Form({.caption = "Unhide File or Folder",
            .width = 4935,
            .height = 6495,
            .border = ui::Border::FixedSingle,
            .back = ui::White}) {
    CmdUnhide.Click = [this] { CmdUnhide_Click(); };
    CmdQuickUnhide.Click = [this] { CmdQuickUnhide_Click(); };
    CmdExpList.Click = [this] { CmdExpList_Click(); };
    CmdImpList.Click = [this] { CmdImpList_Click(); };
}

// Called when the window loads: the list file fills the list in one pass.
void FrmUnhidef::Form_Load() {
    const ui::WaitCursor wait;  // a long list takes a while
    ui::mainWindow().Hide();
    std::vector<std::string> entries;
    const hiding::ReadResult read = hiding::readEntries(hiding::listFilePath(), entries);
    LstUnhide.addItems(std::move(entries));
    // A missing file is simply created on closing; one that is there but
    // could not be read whole must not be overwritten with what was read.
    saveOnClose_ = read != hiding::ReadResult::Failed;
    if (read == hiding::ReadResult::Complete) return;
    MsgBox("The 'Sett~.dll' file was not found", "Error", Icon::Exclamation);
    if (!saveOnClose_) MsgBox(kListKeptAsItIs, "Info", Icon::Information);
}

// Called when the window is closed: the list, as it now stands, goes back to
// the file. When that fails (a full disk, a drive gone) the file keeps its
// old list whole, and the user learns that removals did not take.
void FrmUnhidef::Form_Unload() {
    if (saveOnClose_ && !ModSaveListToFile::SaveListToFile(hiding::listFilePath(), LstUnhide))
        MsgBox(kListNotSaved, "Error", Icon::Exclamation);
    ui::mainWindow().Show();
}

// Called when "Unhide" under the list is clicked: unhides the selected entry.
void FrmUnhidef::CmdUnhide_Click() {
    const std::string path = LstUnhide.selectedText();
    if (path.empty()) {
        MsgBox("No Files\\Folders have been selected to unhide", "Error", Icon::Exclamation);
        return;
    }
    const int index = LstUnhide.listIndex();
    if (hiding::unhideItem(path)) {
        MsgBox("The File\\Folder as successfully unhidden", "Hidewell", Icon::Information);
        LstUnhide.removeItem(index);
        return;
    }
    MsgBox("The File\\Folder cannot be found", "Error", Icon::Exclamation);
    const Answer remove =
        MsgBox("Would you like to remove that entry?", "Remove Entry", Icon::Exclamation, Buttons::YesNo);
    if (remove != Answer::Yes) return;
    LstUnhide.removeItem(index);
    MsgBox("Entry successfully removed", "Confirmation", Icon::Information);
}

// Called when "Unhide" under the text box is clicked: unhides the typed path
// as typed. The list is left alone, also when the path is listed.
void FrmUnhidef::CmdQuickUnhide_Click() {
    const std::string path = TxtUnhide.text();
    if (path.empty()) {
        MsgBox("Please type the location of the directory", "Error", Icon::Exclamation);
        return;
    }
    // Text with half a surrogate pair names no item as typed.
    if (TxtUnhide.textIsExact() && hiding::unhideItem(path)) {
        MsgBox("File\\Folder successfully unhidden", "Confirmation", Icon::Information);
        return;
    }
    MsgBox("Invalid drive or directory selected", "Error", Icon::Exclamation);
    MsgBox("Please make sure that you have entered the path correctly", "Info", Icon::Information);
}

// Called when "Export List" is clicked: the list as shown goes to the chosen
// file, which is replaced whole or not at all.
void FrmUnhidef::CmdExpList_Click() {
    const auto choice = chooseFile(commSave(ui::FileDialog::Save));
    if (!choice || choice->path.empty()) return;
    if (!choice->exact || !ModSaveListToFile::SaveListToFile(choice->path, LstUnhide)) {
        MsgBox(notExported(choice->path), "Error", Icon::Exclamation);
        return;
    }
    MsgBox("Path List exported successfully", "Confirmation", Icon::Information);
}

// Called when "Import List" is clicked: the chosen file's entries replace the
// list file and the list. Either both change or neither does.
void FrmUnhidef::CmdImpList_Click() {
    const ui::WaitCursor wait;  // a long list takes a while
    LstTemp.clear();
    const auto choice = chooseFile(commSave(ui::FileDialog::Open));
    if (!choice || choice->path.empty()) return;
    std::vector<std::string> entries;
    if (!choice->exact || hiding::readEntries(choice->path, entries) != hiding::ReadResult::Complete) {
        MsgBox(notImported(choice->path), "Error", Icon::Exclamation);
        return;
    }
    LstTemp.addItems(std::move(entries));
    if (!ModSaveListToFile::SaveListToFile(hiding::listFilePath(), LstTemp)) {
        MsgBox(kListFileNotWritten, "Error", Icon::Exclamation);
        return;
    }
    // Until the list shows the new entries, closing must not write the old
    // ones back over them.
    saveOnClose_ = false;
    MsgBox("Path List imported successfully", "Confirmation", Icon::Information);
    // LstTemp holds exactly what the file now holds: no need to read it again.
    LstUnhide.clear();
    LstUnhide.addItems(LstTemp.items());
    saveOnClose_ = true;
}
