// Control wrappers. Each is a real native child window whose window text is
// its caption, so screen readers and UI automation find it. A control belongs
// to a form and exists (has a window) only while the form is loaded; using it
// while the form is not loaded loads the form first.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Handles.h"
#include "ui/Look.h"

namespace ui {

class Form;

class Control {
public:
    Control(Form* owner, Design design);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND hwnd() const;         // loads the owner when needed
    std::string text() const;  // UTF-8
    // False when the text holds half a surrogate pair (pasted, never typed),
    // which text() then gives as U+FFFD.
    bool textIsExact() const;
    void setText(std::string_view text);
    void setFocus();
    bool hasFocus() const;
    const Design& design() const { return design_; }
    Form& owner() const { return owner_; }

protected:
    friend class Form;
    // Creates the native window; called by the owner while it loads.
    virtual void create(HWND parent, UINT id, int dpi) = 0;
    HWND createWindow(const wchar_t* cls, DWORD style, DWORD exStyle, HWND parent, UINT id, int dpi);
    std::wstring wideText() const;    // the text as it reads, without the access key's mark
    std::wstring windowText() const;  // the text as the window holds it
    // Controls whose window text marks an access key with "&" (and so an "&"
    // of the caption as "&&").
    virtual bool marksAccessKey() const { return false; }
    // What Alt with the access key does; by default the focus goes to the
    // box this control labels.
    virtual void accessKeyPressed();
    // Loads the owner when it is not loaded, so that the control exists.
    void loadOwner() const;
    HGDIOBJ font() const;  // the font the control draws with; not ours to delete
    virtual void destroyed() { hwnd_ = nullptr; }
    virtual void command(WORD /*notification*/) {}
    virtual void drawItem(const DRAWITEMSTRUCT&) {}
    virtual void measureItem(MEASUREITEMSTRUCT&, int /*dpi*/) {}
    virtual void dpiChanged(int /*dpi*/) {}
    // Colours for WM_CTLCOLOR*: sets up the DC and returns the brush.
    HBRUSH colours(HDC dc);
    virtual bool takesInput() const { return false; }
    // Drop-down lists: the height of the list under the box, in pixels.
    virtual int listHeight(int /*dpi*/) const { return 0; }
    RECT pixelRect(int dpi) const;
    void sendClick(WORD notification);  // as the platform reports a click
    void placeAfterTextOf(const Control& other);

