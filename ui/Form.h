// The lifecycle every Hidewell window shares.
//
// A window is not loaded (no controls), loaded and hidden, or loaded and
// visible. Show() and Hide() load it first when needed, which runs its
// Form_Load; the close box unloads it, which runs its Form_Unload and discards
// its controls, so the next showing starts again from the design-time state.
// Each window class has one shared instance, made on first reference with
// ui::shared<T>().
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Handles.h"
#include "ui/Host.h"
#include "ui/Look.h"

namespace ui {

class Control;

class Form {
public:
    explicit Form(FormDesign design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Loading runs Form_Load. When it fails (an exception, or the window
    // cannot be made) the window is unloaded again without Form_Unload, the
    // windows Form_Load hid are shown again, and the failure goes on to the
    // caller.
    // Modeless; loads first when not loaded. The main window and a window
    // that excludes it are never on the screen together: showing such a
    // window hides the main window, and showing the main window while one is
    // on the screen brings that one forward instead. So no route (a link, a
    // window that shows the main window when its work is done) opens a
    // second function window beside the first.
    void Show();
    void Hide();  // loads (hidden) first when not loaded
    // What the close box does: Form_Unload, then the window is unloaded, also
    // when Form_Unload fails. Refused while a message box or file dialog of
    // the program is open.
    void close();

    // Every window class's shared instance made so far, loaded or not.
    static const std::vector<Form*>& every();
    // The form whose window this is; null for any other window.
    static Form* ofWindow(HWND h);

    // Called by the message loop for each key message (WM_KEYDOWN to
    // WM_SYSCHAR) of this window or one of its controls, before the dialog
    // keys (Tab, Enter on a button) see it; true when the window took the key.
    // Runs inside the boundary no exception crosses, as a window procedure.
    // The base takes Alt+F4 and, where the design says so, Escape (both do
    // what the close box does), and the controls' access keys. A window with
    // keys of its own adds them here and leaves the rest to the base.
    virtual bool preTranslateKey(const MSG& key);

    bool loaded() const { return state_ != State::NotLoaded; }
    bool visible() const;
    HWND hwnd();  // loads the window when it is not loaded
    int dpi() const { return dpi_; }
    const FormDesign& design() const { return design_; }
    COLORREF backColour() const;
    HBRUSH backBrush() const;

    // Modal parts, owned by this window, through the host. While one is open
    // every other window of the program is disabled. When this window was
    // unloaded meanwhile they throw HandlerEnded, which ends the handler.
    Answer MsgBox(std::string_view prompt, std::string_view title, Icon icon, Buttons buttons = Buttons::Ok);
    std::optional<FileChoice> chooseFile(const FileDialog& dialog);

protected:
    virtual void Form_Load() {}
    virtual void Form_Unload() {}
    // The user is logging off, or Windows is shutting down or restarting,
    // and the program may be ended at any moment once this returns: a
    // loaded window keeps here, at once, what its closing would keep. It
    // shows nothing (no box can be answered then) and must be done within a
    // few seconds.
    virtual void Form_SessionEnd() {}

private:
    friend class Control;
    friend class Label;
    friend class ModalScope;
    friend void initialize();
    friend void unloadAll();
    // The hidden owner of the dialog-style windows, once made.
    static HWND ownerOfDialogs();
    enum class State { NotLoaded, Loading, Loaded };

    void load();
    void build();
    void destroy();  // unloads without running Form_Unload
    // After a failed Form_Load or Form_Unload of the load numbered `load`.
    void recover(unsigned load);
    template <class Part>
    auto modally(Part&& part);
    void layout();
    HFONT font(const FontStyle& design);
    Control* controlById(UINT id) const;
    Control* controlByHwnd(HWND h) const;
    // Runs the access key `key` if a control here has it; false if none.
    bool pressAccessKey(wchar_t key);
    // Puts the focus on the first control after `c` that takes it.
    void focusAfter(const Control& c);
    void restoreFocus();
    // The window on the screen that keeps the main window off it, if any.
    static Form* excludingMain();

    static LRESULT CALLBACK windowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);

    FormDesign design_;
    State state_ = State::NotLoaded;
    bool hiddenWhileLoading_ = false;
    bool unloading_ = false;           // Form_Unload is running
    unsigned loads_ = 0;               // numbers the loads, so a modal part can tell its window went
    std::vector<Form*> hiddenByLoad_;  // windows Form_Load took off the screen
    HWND hwnd_ = nullptr;
    HWND toolTip_ = nullptr;  // owned by the window: goes with it
    HWND lastFocus_ = nullptr;
    int dpi_ = 96;
    std::vector<Control*> controls_;  // in declaration order: z-order and tab order
    std::vector<std::pair<FontStyle, platform::FontHandle>> fonts_;
    platform::BrushHandle backBrush_;
};

// The shared instance of a window class, made on first reference. Never
// destroyed: like the windows of the program, it lives until the process ends.
template <class T>
T& shared() {
    static T& instance = *new T;
    return instance;
}

// The pointing-hand cursor of entries and links.
HCURSOR pointingHand();

}  // namespace ui
