// The hide window: hides one folder (picked in the drive and folder lists)
// or one file (picked in the file-open dialog) at a time, and records each in
// the list file.
#pragma once

#include <string>

#include "resource.h"
#include "ui/Controls.h"
#include "ui/Form.h"

class FrmHidef : public ui::Form {
public:
    FrmHidef();

    // Refuses a folder request for a drive root: shows why and sets the flag.
    void CheckPath();

    ui::Label Label1{this,
                     {.rect = {480, 120, 3135, 495},
                      .caption = "Hide File or Folder",
                      .font = {.points = 18},
                      .fore = ui::DarkRed,
                      .align = ui::Align::Center}};
    ui::Frame FrameDrive{this, {.rect = {600, 720, 2895, 975}, .caption = "Select Drive", .accessKey = 'D'}};
    ui::DriveList drive1{this, {.rect = {240, 360, 2415, 315}, .container = &FrameDrive}};
    ui::Frame FrameDir{
        this, {.rect = {600, 1920, 2895, 2895}, .caption = "Select Folder (DOUBLE-CLICK)", .accessKey = 'S'}};
    ui::FolderList Dir1{this, {.rect = {240, 480, 2415, 1665}, .container = &FrameDir}};
    ui::Button CmdHideDir{this,
                          {.rect = {240, 2400, 2415, 300},
                           .caption = "Hide Folder",
                           .container = &FrameDir,
                           .accessKey = 'H',
                           .picture = IDI_HIDE_FOLDER}};
    ui::Frame FrameHideFile{this, {.rect = {600, 5040, 2895, 735}, .caption = "OR"}};
    ui::Button CmdHideFil{this,
                          {.rect = {240, 240, 2415, 300},
                           .caption = "Hide File",
                           .container = &FrameHideFile,
                           .accessKey = 'F',
                           .picture = IDI_HIDE_FILE}};
    // Last in the focus order: the lists and buttons come first.
    ui::Label LblQ{this,
                   {.rect = {3840, 0, 255, 255},
                    .caption = "?",
                    .font = {.bold = true},
                    .fore = ui::LinkBlue,
                    .align = ui::Align::Center,
                    .handCursor = true,
                    .accessKey = '?'}};

    // 0: a folder request may go on; 1: CheckPath refused it.
    short refusal = 0;

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    void CmdHideDir_Click();
    void CmdHideFil_Click();
    void drive1_Change();
    void LblQ_Click();
    // Hidden and listed; or neither, because something failed or because the
    // user stopped waiting for the list file.
    enum class Hiding { Done, Failed, Stopped };
    Hiding hideAndRecord(const std::string& path);
    void refuseInaccessible();
    void refuseBrokenShortcut(const std::string& shortcut);
    void refuseUnrecordable();
};
