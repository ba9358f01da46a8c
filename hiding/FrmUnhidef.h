// The unhide window: lists the entries of the list file, unhides the one the
// user selects or a path typed by hand, and exports and imports the list.
// The list lives in LstUnhide while the window is open and goes back to the
// file when it closes.
#pragma once

#include <string>
#include <vector>

#include "hiding/ListFile.h"
#include "resource.h"
#include "ui/Controls.h"
#include "ui/Form.h"

class FrmUnhidef : public ui::Form {
public:
    FrmUnhidef();
    bool preTranslateKey(const MSG& key) override;

private:
    static constexpr ui::TwipsRect listButton(int column) { return {120 + 1525 * column, 2820, 1405, 375}; }

public:
    ui::Label LblHeading{this,
                         {.rect = {240, 120, 4455, 495},
                          .caption = "Unhide File or Folder",
                          .font = {.points = 18},
                          .fore = ui::DarkRed,
                          .align = ui::Align::Center}};
    ui::Frame FrameUnhide{this,
                          {.rect = {120, 780, 4695, 3375},
                           .caption = "Select the File or Folder and click 'Unhide'",
                           .accessKey = 'S'}};
    ui::ListBox LstUnhide{this,
                          {.rect = {120, 300, 4455, 2400}, .container = &FrameUnhide, .back = ui::LightGrey}};
    ui::Button CmdUnhide{this,
                         {.rect = listButton(0),
                          .caption = "Unhide",
                          .container = &FrameUnhide,
                          .accessKey = 'U',
                          .picture = IDI_UNHIDE}};
    ui::Button CmdImpList{this,
                          {.rect = listButton(1),
                           .caption = "Import List",
                           .container = &FrameUnhide,
                           .accessKey = 'I',
                           .picture = IDI_IMPORT}};
    ui::Button CmdExpList{this,
                          {.rect = listButton(2),
                           .caption = "Export List",
                           .container = &FrameUnhide,
                           .accessKey = 'E',
                           .picture = IDI_EXPORT}};
    ui::Frame FrameQunhide{this,
                           {.rect = {120, 4335, 4695, 1920}, .caption = "Hidden path not in above list?"}};
    ui::Label LblTypePath{this,
                          {.rect = {120, 300, 4455, 435},
                           .caption = "Type the full path of the hidden file\\folder and click 'unhide'",
                           .container = &FrameQunhide,
                           .accessKey = 'T'}};
    ui::TextBox TxtUnhide{this,
                          {.rect = {120, 840, 4455, 285}, .container = &FrameQunhide, .back = ui::LightGrey}};
    ui::Button CmdQuickUnhide{this,
                              {.rect = {1645, 1365, 1405, 375},
                               .caption = "Unhide",
                               .container = &FrameQunhide,
                               .accessKey = 'N',
                               .picture = IDI_UNHIDE}};
    ui::ListBox LstTemp{this, {.rect = {}, .visible = false}};

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void Form_SessionEnd() override;

private:
    void CmdUnhide_Click();
    void CmdQuickUnhide_Click();
    void CmdExpList_Click();
    void CmdImpList_Click();
    void removeEntry(int index);
    bool writeRemovals(const hiding::KeepWaiting& keepWaiting);

    // The entries removed here since the list file was read or imported:
    // closing takes just these out of the file.
    std::vector<std::string> removed_;
    // The list file could not be written when the window loaded (see
    // hiding::writeProblem), and the user was told so.
    bool warnedUnwritable_ = false;
    // There was no list file when the window loaded, and none was imported.
    bool listMissing_ = false;
};
