// The program's fixed message boxes, as the tests expect them, and the line
// format of a list file as bytes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ScriptedHost.h"

namespace msg {

using test::Box;
using ui::Icon;

// The hide window's.
inline const Box kFolderHidden{"The Folder was successfully hidden", "Hidewell", Icon::Information};
inline const Box kFileHidden{"The File was successfully Hidden", "Hidewell", Icon::Information};
inline const Box kCannotAccess{"The selected file or folder cannot be accessed", "Error", Icon::None};

// The unhide window's.
inline const Box kNotFound{"The 'Sett~.dll' file was not found", "Error", Icon::Exclamation};
// After kNotFound, for a list file that could not be opened or read whole.
inline const Box kPartlyRead{
    "The list of hidden items could not be read whole from the 'Sett~.dll' file beside the program (another "
    "program may be using it), so entries may be missing here. They stay in the file: when this window "
    "closes, only the entries removed here leave it.",
    "Info", Icon::Information};
inline const Box kNoSelection{"No Files\\Folders have been selected to unhide", "Error", Icon::Exclamation};
inline const Box kUnhidden{"The File\\Folder as successfully unhidden", "Hidewell", Icon::Information};
inline const Box kCannotBeFound{"The File\\Folder cannot be found", "Error", Icon::Exclamation};
inline const Box kRemoveQuestion{"Would you like to remove that entry?", "Remove Entry", Icon::Exclamation,
                                 ui::Buttons::YesNo};
inline const Box kRemoved{"Entry successfully removed", "Confirmation", Icon::Information};
// What removing an entry that cannot be found shows, answered Yes. A
// function, not a constant: clang's builds do not start inline constants in
// the order this header defines them, so a constant made of the three above
// could copy them before they are made.
inline std::vector<Box> removal() { return {kCannotBeFound, kRemoveQuestion, kRemoved}; }
inline const Box kTypePath{"Please type the location of the directory", "Error", Icon::Exclamation};
inline const Box kQuickUnhidden{"File\\Folder successfully unhidden", "Confirmation", Icon::Information};
inline const Box kInvalid{"Invalid drive or directory selected", "Error", Icon::Exclamation};
inline const Box kCheckPath{"Please make sure that you have entered the path correctly", "Info",
                            Icon::Information};
// While another writer holds the list file's turn, after a few seconds.
inline const Box kListBusy{
    "The list of hidden items, the file 'Sett~.dll' beside the program, is being written by another copy of "
    "Hidewell or held by another program. Click Retry to keep waiting for it, or Cancel to stop here with "
    "nothing changed.",
    "Info", Icon::Information, ui::Buttons::RetryCancel};
inline const Box kExported{"Path List exported successfully", "Confirmation", Icon::Information};
inline const Box kImported{"Path List imported successfully", "Confirmation", Icon::Information};

// Any window's, when a handler failed for want of memory.
inline const Box kNoMemory{
    "There is not enough memory to finish this, so it was stopped. Close some programs or windows and try "
    "again.",
    "Error", Icon::Exclamation};

// The password windows' and the MRU window's.
inline const Box kIncorrect{"The password entered is incorrect, Please try again", "Error",
                            Icon::Exclamation};
inline const Box kReboot{"Please reboot the computer for the changes to take effect", "Hidewell",
                         Icon::Information};
inline const Box kPasswordSaved{"The password was successfully saved", "Hidewell", Icon::Information};
inline const Box kPasswordChanged{"The password was successfully changed", "Hidewell", Icon::Information};

// True when a failure box (of export, import, closing the unhide window, or
// an MRU list that would not go) says what did not happen: its wording names
// the file or the list, so only the gist is checked. Used as
// EXPECT_TRUE(saysNot(box, "...")), so a failure points at the caller.
inline bool saysNot(const Box& box, const std::string& what) {
    return box.title == "Error" && box.icon == Icon::Exclamation &&
           box.prompt.find(what) != std::string::npos;
}
// The same of what one step showed: exactly one box, and that one says so.
// Used as EXPECT_TRUE(saysNot(host.takeBoxes(), "...")); the boxes are in
// the message when not.
inline ::testing::AssertionResult saysNot(const std::vector<Box>& boxes, const std::string& what) {
    if (boxes.size() == 1 && saysNot(boxes[0], what)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the boxes shown: " << ::testing::PrintToString(boxes);
}

// True when a note of the hide or unhide window (after kCannotAccess, or on
// opening) explains that the list file cannot be written: it names the file
// and says `what`. Used as EXPECT_TRUE(explains(box, "..."));
inline ::testing::AssertionResult explains(const Box& box, const std::string& what) {
    if (box.title == "Info" && box.icon == Icon::Information &&
        box.prompt.find("'Sett~.dll'") != std::string::npos && box.prompt.find(what) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the box: " << ::testing::PrintToString(box);
}

// Each entry followed by CR LF.
inline std::string lines(const std::vector<std::string>& entries) {
    std::string out;
    for (const std::string& e : entries) out += e + "\r\n";
    return out;
}

}  // namespace msg
