// Walks through Hidewell's eight windows and its main message boxes on a real
// display and saves a picture of each, for the README. Run by
// tools/pictures.sh; not part of the program.
//
// Usage: tour.exe <folder for the pictures> [suffix]
// With a suffix ("-144dpi"), only the windows are pictured, each name with
// the suffix: the message boxes are the system's own at any DPI. With the
// suffix "-highcontrast" they are pictured under a high-contrast black
// theme: Wine has no high-contrast setting (SPI_GETHIGHCONTRAST always says
// off there), so the tour answers for it and sets the theme's colours.
#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "access/FrmChangePass.h"
#include "access/FrmNewPass.h"
#include "access/FrmPass.h"
#include "access/PasswordStore.h"
#include "app/Form1.h"
#include "app/FrmAbout.h"
#include "app/SetUp.h"
#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "hiding/ListFile.h"
#include "mru/FrmMRU.h"
#include "platform/Paths.h"
#include "ui/Form.h"
#include "ui/Look.h"

namespace {

std::string pictures;
std::string suffix;
std::deque<std::string> boxNames;  // the message boxes still to be pictured, in order

// Saves what the screen shows of a window, frame included, as a BMP.
void saveWindow(HWND h, const std::string& name) {
    RECT r;
    GetWindowRect(h, &r);
    const int w = r.right - r.left, ht = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, ht);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, ht, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);

    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof bi;
    bi.biWidth = w;
    bi.biHeight = ht;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    const int stride = (w * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<size_t>(stride) * ht);
    GetDIBits(mem, bmp, 0, ht, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
    BITMAPFILEHEADER bf{};
    bf.bfType = 0x4D42;
    bf.bfOffBits = sizeof bf + sizeof bi;
    bf.bfSize = bf.bfOffBits + static_cast<DWORD>(pixels.size());
    const std::string path = pictures + "\\" + name + ".bmp";
    if (FILE* f = nullptr; fopen_s(&f, path.c_str(), "wb") == 0) {
        fwrite(&bf, sizeof bf, 1, f);
        fwrite(&bi, sizeof bi, 1, f);
        fwrite(pixels.data(), 1, pixels.size(), f);
        fclose(f);
    }
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    printf("pictured %s (%dx%d)\n", name.c_str(), w, ht);
}

void settle() {
    for (int i = 0; i < 6; ++i) {
        ui::pumpMessages();
        Sleep(100);
    }
}

void picture(ui::Form& form, const std::string& name) {
    settle();
    saveWindow(form.hwnd(), name + suffix);
}

// Runs inside a message box's own loop: pictures the box, then answers it.
void CALLBACK pictureBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM found) -> BOOL {
            char cls[16] = "";
            GetClassNameA(h, cls, sizeof cls);
            if (strcmp(cls, "#32770") != 0 || !IsWindowVisible(h)) return TRUE;
            *reinterpret_cast<HWND*>(found) = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&box));
    if (!box || boxNames.empty()) return;
    if (suffix.empty()) saveWindow(box, boxNames.front());
    boxNames.pop_front();
    // Yes/No boxes have no OK button: No leaves everything as it was.
    const int answer = GetDlgItem(box, IDNO) ? IDNO : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
    if (boxNames.empty()) KillTimer(nullptr, timer);
}

// The next action shows these boxes, in this order.
void expectBoxes(std::initializer_list<const char*> names) {
    for (const char* n : names) boxNames.emplace_back(n);
    SetTimer(nullptr, 0, 600, pictureBox);
}

