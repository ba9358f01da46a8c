// The login window, the program's start-up window: asks for the password,
// or hands over to the first-password window when none is stored.
#pragma once

#include "access/CaseWarning.h"
#include "resource.h"
#include "ui/Controls.h"
#include "ui/Form.h"

class FrmPass : public ui::Form {
public:
    FrmPass();

    ui::Frame FrameEnterPass{
        this, {.rect = {240, 120, 4200, 1455}, .caption = "Enter Password to continue", .accessKey = 'P'}};
    ui::TextBox TxtPass{this,
                        {.rect = {240, 420, 3720, 315}, .container = &FrameEnterPass, .password = true}};
    ui::Button CmdPassoK{this,
                         {.rect = {1440, 900, 1335, 375},
                          .caption = "OK",
                          .container = &FrameEnterPass,
                          .accessKey = 'O',
                          .picture = IDI_OK}};
    ui::Frame Framepasschange{this, {.rect = {240, 1740, 4200, 735}, .caption = "Other Options"}};
    ui::Shape Shp1{this,
                   {.rect = {360, 375, 135, 135},
                    .container = &Framepasschange,
                    .fore = ui::DarkGreen,
                    .back = ui::DarkGreen}};
    ui::Label LblChangePass{this,
                            {.rect = {600, 330, 2400, 255},
                             .caption = "Change Password",
                             .container = &Framepasschange,
                             .font = {.bold = true},
                             .fore = ui::DarkGreen,
                             .handCursor = true,
                             .accessKey = 'C'}};
    ui::Label LblCasesen{this, caseWarning({240, 2700, 4200, 255})};

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    void CmdPassoK_Click();
    void TxtPass_KeyPress(int keyAscii);
    void LblChangePass_Click();
};
