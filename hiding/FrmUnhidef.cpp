#include "hiding/FrmUnhidef.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "hiding/FileAttributes.h"
#include "hiding/ListFile.h"
#include "hiding/ListMessages.h"
#include "hiding/ModSaveListToFile.h"
#include "hiding/TurnWait.h"
#include "ui/Program.h"
#include "ui/Progress.h"
#include "ui/WaitCursor.h"

using ui::Answer;
using ui::Buttons;
using ui::Icon;

namespace {

// CommSave: the one file dialog of the window, for export and import alike.
// Export writes a name typed without an extension as it is, so import shows
// every file too, after the list files.
ui::FileDialog commSave(ui::FileDialog::Kind kind) {
    ui::FileDialog d{.kind = kind,
                     .title = "",  // the platform's own titles
                     .filters = {{"Hidewell File (*.HWL)", "*.hwl"}},
                     .initialFolder = ""};
    if (kind == ui::FileDialog::Open) d.filters.push_back({"All Files (*.*)", "*.*"});
    return d;
}

std::string notExported(const std::string& path) {
    return "The path list was not exported, because this file could not be written:\n\n" + path;
}

std::string notImported(const std::string& path) {
    return "The path list was not imported, because this file could not be read:\n\n" + path;
}

std::string notAPathList(const std::string& path) {
    return "The path list was not imported, because this file holds NUL characters, which no path can: it is "
           "not a list of paths. The list is unchanged.\n\n" +
           path;
}

bool holdsNul(const std::vector<std::string>& entries) {
    return std::ranges::any_of(entries,
                               [](const std::string& e) { return e.find('\0') != std::string::npos; });
}

// Windows gives a program a few seconds once the session ends.
constexpr unsigned kSessionEndWaitMs = 2000;

constexpr char kListFileNotWritten[] =
    "The path list was not imported, because the 'Sett~.dll' file could not be written. The list is "
    "unchanged.";

constexpr char kListNotSaved[] =
    "The list of hidden items could not be saved, because the 'Sett~.dll' file could not be written. "
    "The file keeps the list it held before, so entries removed since will be listed again next time.";

// After "not found", for a list file that could not be opened or read whole:
// what is shown may lack entries, which closing the window does not drop.
constexpr char kPartlyRead[] =
    "The list of hidden items could not be read whole from the 'Sett~.dll' file beside the program (another "
    "program may be using it), so entries may be missing here. They stay in the file: when this window "
    "closes, only the entries removed here leave it.";

constexpr char kListIsLink[] =
    "The list of hidden items, the file 'Sett~.dll' beside the program, is a link to another place, and "
    "Hidewell reads and writes its list only in a file of its own, so nothing is listed here and nothing "
    "done here can be saved to it. Put the list file itself in place of the link (or delete the link) and "
    "open this window again.";

// Why changes made here cannot be saved, where the list file is the cause,
// and what to do. `listRead`: there is a list, which removals would change.
// (A link in the list file's place is told before anything is read.)
std::string whyNotSaved(hiding::WriteProblem problem, bool listRead) {
    if (problem == hiding::WriteProblem::Link) return {};
    const std::string why = hiding::whyListUnwritable(problem, "close this window and open it again");
    if (why.empty()) return {};
    return (listRead
                ? "Changes made here cannot be saved (entries removed here will be listed again next time): "
                : "No list of hidden items can be kept: ") +
           why;
}

}  // namespace

FrmUnhidef::FrmUnhidef()
    : Form({.caption = "Unhide File or Folder",
            .width = 4935,
            .height = 6495,
            .border = ui::Border::FixedSingle,
            .back = ui::White,
            .excludesMain = true,
            .escapeCloses = true}) {
    CmdUnhide.Click = [this] { CmdUnhide_Click(); };
    CmdQuickUnhide.Click = [this] { CmdQuickUnhide_Click(); };
    CmdExpList.Click = [this] { CmdExpList_Click(); };
    CmdImpList.Click = [this] { CmdImpList_Click(); };
}

// Called when the window loads: the list file fills the list in one pass.
void FrmUnhidef::Form_Load() {
    const ui::WaitCursor wait;  // a long list takes a while
    ui::mainWindow().Hide();
    removed_.clear();
    listMissing_ = warnedUnwritable_ = false;
    const std::string list = hiding::listFilePath();
    // Nothing is read or written through a link in the list file's place.
    if (hiding::isLink(list)) {
        MsgBox(kListIsLink, "Error", Icon::Exclamation);
        return;
    }
    hiding::ReadResult read = hiding::ReadResult::Complete;
    {
        // A long list takes seconds to read and more to list (a million
        // entries about ten under Wine): the user sees how far it has come.
        ui::Progress progress(hwnd(), "Reading the list of hidden items\xE2\x80\xA6");
        std::vector<std::string> entries;
        read =
            hiding::readEntries(list, entries, [&](auto done, auto total) { progress.at(done, total * 10); });
        const size_t count = entries.size();
        LstUnhide.addItems(std::move(entries),
                           [&](size_t done) { progress.at(count + done * 9, count * 10); });
    }
    listMissing_ = read == hiding::ReadResult::Missing;
    if (read != hiding::ReadResult::Complete) {
        MsgBox("The 'Sett~.dll' file was not found", "Error", Icon::Exclamation);
        if (read == hiding::ReadResult::Failed) MsgBox(kPartlyRead, "Info", Icon::Information);
    }
    // What would keep changes from being saved is said once, up front.
    const std::string why = whyNotSaved(hiding::writeProblem(list), read == hiding::ReadResult::Complete);
    warnedUnwritable_ = !why.empty();
    if (warnedUnwritable_) MsgBox(why, "Info", Icon::Information);
}

