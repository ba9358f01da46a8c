#include "hiding/ListMessages.h"

#include "platform/Paths.h"

namespace hiding {

std::string whyListUnwritable(WriteProblem problem, std::string_view then) {
    const std::string thenDo = std::string(then) + ".";
    switch (problem) {
        case WriteProblem::Link:
            return "the 'Sett~.dll' file beside the program, which holds the list of hidden items, is a link "
                   "to "
                   "another place, and Hidewell keeps its list only in a file of its own. Put the list file "
                   "itself in place of the link (or delete the link), then " +
                   thenDo;
        case WriteProblem::NotAFile:
            return "where the 'Sett~.dll' file that holds the list of hidden items belongs, beside the "
                   "program, "
                   "a folder of that name stands. Move or rename that folder, then " +
                   thenDo;
        case WriteProblem::ReadOnly:
            return "the 'Sett~.dll' file beside the program, which holds the list of hidden items, is "
                   "read-only. Clear the file's read-only flag (in its Properties), then " +
                   thenDo;
        case WriteProblem::FolderReadOnly:
            return "the list of hidden items is kept beside the program, in its 'Sett~.dll' file, and the "
                   "program's folder cannot be written to:\n\n" +
                   platform::applicationFolder() +
                   "\n\nHidewell needs a folder you can write to: copy it (with its 'Sett~.dll' file, if "
                   "there is one) to one, in your Documents for example, and run it from there.";
        case WriteProblem::None: break;
    }
    return {};
}

}  // namespace hiding
