// The fixture of every test that touches windows or files: a fresh
// application folder (also the current folder), the scripted host, and every
// window unloaded afterwards.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Handles.h"
#include "support/ScriptedHost.h"
#include "ui/Program.h"

namespace test {

class Sandbox : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Paths inside the sandbox folder.
    std::string at(const std::string& name) const { return dir + "\\" + name; }
    std::string listFile() const { return at("sett~.dll"); }
    // Something to hide: the folder "Secret" and the file "notes.txt".
    [[nodiscard]] ::testing::AssertionResult makeItemsToHide();

    std::string dir;  // the application folder of this test
    ScriptedHost& host = test::host();

private:
    std::string previousFolder_;
};

// Small file helpers; paths in UTF-8, as the program's. Those that make
// something say whether they did, and why not, for the caller to assert on.
[[nodiscard]] ::testing::AssertionResult writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);  // "<missing>" when it cannot be read
bool exists(const std::string& path);
[[nodiscard]] ::testing::AssertionResult makeFolder(const std::string& path);
DWORD attributes(const std::string& path);
inline constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// The flags an item carries, without the kind of item. Wine reports every
// file as archived, whatever was set.
DWORD flags(const std::string& path);
// The files in a folder (not its folders), "hw~*.tmp" leftovers of a failed
// rewrite among them.
int filesIn(const std::string& folder);
// The file opened as another program holds it: by default for reading,
// sharing nothing. Closed when the handle goes or is reset.
platform::FileHandle holdOpen(const std::string& path, DWORD access = GENERIC_READ, DWORD sharing = 0);
// Where Wine finds a path on the Unix side; "" elsewhere.
std::string unixPath(const std::string& path);
// A symbolic link at `link` to `target`: a Unix one under Wine, which has no
// links of its own; on Windows, where creating one may need a privilege, it
// may fail. True when the link is there.
bool makeLink(const std::string& link, const std::string& target);
// Removes such a link, leaving what it leads to, which must be there (Wine
// tells a link that leads nowhere from nothing); true when it is gone.
bool removeLink(const std::string& link);
// Another writer's turn on the list file in `folder` ("hw~turn.lck" there,
// held open without sharing), kept until the handle goes or is reset.
platform::FileHandle holdTheTurn(const std::string& folder);
// The entries of a path-list file as the program reads them; nothing unless
// it was read to its end.
std::optional<std::vector<std::string>> readList(const std::string& path);
// Enter typed on the keyboard into the window with the focus, and the
// messages handled as the program's loop would.
void pressEnter(HWND target);
// Text typed into a box as a keyboard delivers it: a WM_CHAR for each UTF-16
// unit (a surrogate pair as two) through the program's queue, handled as its
// loop would. (WM_SETTEXT passes by what typed characters go through.)
void type(HWND box, std::wstring_view text);
// The same over what the box held: emptied first, then `text` (UTF-8) typed.
void typeOver(HWND box, const std::string& text);
// A left click at a point of the screen, as the mouse makes it: synthesised
// input that goes through the platform's hit testing; then the messages are
// handled as the program's loop would. Fails when the platform refused the input.
[[nodiscard]] ::testing::AssertionResult clickAt(POINT screen);
// Empty where clickAt's input reaches this thread's windows; otherwise why
// not, for GTEST_SKIP. Windows refuses synthesised input from a thread whose
// desktop is not the input desktop (each test program has a desktop of its
// own; a locked screen; a session without one). Wine does not enforce this.
std::string whyClicksCannotBeMade();
// Whether synthesised input reaches this thread: the check behind it, which a
// test may put an answer in place of.
extern bool (*inputReachesThisThread)();
// Removes a folder tree whatever the attributes of what is in it.
void removeTree(const std::string& path);

// True under Wine, false on Windows: for the few checks whose answer the two
// are known to differ on.
bool underWine();
// The kernel handles this process holds: GetProcessHandleCount's count, or,
// under Wine, which reports 0, the handles counted one by one.
DWORD kernelHandles();
// How many more kernel handles a test may find open afterwards with none of
// its own left open: on Windows the system's threads (the thread pool, the
// loader) open and close some as they please; under Wine nothing does.
DWORD handleSlack();
// True where lines and passwords of an earlier version are read as the tests
// expect them: the system's legacy code page is Windows-1252.
bool readsWesternLegacy();
inline constexpr char kNotWesternLegacy[] = "the system's legacy code page here is not Windows-1252";
// UTF-8 text in UTF-16, for the tests' own wide calls.
std::wstring wide(const std::string& utf8);

// A drive as one with no disk in it: a letter the machine does not use,
// mapped to a folder that is not there; given a folder, a letter for it, as
// subst makes one. The letter goes again with it. The test checks that it
// got one.
class EmptyDrive {
public:
    explicit EmptyDrive(const std::string& folder = "C:\\hidewell-no-such-folder");
    ~EmptyDrive();
    EmptyDrive(const EmptyDrive&) = delete;
    EmptyDrive& operator=(const EmptyDrive&) = delete;

    std::string letter;  // "X:"; empty when every letter is taken
};

// A folder reached by another drive: a letter made for it as subst makes
// one, which goes again with this; under Wine, whose drive letters are its
// own links, drive Z:, the machine's root. `reached` is empty when neither
// could be had.
class OtherDrive {
public:
    explicit OtherDrive(const std::string& folder);
    std::string reached;  // the folder's path by the other drive

private:
    std::optional<EmptyDrive> letter_;
};

}  // namespace test
