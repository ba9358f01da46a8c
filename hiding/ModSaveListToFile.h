// Writes the items of a list box to a path-list file.
#pragma once

#include <string>

#include "ui/Controls.h"

namespace ModSaveListToFile {

// Writes every item, in index order, one per line, replacing the file in one
// step (see hiding::replaceFile). False when nothing was replaced.
bool SaveListToFile(std::string path, const ui::ListBox& list);

}  // namespace ModSaveListToFile
