// The change-password window: replaces the stored password after checking
// the old one. Closing it leads back to the login window.
#pragma once

#include "access/CaseWarning.h"
#include "resource.h"
#include "ui/Controls.h"
#include "ui/Form.h"

class FrmChangePass : public ui::Form {
public:
    FrmChangePass();

    ui::Frame FrameChangePass{this, {.rect = {240, 120, 4335, 2655}, .caption = "Change Password"}};
    ui::Label Lbloldpass{this,
                         {.rect = {240, 420, 2100, 255},
                          .caption = "Enter old password:",
                          .container = &FrameChangePass,
                          .accessKey = 'O'}};
    ui::TextBox TxtOldPass{this,
                           {.rect = {2400, 360, 1695, 315}, .container = &FrameChangePass, .password = true}};
    ui::Label Label1{this,
                     {.rect = {240, 900, 2100, 255},
                      .caption = "Enter new password:",
                      .container = &FrameChangePass,
                      .accessKey = 'N'}};
    ui::TextBox Text1{this,
                      {.rect = {2400, 840, 1695, 315}, .container = &FrameChangePass, .password = true}};
    ui::Label Label2{this,
                     {.rect = {240, 1380, 2100, 255},
                      .caption = "Re-Type new password:",
                      .container = &FrameChangePass,
                      .accessKey = 'R'}};
    ui::TextBox Text2{this,
                      {.rect = {2400, 1320, 1695, 315}, .container = &FrameChangePass, .password = true}};
    ui::Button CmdChangepass{this,
                             {.rect = {1200, 1980, 1935, 375},
                              .caption = "Change Password",
                              .container = &FrameChangePass,
                              .accessKey = 'C',
                              .picture = IDI_KEY}};
    ui::Label LblCasesen{this, caseWarning({240, 3060, 4335, 255})};

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    void CmdChangepass_Click();
    void TxtOldPass_KeyPress(int keyAscii);
    void Text1_KeyPress(int keyAscii);
    void Text2_KeyPress(int keyAscii);
    void askToRetype(const char* prompt);
};
