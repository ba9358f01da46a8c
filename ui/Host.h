// The one seam between the windows and the modal and outside-world parts of
// the desktop: message boxes, file dialogs, the shell, ending the program.
// The program uses the real host; tests install a scripted one.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

enum class Icon { None, Information, Exclamation };
enum class Buttons { Ok, YesNo, RetryCancel };
enum class Answer { Ok, Yes, No, Retry, Cancel };

// One entry of a file dialog's list of file types. UTF-8.
struct FileFilter {
    std::string description;  // "Hidewell File (*.HWL)"
    std::string pattern;      // "*.hwl"
    bool operator==(const FileFilter&) const = default;
};

struct FileDialog {
    enum Kind { Open, Save };
    Kind kind = Open;
    // All text here is UTF-8.
    std::string title;  // empty: the platform's default title
    // In the order offered; the first is chosen when the dialog opens.
    std::vector<FileFilter> filters;
    std::string initialFolder;  // empty: the platform's choice
};

struct FileChoice {
    std::string path;   // UTF-8
    bool exact = true;  // false: the name holds half a surrogate pair, which `path` gives as U+FFFD
};

class Host {
public:
    virtual ~Host() = default;
    virtual Answer messageBox(HWND owner, std::string_view prompt, std::string_view title, Icon icon,
                              Buttons buttons) = 0;
    // The chosen file, or nothing when the user cancelled.
    virtual std::optional<FileChoice> chooseFile(HWND owner, const FileDialog& dialog) = 0;
    // Hands a web or mail address to the shell, which picks the program.
    // False when no program took it; the shell itself says nothing then.
    virtual bool openWithShell(std::string_view target) = 0;
    // Ends the message loop; the windows are already gone when this is called.
    virtual void endProgram() = 0;
};

Host& host();
// Installs another host (tests); nullptr puts the real one back. Not owned.
void setHost(Host* h);

}  // namespace ui
