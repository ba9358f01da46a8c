#include "hiding/FrmHidef.h"

#include "hiding/FileAttributes.h"
#include "hiding/ListFile.h"
#include "hiding/ListMessages.h"
#include "hiding/TurnWait.h"
#include "platform/Shortcuts.h"
#include "ui/Program.h"

using ui::Icon;

namespace {

constexpr char kCannotAccess[] = "The selected file or folder cannot be accessed";

}  // namespace

FrmHidef::FrmHidef()
    : Form({.caption = "Hide File/Folder",
            .width = 4110,
            .height = 6015,
            .border = ui::Border::FixedSingle,
            .excludesMain = true,
            .escapeCloses = true}) {
    CmdHideDir.Click = [this] { CmdHideDir_Click(); };
    CmdHideFil.Click = [this] { CmdHideFil_Click(); };
    drive1.Change = [this] { drive1_Change(); };
    LblQ.Click = [this] { LblQ_Click(); };
}

void FrmHidef::Form_Load() { ui::mainWindow().Hide(); }

void FrmHidef::Form_Unload() { ui::mainWindow().Show(); }

void FrmHidef::CheckPath() {
    if (Dir1.path().size() < 4) {
        MsgBox("Please select a directory", "Error", Icon::Exclamation);
        refusal = 1;
    }
}

// Called when "Hide Folder" is clicked: hides the folder list's open folder.
void FrmHidef::CmdHideDir_Click() {
    refusal = 0;
    CheckPath();
    if (refusal == 1) return;
    if (!Dir1.pathIsExact()) return refuseUnrecordable();
    const Hiding outcome = hideAndRecord(Dir1.path());
    if (outcome == Hiding::Failed) return refuseInaccessible();
    if (outcome == Hiding::Done) MsgBox("The Folder was successfully hidden", "Hidewell", Icon::Information);
}

// Called when "Hide File" is clicked: hides the file chosen in the dialog.
void FrmHidef::CmdHideFil_Click() {
    const auto choice = chooseFile({.kind = ui::FileDialog::Open,
                                    .title = "Select a file to hide and click open",
                                    .filters = {{"All Files (*.*)", "*.*"}},
                                    .initialFolder = Dir1.path()});
    if (!choice) return;
    if (!choice->exact) return refuseUnrecordable();
    // A shortcut stands for what it leads to, as the "?" note says: Windows'
    // own dialog gives that already, Wine's gives the shortcut.
    std::string path = choice->path;
    if (platform::isShortcut(path) && !platform::shortcutTarget(path, path))
        return refuseBrokenShortcut(path);
    const Hiding outcome = hideAndRecord(path);
    if (outcome == Hiding::Failed) return refuseInaccessible();
    if (outcome == Hiding::Done) MsgBox("The File was successfully Hidden", "Hidewell", Icon::Information);
}

// Called when another drive is chosen: the folder list moves to it.
void FrmHidef::drive1_Change() {
    if (!Dir1.setPath(drive1.drive()))
        MsgBox("The Device selected cannot be accessed", "Error", Icon::Exclamation);
}

// Called when "?" is clicked.
void FrmHidef::LblQ_Click() {
    MsgBox("Links cannot be hidden, if a link is hidden, the target path of the link would be hidden", "Info",
           Icon::Information);
}

// An item is hidden only together with its entry: it is hidden once the
// list's turn is taken (which may mean waiting for another writer), just
// before its entry is written, so that the program ended while it waits
// leaves nothing hidden unlisted; when the entry cannot be recorded, the item
// gets its attributes back. It is held from its pick to its entry, so that
// the entry, or the roll-back, is of the item picked.
FrmHidef::Hiding FrmHidef::hideAndRecord(const std::string& path) {
    hiding::HiddenItem item(path);
    if (!item.held()) return Hiding::Failed;
    hiding::TurnWait wait(*this);
    if (!hiding::appendEntry(hiding::listFilePath(), path, wait.keepWaiting(), [&] { return item.hide(); }))
        return wait.gaveUp() ? Hiding::Stopped : Hiding::Failed;
    item.keep();
    return Hiding::Done;
}

// The failure as the user has always been told it; then, where the list file
// is the cause, which file and what to do.
void FrmHidef::refuseInaccessible() {
    MsgBox(kCannotAccess, "Error", Icon::None);
    const std::string why =
        hiding::whyListUnwritable(hiding::writeProblem(hiding::listFilePath()), "try again");
    if (!why.empty())
        MsgBox("The item could not be recorded, so it was not hidden: " + why, "Info", Icon::Information);
}

void FrmHidef::refuseBrokenShortcut(const std::string& shortcut) {
    MsgBox(
        "The selected shortcut does not lead to a file or folder that is there, so nothing was hidden:\n\n" +
            shortcut,
        "Error", Icon::Exclamation);
}

void FrmHidef::refuseUnrecordable() {
    MsgBox(
        "The name of the selected item has characters that the list of hidden items cannot hold, "
        "so it was not hidden. Rename it, or hide the folder that holds it.",
        "Error", Icon::Exclamation);
}
