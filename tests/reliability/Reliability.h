// What the reliability tests share: the message boxes they expect, the line
// format as an independent reference, a guard page behind borrowed text,
// a snapshot of a folder tree, and the tally printed at the end of the run.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "support/Messages.h"
#include "support/Sandbox.h"
#include "support/ScriptedHost.h"

namespace reliability {

using Entries = std::vector<std::string>;
using test::Box;

using namespace msg;
using test::readList;
// The entries of a path-list file's bytes: lines end at CR LF, a lone CR or
// a lone LF; a last line without an end counts; nothing else is touched.
Entries splitLines(std::string_view bytes);
// An entry as the program reads a line: a line that is not UTF-8 was written
// by an earlier version in the legacy code page and is read in that one, here
// the Western one (1252), written out as an independent reference. Tests that
// use these skip where the code pages are others (test::readsWesternLegacy()).
std::string asRead(std::string_view line);
Entries asRead(const Entries& lines);
// The entries of a path-list file's bytes as the program reads them.
Entries entriesOf(std::string_view bytes);

// A copy of some bytes that ends right where an inaccessible page begins:
// a routine that reads past the end of what it was given faults at once
// instead of reading someone else's memory unnoticed. Without the memory for
// it, the copy is empty: the test checks that it holds the bytes.
class GuardedText {
public:
    explicit GuardedText(std::string_view bytes);
    ~GuardedText();
    GuardedText(const GuardedText&) = delete;
    GuardedText& operator=(const GuardedText&) = delete;
    std::string_view view() const { return {data_, size_}; }

private:
    char* base_ = nullptr;
    size_t reserved_ = 0;
    char* data_ = nullptr;
    size_t size_ = 0;
};

// Every file and folder under a folder with its attributes and size (folders
// as -1), by path relative to it: what changed between two snapshots.
using Snapshot = std::map<std::string, std::pair<DWORD, long long>>;
Snapshot snapshot(const std::string& folder);
std::vector<std::string> differences(const Snapshot& before, const Snapshot& after);

// Counts for the closing table: inputs tried by category, faults injected,
// and the like. Printed once, after the last test.
void tally(const std::string& what, long long n = 1);

}  // namespace reliability
