// The steps a user takes in the hide and unhide windows, as the tests take
// them. Each returns the boxes shown since the last takeBoxes(), so that a
// test checks right after a step exactly what it showed.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "support/Sandbox.h"
#include "support/ScriptedHost.h"

namespace test {

// "Import List" and "Export List", the file dialog answered with `path`
// (nullopt cancels it; `exact` false for a name the dialog could not give
// exactly).
[[nodiscard]] inline std::vector<Box> importList(FrmUnhidef& form, std::optional<std::string> path) {
    host().chooseFile(std::move(path));
    form.CmdImpList.click();
    return host().takeBoxes();
}
[[nodiscard]] inline std::vector<Box> exportList(FrmUnhidef& form, std::optional<std::string> path,
                                                 bool exact = true) {
    host().chooseFile(std::move(path), exact);
    form.CmdExpList.click();
    return host().takeBoxes();
}

// "Unhide" on the entry at `index`, with `answer` for the question asked when
// it cannot be found.
[[nodiscard]] inline std::vector<Box> unhideEntry(FrmUnhidef& form, int index,
                                                  std::optional<ui::Answer> answer = {}) {
    form.LstUnhide.setListIndex(index);
    if (answer) host().answer(*answer);
    form.CmdUnhide.click();
    return host().takeBoxes();
}

// How a path gets into a box: typed key by key, or pasted whole, as text no
// one types does (40,000 characters).
enum class Entry { Typed, Pasted };

// "Quick Unhide" with `text` in its box.
[[nodiscard]] inline std::vector<Box> quickUnhide(FrmUnhidef& form, const std::string& text,
                                                  Entry entry = Entry::Typed) {
    if (entry == Entry::Typed)
        typeOver(form.TxtUnhide.hwnd(), text);
    else
        form.TxtUnhide.setText(text);
    form.CmdQuickUnhide.click();
    return host().takeBoxes();
}

// "Hide File", the file dialog answered with `path` (nullopt cancels it).
[[nodiscard]] inline std::vector<Box> hideFile(FrmHidef& form, std::optional<std::string> path) {
    host().chooseFile(std::move(path));
    form.CmdHideFil.click();
    return host().takeBoxes();
}

}  // namespace test
