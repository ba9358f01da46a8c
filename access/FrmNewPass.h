// The first-password window: the user chooses the login password, typed
// twice alike. Closing it ends the program.
#pragma once

#include "access/CaseWarning.h"
#include "resource.h"
#include "ui/Controls.h"
#include "ui/Form.h"

class FrmNewPass : public ui::Form {
public:
    FrmNewPass();

    ui::Label LblNewPass{
        this,
        {.rect = {240, 120, 4695, 735},
         .caption = "A password is required to gain access to Hidewell. You haven't selected "
                    "a password yet. Please enter your new password below and click OK"}};
    ui::Frame FrameNewPass{this, {.rect = {240, 960, 4695, 1935}, .caption = "Select a new password"}};
    ui::Label LblNewpass1{this,
                          {.rect = {240, 420, 2100, 255},
                           .caption = "Type new password:",
                           .container = &FrameNewPass,
                           .accessKey = 'T'}};
    ui::TextBox TxtNewpass1{this,
                            {.rect = {2400, 360, 2055, 315}, .container = &FrameNewPass, .password = true}};
    ui::Label Label1{this,
                     {.rect = {240, 900, 2100, 255},
                      .caption = "Re-Type new password:",
                      .container = &FrameNewPass,
                      .accessKey = 'R'}};
    ui::TextBox txtnewpass2{this,
                            {.rect = {2400, 840, 2055, 315}, .container = &FrameNewPass, .password = true}};
    ui::Button CmdNewpassok{this,
                            {.rect = {1680, 1380, 1335, 375},
                             .caption = "OK",
                             .container = &FrameNewPass,
                             .accessKey = 'O',
                             .picture = IDI_OK}};
    ui::Label LblCasesen{this, caseWarning({240, 3180, 4695, 255})};

protected:
    void Form_Unload() override;

private:
    void CmdNewpassok_Click();
    void TxtNewpass1_KeyPress(int keyAscii);
    void txtnewpass2_KeyPress(int keyAscii);
};
