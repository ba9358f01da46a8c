// The hidden-path list file "sett~.dll" beside the program, and the line
// format it shares with exported lists: one path per line, each ended by CR
// LF, in UTF-8 (a list of ASCII paths is the same bytes as an earlier
// version's), nothing else. This is the only code that reads or writes such
// files. Paths of files here are UTF-8 too.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace hiding {

// The application folder joined with "\sett~.dll".
std::string listFilePath();

enum class ReadResult {
    Complete,
    Missing,   // there is no such file
    NotAFile,  // a folder stands at its path
    Failed,    // it could not be opened or read to its end
};

// Appends the entries of a path-list file to `entries`, in file order. A line
// ends at CR LF, or at a lone CR or LF (never written here, but files from
// elsewhere have them); an empty line is an empty entry; a last line without
// a line end still counts. A byte-order mark at the start of the file is
// skipped. A line that is not UTF-8, written by an earlier version in the
// system's legacy code page, is read in that one. Only a file on a disk is
// read: a device (NUL, CON, COM1) fails. On failure the entries read whole
// so far stay; a line cut short by the failure does not. Throws
// std::bad_alloc for a list too large to hold in the memory left: one whose
// cost in a window (about three times its bytes, and 128 bytes a line)
// would pass half the free memory; a file whose bytes alone would is not
// read at all. `progress`, if any, hears the bytes read so far of the whole.
using ReadProgress = std::function<void(unsigned long long done, unsigned long long total)>;
ReadResult readEntries(const std::string& path, std::vector<std::string>& entries,
                       const ReadProgress& progress = {});

// True when the file is there and read-only: nothing is written to it then.
bool isReadOnly(const std::string& path);

// True when a link (a symbolic link, a junction, any reparse point) stands
// at the path, whatever it leads to: nothing is written through one to the
// list file.
bool isLink(const std::string& path);

// What keeps the file at `path` from being written, as far as can be told
// beforehand. Its folder is tried by making a file there (and removing it);
// a full drive counts as no problem, for it is one only for a while.
enum class WriteProblem {
    None,
    Link,            // a link stands at its path (isLink)
    NotAFile,        // a folder stands at its path
    ReadOnly,        // the file is read-only (isReadOnly)
    FolderReadOnly,  // no file can be made in its folder: a read-only drive, no right, no such folder
};
WriteProblem writeProblem(const std::string& path);

// True when the two paths name one file, however each reaches it (another
// drive letter, a short name, other letter case, a hard link); for a file
// not yet there, when they name it in one folder.
bool sameFile(const std::string& a, const std::string& b);

// The list file is shared by every window and every running copy of the
// program (and any other user or drive letter that reaches its folder). Its
// writers take turns: an append, or a rewrite from reading the file to
// putting the new one in its place, never runs into another's, and nothing
// is written without the turn. The turn is the file "hw~turn.lck" in the
// list's folder, held open without sharing and deleted when let go, so only
// a process that may make files there, and could write the list anyway, can
// take it.

// Called every few hundredths of a second while another writer has the turn;
// false gives up, and the write does not happen. Empty: wait as long as it
// takes.
using KeepWaiting = std::function<bool()>;
// Waits no longer than this, asking no one.
KeepWaiting waitAtMost(unsigned ms);

// Appends one entry to the file, creating it when missing. On failure (a
// read-only file, a link in the file's place, the turn given up) the file is
// left as it was. `first`, when given, is done once the turn is taken and
// before the entry is written (what the entry records, done only when it can
// be recorded at once); when it fails, nothing is written.
bool appendEntry(const std::string& path, std::string_view entry, const KeepWaiting& keepWaiting = {},
                 const std::function<bool()>& first = {});

// Rewrites the file as `change` makes it of the entries it holds at that
// moment (none when it is missing), in one step as replaceFile does, and
// gives the entries it then holds in `now`. False, the file left as it was,
// when it could not be read whole or replaced, is a link, or the turn was
// given up.
using Change = std::function<std::vector<std::string>(std::vector<std::string> current)>;
bool updateFile(const std::string& path, const Change& change, std::vector<std::string>& now,
                const KeepWaiting& keepWaiting = {});

// `from` less one occurrence of each entry of `less`, the first still there;
// the rest in their order.
std::vector<std::string> without(std::vector<std::string> from, const std::vector<std::string>& less);

// Replaces the file with these entries in one step: it is written to a new
// file beside it, flushed, and renamed over it, so the file always holds the
// whole old list or the whole new one. The new file keeps the old one's
// hidden, system, archive and not-indexed flags and its permissions, where it
// had its own (a list made private stays private); a read-only file is
// refused and left as it is. Copies "hw~*.tmp" that a rewrite cut short left
// in the folder are removed on the next write of the list.
bool replaceFile(const std::string& path, const std::vector<std::string>& entries);

}  // namespace hiding