// Windows' "High Contrast Black" theme, as far as these windows use it.
void highContrastBlack() {
    ui::highContrastSetting = [] { return true; };
    const std::pair<int, COLORREF> colours[] = {
        {COLOR_WINDOW, RGB(0, 0, 0)},
        {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
        {COLOR_BTNFACE, RGB(0, 0, 0)},
        {COLOR_BTNTEXT, RGB(255, 255, 255)},
        {COLOR_HOTLIGHT, RGB(255, 255, 0)},
        {COLOR_HIGHLIGHT, RGB(26, 235, 255)},
        {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)},
        {COLOR_GRAYTEXT, RGB(63, 242, 63)},
        {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
        {COLOR_3DLIGHT, RGB(192, 192, 192)},
        {COLOR_BTNSHADOW, RGB(128, 128, 128)},
        {COLOR_3DDKSHADOW, RGB(255, 255, 255)},
        {COLOR_WINDOWFRAME, RGB(255, 255, 255)},
        {COLOR_SCROLLBAR, RGB(0, 0, 0)},
        {COLOR_ACTIVECAPTION, RGB(128, 0, 128)},
        {COLOR_GRADIENTACTIVECAPTION, RGB(128, 0, 128)},
        {COLOR_CAPTIONTEXT, RGB(255, 255, 255)},
        {COLOR_INACTIVECAPTION, RGB(0, 128, 0)},
        {COLOR_GRADIENTINACTIVECAPTION, RGB(0, 128, 0)},
        {COLOR_INACTIVECAPTIONTEXT, RGB(255, 255, 255)},
        {COLOR_ACTIVEBORDER, RGB(255, 255, 0)},
        {COLOR_INACTIVEBORDER, RGB(0, 128, 0)},
        {COLOR_INFOBK, RGB(0, 0, 0)},
        {COLOR_INFOTEXT, RGB(255, 255, 255)},
        {COLOR_MENU, RGB(0, 0, 0)},
        {COLOR_MENUTEXT, RGB(255, 255, 255)},
    };
    std::vector<int> which;
    std::vector<COLORREF> values;
    for (const auto& [index, colour] : colours) {
        which.push_back(index);
        values.push_back(colour);
    }
    SetSysColors(static_cast<int>(which.size()), which.data(), values.data());
}

std::string makeSampleFolder(const std::string& under, const std::string& name) {
    const std::string path = under + "\\" + name;
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: tour <pictures folder> [suffix]\n");
        return 2;
    }
    pictures = argv[1];
    if (argc > 2) suffix = argv[2];
    if (suffix == "-highcontrast") highContrastBlack();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ui::initialize();
    setUpProgram();

    Form1& main = ui::shared<Form1>();

    // A user's folder with a few hidden things already listed.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string tempFolder = temp;
    if (tempFolder.back() == '\\') tempFolder.pop_back();
    const std::string home = makeSampleFolder(tempFolder, "Hidewell tour");
    const std::string documents = makeSampleFolder(home, "Documents");
    makeSampleFolder(documents, "Letters");
    const std::string tax = makeSampleFolder(documents, "Tax 2025");
    makeSampleFolder(documents, "Recipes");
    platform::setApplicationFolder(home);
    hiding::replaceFile(hiding::listFilePath(),
                        {documents + "\\Diary.txt", "C:\\Photos\\Holiday, summer 2024",
                         "D:\\Projects\\Old drafts", documents + "\\Bank statements"});
    SetCurrentDirectoryA(documents.c_str());

    // First start: no password yet.
    auto& first = ui::shared<FrmNewPass>();
    first.Show();
    picture(first, "first-password");
    first.TxtNewpass1.setText("one");
    first.txtnewpass2.setText("two");
    expectBoxes({"first-password-mismatch"});
    first.CmdNewpassok.click();
    ui::unloadAll();

    PasswordStore::save("example");
    auto& login = ui::shared<FrmPass>();
    login.Show();
    picture(login, "login");
    login.TxtPass.setText("wrong");
    expectBoxes({"login-incorrect"});
    login.CmdPassoK.click();
    login.TxtPass.setText("example");
    login.CmdPassoK.click();

    picture(main, "main");

    main.LblHidef.click();
    auto& hide = ui::shared<FrmHidef>();
    hide.Dir1.setPath(tax);
    hide.Dir1.setPath(documents);
    picture(hide, "hide");
    hide.Dir1.setPath(tax);
    expectBoxes({"hide-folder-hidden"});
    hide.CmdHideDir.click();
    hide.close();

    main.LblUnhidef.click();
    auto& unhide = ui::shared<FrmUnhidef>();
    unhide.LstUnhide.setListIndex(1);
    picture(unhide, "unhide");
    expectBoxes({"unhide-not-found", "unhide-remove-entry"});
    unhide.CmdUnhide.click();
    unhide.LstUnhide.setListIndex(unhide.LstUnhide.listCount() - 1);
    expectBoxes({"unhide-done"});
    unhide.CmdUnhide.click();
    unhide.close();

    main.LblMRU.click();
    auto& mru = ui::shared<FrmMRU>();
    mru.CmbMRU.choose("Run commands");
    picture(mru, "mru");
    expectBoxes({"mru-confirmation", "mru-reboot-note"});
    mru.CmdDelMRU.click();
    mru.close();

    main.Lblchangepass.click();
    auto& change = ui::shared<FrmChangePass>();
    picture(change, "change-password");
    change.close();
    ui::unloadAll();

    main.Show();
    main.Label4.click();
    picture(ui::shared<FrmAbout>(), "about");
    ui::unloadAll();
    CoUninitialize();
    return 0;
}
