#include "hiding/ModSaveListToFile.h"

#include "hiding/ListFile.h"

namespace ModSaveListToFile {

bool SaveListToFile(std::string path, const ui::ListBox& list) {
    return hiding::replaceFile(path, list.items());
}

}  // namespace ModSaveListToFile