// Called when the window is closed: what was removed here leaves the file
// (writeRemovals); with nothing removed, the file is not touched, unless it
// was missing: then an empty one takes its place, so that the next opening
// does not report it again. When that fails (a full disk, a drive gone) the
// file keeps its old list whole, and the user learns that removals did not
// take, unless told so on loading or the user chose to stop waiting for
// another writer. An empty list that could not be made loses nothing.
void FrmUnhidef::Form_Unload() {
    hiding::TurnWait wait(*this);
    const bool removed = !removed_.empty();
    const bool saved = (!removed && !listMissing_) || writeRemovals(wait.keepWaiting());
    if (!saved && removed && !wait.gaveUp() &&
        !(warnedUnwritable_ && hiding::writeProblem(hiding::listFilePath()) != hiding::WriteProblem::None))
        MsgBox(kListNotSaved, "Error", Icon::Exclamation);
    ui::mainWindow().Show();
}

// Called when the session ends with the window open: it keeps what closing
// would, without a word, and waits for another writer only briefly, as the
// session may end a few seconds after.
void FrmUnhidef::Form_SessionEnd() {
    if (!removed_.empty()) writeRemovals(hiding::waitAtMost(kSessionEndWaitMs));
}

// The entries removed here leave the file as it is now, which keeps whatever
// another window or copy of the program wrote meanwhile, and are then no
// longer this window's to remove. False when the file could not be written.
bool FrmUnhidef::writeRemovals(const hiding::KeepWaiting& keepWaiting) {
    std::vector<std::string> now;
    const auto removeThem = [&](std::vector<std::string> current) {
        return hiding::without(std::move(current), removed_);
    };
    if (!hiding::updateFile(hiding::listFilePath(), removeThem, now, keepWaiting)) return false;
    removed_.clear();
    return true;
}

// Enter in the path box does what its "Unhide" does, and on an entry of the
// list what the list's "Unhide" does.
bool FrmUnhidef::preTranslateKey(const MSG& key) {
    const bool enter = key.message == WM_KEYDOWN && key.wParam == VK_RETURN && !(key.lParam & (1 << 30));
    if (enter && TxtUnhide.hasFocus()) {
        CmdQuickUnhide_Click();
        return true;
    }
    if (enter && LstUnhide.hasFocus()) {
        CmdUnhide_Click();
        return true;
    }
    return Form::preTranslateKey(key);
}

void FrmUnhidef::removeEntry(int index) {
    removed_.push_back(LstUnhide.list(index));
    LstUnhide.removeItem(index);
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
        removeEntry(index);
        return;
    }
    MsgBox("The File\\Folder cannot be found", "Error", Icon::Exclamation);
    const Answer remove =
        MsgBox("Would you like to remove that entry?", "Remove Entry", Icon::Exclamation, Buttons::YesNo);
    if (remove != Answer::Yes) return;
    removeEntry(index);
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
// file, which is replaced whole or not at all. Onto the list file itself
// (by whatever name), it is a write of the list, made as closing makes it,
// so that what another copy wrote there meanwhile stays.
void FrmUnhidef::CmdExpList_Click() {
    const auto choice = chooseFile(commSave(ui::FileDialog::Save));
    if (!choice || choice->path.empty()) return;
    if (choice->exact && hiding::sameFile(choice->path, hiding::listFilePath())) {
        hiding::TurnWait wait(*this);
        if (writeRemovals(wait.keepWaiting())) {
            MsgBox("Path List exported successfully", "Confirmation", Icon::Information);
        } else if (!wait.gaveUp()) {
            MsgBox(notExported(choice->path), "Error", Icon::Exclamation);
        }
        return;
    }
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
    // A NUL ends a name for the platform: such a file (UTF-16 without its
    // byte-order mark, a program's data) would fill the list with names of nothing.
    if (holdsNul(entries)) {
        MsgBox(notAPathList(choice->path), "Error", Icon::Exclamation);
        return;
    }
    LstTemp.addItems(std::move(entries));
    // The imported entries replace what this window read (the list with what
    // was removed here); lines another writer added since stay after them.
    std::vector<std::string> read = LstUnhide.items();
    read.insert(read.end(), removed_.begin(), removed_.end());
    const auto replaceRead = [&](std::vector<std::string> current) {
        std::vector<std::string> next = LstTemp.items();
        for (std::string& added : hiding::without(std::move(current), read)) next.push_back(std::move(added));
        return next;
    };
    std::vector<std::string> now;
    hiding::TurnWait turn(*this);
    if (!hiding::updateFile(hiding::listFilePath(), replaceRead, now, turn.keepWaiting())) {
        if (!turn.gaveUp()) MsgBox(kListFileNotWritten, "Error", Icon::Exclamation);
        return;
    }
    removed_.clear();
    listMissing_ = false;
    MsgBox("Path List imported successfully", "Confirmation", Icon::Information);
    // `now` is exactly what the file holds: no need to read it again.
    LstUnhide.clear();
    LstUnhide.addItems(std::move(now));
}
