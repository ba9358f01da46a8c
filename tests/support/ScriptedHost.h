// A host that answers message boxes and file dialogs from queues and records
// every request, so tests can drive the real windows headless.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "ui/Host.h"

namespace test {

struct Box {
    std::string prompt;
    std::string title;
    ui::Icon icon = ui::Icon::None;
    ui::Buttons buttons = ui::Buttons::Ok;
    bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Box& b);

class ScriptedHost final : public ui::Host {
public:
    ui::Answer messageBox(HWND owner, std::string_view prompt, std::string_view title, ui::Icon icon,
                          ui::Buttons buttons) override;
    std::optional<ui::FileChoice> chooseFile(HWND owner, const ui::FileDialog& dialog) override;
    bool openWithShell(std::string_view target) override;
    void endProgram() override;

    void reset();
    // Answers for the next Yes/No and Retry/Cancel questions, in order.
    void answer(ui::Answer a) { answers.push_back(a); }
    // The next file dialog returns this path; nullopt cancels it.
    void chooseFile(std::optional<std::string> path, bool exact = true);

    // The boxes shown since the last take, in order, taken out of `boxes`:
    // what the step just taken showed, for the test to check right after it.
    std::vector<Box> takeBoxes() { return std::exchange(boxes, {}); }
    std::vector<Box> boxes;                 // every message box not taken yet, in order
    std::vector<HWND> boxOwners;            // the owner window of each
    std::vector<ui::FileDialog> dialogs;    // every file dialog, in order
    std::vector<std::string> shellTargets;  // every target handed to the shell
    bool shellOpens = true;                 // false: no program takes any target
    int programEnds = 0;
    std::deque<ui::Answer> answers;
    std::deque<std::optional<ui::FileChoice>> files;
    // Runs while each message box or file dialog is open, before it is
    // answered: what the user does meanwhile (ui::pumpMessages() handles it
    // as the box's own message loop would).
    std::function<void()> whileOpen;

private:
    void runWhileOpen();
};

ScriptedHost& host();

}  // namespace test
