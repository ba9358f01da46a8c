#include "support/ScriptedHost.h"

#include <gtest/gtest.h>

namespace test {

std::ostream& operator<<(std::ostream& os, const Box& b) {
    static const char* icons[] = {"none", "information", "exclamation"};
    return os << "{\"" << b.prompt << "\", \"" << b.title << "\", " << icons[static_cast<int>(b.icon)]
              << (b.buttons == ui::Buttons::YesNo         ? ", Yes/No}"
                  : b.buttons == ui::Buttons::RetryCancel ? ", Retry/Cancel}"
                                                          : "}");
}

ui::Answer ScriptedHost::messageBox(HWND owner, std::string_view prompt, std::string_view title,
                                    ui::Icon icon, ui::Buttons buttons) {
    boxes.push_back({std::string(prompt), std::string(title), icon, buttons});
    boxOwners.push_back(owner);
    runWhileOpen();
    if (buttons == ui::Buttons::Ok) return ui::Answer::Ok;
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << boxes.back();
        return ui::Answer::No;
    }
    ui::Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<ui::FileChoice> ScriptedHost::chooseFile(HWND, const ui::FileDialog& dialog) {
    dialogs.push_back(dialog);
    runWhileOpen();
    if (files.empty()) {
        ADD_FAILURE() << "unexpected file dialog";
        return std::nullopt;
    }
    auto f = files.front();
    files.pop_front();
    return f;
}

void ScriptedHost::chooseFile(std::optional<std::string> path, bool exact) {
    if (path)
        files.push_back(ui::FileChoice{*path, exact});
    else
        files.push_back(std::nullopt);
}

// On a copy: the function may put another in its place, or none, as it runs.
void ScriptedHost::runWhileOpen() {
    if (const auto run = whileOpen) run();
}

bool ScriptedHost::openWithShell(std::string_view target) {
    shellTargets.emplace_back(target);
    return shellOpens;
}

void ScriptedHost::endProgram() { ++programEnds; }

void ScriptedHost::reset() { *this = ScriptedHost(); }

ScriptedHost& host() {
    static ScriptedHost h;
    return h;
}

}  // namespace test