    Form& owner_;
    Design design_;
    HWND hwnd_ = nullptr;
    // While text() reads the window's text: a password box answers the
    // program's own reads, whichever message it is handling.
    mutable bool readingText_ = false;
    UINT id_ = 0;
    platform::BrushHandle backBrush_;
};

// A static text. With handCursor or a Click handler it acts as an entry or
// link: clickable with a pointing-hand pointer, and from the keyboard as a
// link is: it takes the focus with Tab, shows it, and Enter or Space does
// what a click does. With toolTip it shows that text on hover.
class Label : public Control {
public:
    using Control::Control;
    std::function<void()> Click;
    void click();                     // as a mouse click on the label
    std::string toolTipText() const;  // read back from the window's tooltip
    void setCaption(std::string_view caption) { setText(caption); }

protected:
    void create(HWND parent, UINT id, int dpi) override;
    void command(WORD notification) override;
    bool marksAccessKey() const override { return design_.accessKey != 0; }
    void accessKeyPressed() override;

private:
    bool acts() const { return Click || design_.handCursor; }
    void paintFocus(HDC dc);
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    bool readsAsLink_ = false;  // annotated for screen readers
};

// A push button; with a picture in its design, the picture stands left of
// the caption, drawn for the window's DPI.
class Button : public Control {
public:
    using Control::Control;
    std::function<void()> Click;
    void click();  // as a mouse click on the button

protected:
    void create(HWND parent, UINT id, int dpi) override;
    void destroyed() override;
    void command(WORD notification) override;
    void dpiChanged(int dpi) override;
    bool marksAccessKey() const override { return true; }
    void accessKeyPressed() override;
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

private:
    platform::IconHandle picture_;  // the button shows it; we own it
};

// A single-line text box. KeyPress sees every typed character, Enter (VK_RETURN)
// included, before the platform could turn Enter into a button click.
class TextBox : public Control {
public:
    using Control::Control;
    std::function<void(int keyAscii)> KeyPress;

protected:
    void create(HWND parent, UINT id, int dpi) override;
    bool takesInput() const override { return true; }
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
};

// A group frame with a caption; controls placed in it name it as container.
class Frame : public Control {
public:
    using Control::Control;

protected:
    void create(HWND parent, UINT id, int dpi) override;
    bool marksAccessKey() const override { return true; }

private:
    void paint(HDC dc);
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
};

// A filled rectangle (fore: border, back: fill).
class Shape : public Control {
public:
    using Control::Control;

protected:
    void create(HWND parent, UINT id, int dpi) override;
    void drawItem(const DRAWITEMSTRUCT& di) override;
};

// The program's icon, drawn at the control's size.
class Picture : public Control {
public:
    using Control::Control;

protected:
    void create(HWND parent, UINT id, int dpi) override;
    void destroyed() override;
    void drawItem(const DRAWITEMSTRUCT& di) override;
    void dpiChanged(int dpi) override;

private:
    platform::IconHandle icon_;
};

// A single-selection, unsorted list of texts. The items are kept here exactly
// as given, byte for byte (the native list shows them); listIndex is -1 when
// nothing is selected.
class ListBox : public Control {
public:
    using Control::Control;
    void addItem(std::string item);
    // Appends many items in one pass, with redraw suspended, telling `step`
    // (if any) every few thousand how many are in.
    void addItems(std::vector<std::string> items, const std::function<void(size_t done)>& step = {});
    void removeItem(int index);
    void clear();
    int listCount() const { return static_cast<int>(items_.size()); }
    const std::string& list(int index) const { return items_.at(static_cast<size_t>(index)); }
    const std::vector<std::string>& items() const { return items_; }
    int listIndex() const;
    void setListIndex(int index);
    std::string selectedText() const;  // "" when nothing is selected

protected:
    void create(HWND parent, UINT id, int dpi) override;
    void destroyed() override;
    bool takesInput() const override { return true; }

private:
    static std::wstring shown(const std::string& item);
    void fitWidth(const std::wstring& text);
    std::vector<std::string> items_;
    int widest_ = 0;
};

// A drop-down list: choosing only, no typing.
class ComboBox : public Control {
public:
    using Control::Control;
    std::function<void()> Change;
    void addItem(const std::string& item);
    int listCount() const;
    std::string selectedText() const;  // "" when nothing is chosen
    std::string itemText(int index) const;
    // Chooses the item with this exact text as the user would; false if none.
    bool choose(std::string_view item);

protected:
    void create(HWND parent, UINT id, int dpi) override;
    void command(WORD notification) override;
    bool takesInput() const override { return true; }
    int listHeight(int dpi) const override;
};

// Every drive letter of the machine, with its volume label where it has one;
// starts at the process's current drive. Change fires when another is chosen.
class DriveList : public ComboBox {
public:
    using ComboBox::ComboBox;
    std::string drive() const;                 // the chosen drive as "c:"
    void refresh();                            // reads the drives again, keeping the choice
    bool chooseDrive(std::string_view drive);  // as the user would

protected:
    void create(HWND parent, UINT id, int dpi) override;
    void command(WORD notification) override;
};

// The open folder, its ancestors and its subfolders, as the classic folder
// list shows them. A double-click (or Enter) opens an entry; a single click
// only highlights it. Starts at the process's current folder.
class FolderList : public Control {
public:
    using Control::Control;
    std::string path() const;  // no trailing separator except at a drive root
    // False when the folder's name holds half a surrogate pair, which the
    // file system allows and UTF-8 cannot hold; path() then has U+FFFD.
    bool pathIsExact() const;
    // Opens a folder; "x:" alone opens that drive's current folder. Fails,
    // changing nothing, when the folder cannot be read (a drive not ready).
    bool setPath(std::string_view path);
    int listCount() const;
    std::string list(int index) const;  // full path of an entry
    int listIndex() const;
    void highlight(int index);  // as a single click
    void open(int index);       // as a double-click

protected:
    void create(HWND parent, UINT id, int dpi) override;
    void destroyed() override;
    void command(WORD notification) override;
    void drawItem(const DRAWITEMSTRUCT& di) override;
    void measureItem(MEASUREITEMSTRUCT& mi, int dpi) override;
    void dpiChanged(int dpi) override;
    bool takesInput() const override { return true; }

private:
    struct Entry {
        std::wstring name;
        int level;
        bool open;  // the open folder or one of its ancestors
    };
    bool navigate(const std::wstring& path);
    std::wstring entryPath(size_t index) const;
    void fill();
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    std::wstring path_;
    std::vector<Entry> entries_;
    size_t current_ = 0;  // index of the open folder
    platform::IconHandle openIcon_, closedIcon_;
};

}  // namespace ui
