// The list file's byte format and its three operations, on the real file system.
#include "hiding/ListFile.h"

#include <aclapi.h>
#include <sddl.h>

#include "platform/Text.h"
#include "support/Sandbox.h"
#include "support/SmallDrive.h"

namespace {

using hiding::ReadResult;
using Entries = std::vector<std::string>;

class ListFileTest : public test::Sandbox {};

using test::readList;

// How reading a file ends.
ReadResult resultOf(const std::string& path) {
    Entries entries;
    return hiding::readEntries(path, entries);
}

TEST_F(ListFileTest, LivesBesideTheProgram) { EXPECT_EQ(hiding::listFilePath(), dir + "\\sett~.dll"); }

TEST_F(ListFileTest, ReadsEachLineWholeWithoutItsLineEnd) {
    ASSERT_TRUE(test::writeFile(listFile(), "C:\\My Files, old\\a.txt\r\n\r\n  C:\\lead\r\nC:\\last"));
    EXPECT_EQ(readList(listFile()), (Entries{"C:\\My Files, old\\a.txt", "", "  C:\\lead", "C:\\last"}));

    ASSERT_TRUE(test::writeFile(listFile(), "a\r\nb\r\n"));
    EXPECT_EQ(readList(listFile()), (Entries{"a", "b"})) << "no empty entry after the last line end";

    ASSERT_TRUE(test::writeFile(listFile(), ""));
    EXPECT_EQ(readList(listFile()), Entries{});

    // Notepad's "UTF-8 with BOM": the mark is no part of the first entry,
    // and a mark anywhere else is left as it is.
    ASSERT_TRUE(test::writeFile(listFile(),
                                "\xEF\xBB\xBF"
                                "C:\\a\r\n\xEF\xBB\xBF"
                                "C:\\b"));
    EXPECT_EQ(readList(listFile()), (Entries{"C:\\a",
                                             "\xEF\xBB\xBF"
                                             "C:\\b"}));
}

// Text as Notepad saves it as "Unicode" (little-endian) or "Unicode big
// endian": the mark, then UTF-16 units.
std::string utf16(std::u16string_view text, bool big) {
    std::string out = big ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t c : text) {
        const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
        out += big ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

TEST_F(ListFileTest, ReadsUtf16WithItsMarkAsTheTextItIsAndAppendsInIt) {
    for (const bool big : {false, true}) {
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        ASSERT_TRUE(
            test::writeFile(listFile(), utf16(u"C:\\\u00C9t\u00E9\r\nC:\\\U0001F600\nC:\\\u3000last", big)));
        EXPECT_EQ(readList(listFile()),
                  (Entries{"C:\\\xC3\x89t\xC3\xA9", "C:\\\xF0\x9F\x98\x80", "C:\\\xE3\x80\x80last"}));
        ASSERT_TRUE(hiding::appendEntry(listFile(), "C:\\\xE6\x97\xA5"));
        EXPECT_EQ(test::readFile(listFile()),
                  utf16(u"C:\\\u00C9t\u00E9\r\nC:\\\U0001F600\nC:\\\u3000last\r\nC:\\\u65E5\r\n", big))
            << "the new line in the file's own encoding, after a line end";
    }

    // A character split between two reads of the file is read whole.
    std::u16string text(((1 << 20) - 2) / 2 - 1, u'x');
    text += u"\U0001F600\r\nC:\\b";
    ASSERT_TRUE(test::writeFile(listFile(), utf16(text, false)));
    EXPECT_EQ(readList(listFile()),
              (Entries{std::string(text.size() - 8, 'x') + "\xF0\x9F\x98\x80", "C:\\b"}));
}

TEST_F(ListFileTest, TakesLoneCarriageReturnsAndLineFeedsAsLineEnds) {
    ASSERT_TRUE(test::writeFile(listFile(), "a\nb\rc\r\n\nd"));
    EXPECT_EQ(readList(listFile()), (Entries{"a", "b", "c", "", "d"}));
}

TEST_F(ListFileTest, KeepsUtf8LinesWholeAndReadsOthersInTheLegacyCodePage) {
    const std::string utf8 = std::string("C:\\x\0y \xE6\x97\xA5", 10);
    ASSERT_TRUE(test::writeFile(listFile(), utf8 + "\r\nC:\\\xE9\x81\xFF\x90\r\n"));
    if (!test::readsWesternLegacy()) GTEST_SKIP() << test::kNotWesternLegacy;
    EXPECT_EQ(readList(listFile()), (Entries{utf8, "C:\\\xC3\xA9\xC2\x81\xC3\xBF\xC2\x90"}));
}

TEST_F(ListFileTest, ReportsAMissingFileApartFromAFolderOrAnUnreadableOne) {
    EXPECT_EQ(resultOf(listFile()), ReadResult::Missing);
    ASSERT_TRUE(test::writeFile(listFile(), "C:\\a\r\n"));
    {
        const platform::FileHandle held = test::holdOpen(listFile());
        EXPECT_EQ(resultOf(listFile()), ReadResult::Failed);
    }
    ASSERT_TRUE(DeleteFileA(listFile().c_str()));
    ASSERT_TRUE(test::makeFolder(listFile()));
    EXPECT_EQ(resultOf(listFile()), ReadResult::NotAFile);
}

// A disk that cannot be read past its first 12 KiB: an ext2 image whose
// indirect block lies beyond its end, mounted read-only (as root). Reading a
// file there gives its first 12 KiB, then an I/O error.
TEST_F(ListFileTest, ALineCutShortByAReadErrorIsNoEntry) {
    std::string bytes;
    Entries whole;
    while (bytes.size() < 12000) {
        whole.push_back("C:\\Data\\entry " + std::to_string(whole.size()));
        bytes += whole.back() + "\r\n";
    }
    whole.push_back("C:\\Filler" + std::string(12288 - 7 - 2 - 9 - bytes.size(), 'x'));
    bytes += whole.back() + "\r\n";
    bytes += "C:\\Data\\Private\r\n";  // the error comes right after "C:\Data"
    while (bytes.size() < 20000) bytes += "C:\\Data\\later\r\n";

    if (!test::underWine()) GTEST_SKIP() << "the disk is made with the Unix machine's own tools, under Wine";
    const std::string unix = "/tmp/hidewell-cut-" + std::to_string(GetCurrentProcessId());
    const std::string dos = "Z:\\tmp\\hidewell-cut-" + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryW(test::wide(dos).c_str(), nullptr)) GTEST_SKIP() << "no Unix /tmp reached as Z:";
    EXPECT_TRUE(test::writeFile(dos + "\\list", bytes));  // and on, to remove the folder
    const std::string mounted = dos + "\\disk\\list";
    test::startUnixCommand("(cd " + unix +
                           " && mkdir disk && /usr/sbin/mkfs.ext2 -q -F -b 1024 image 256 && " +
                           "/usr/sbin/debugfs -w -R 'write list list' image && " +
                           "/usr/sbin/debugfs -w -R 'sif list block[IND] 200000' image && " +
                           "mount -o loop,ro image disk) >/dev/null 2>&1");
    for (int i = 0; i < 50 && !test::exists(mounted); ++i) Sleep(100);
    const bool made = test::exists(mounted);
    if (made) {
        Entries entries;
        EXPECT_EQ(hiding::readEntries(mounted, entries), ReadResult::Failed);
        EXPECT_EQ(entries, whole) << "the lines read whole, not the one cut short";
    }
    test::startUnixCommand("umount " + unix + "/disk; rm -rf " + unix);
    for (int i = 0; i < 50 && test::exists(dos); ++i) Sleep(100);
    if (!made) GTEST_SKIP() << "no ext2 image could be mounted here (needs root and loop devices)";
}

TEST_F(ListFileTest, ADeviceIsNoListFile) {
    // NUL would read as an empty list, CON would wait for typed input for
    // ever. Both are on every machine (a serial port is not).
    for (const std::string& device : {std::string("NUL"), std::string("CON"), at("nul")}) {
        Entries entries;
        EXPECT_EQ(hiding::readEntries(device, entries), ReadResult::Failed) << device;
        EXPECT_EQ(entries, Entries{}) << device;
    }
}

TEST_F(ListFileTest, WritesEveryEntryWithCrLfAndReadsItBackUnchanged) {
    const Entries entries{"C:\\My Files, old\\a.txt", "", " C:\\lead", "C:\\a"};
    ASSERT_TRUE(hiding::replaceFile(listFile(), entries));
    EXPECT_EQ(test::readFile(listFile()), "C:\\My Files, old\\a.txt\r\n\r\n C:\\lead\r\nC:\\a\r\n");
    EXPECT_EQ(readList(listFile()), entries);

    ASSERT_TRUE(hiding::replaceFile(listFile(), {}));
    EXPECT_EQ(test::readFile(listFile()), "");
}

TEST_F(ListFileTest, ALongListGoesOutAndComesBackWhole) {
    // Longer than the buffers of writing and of reading, with one entry
    // longer than either and lines cut at every possible place.
    Entries entries;
    for (int i = 0; i < 40000; ++i)
        entries.push_back("C:\\folder " + std::to_string(i) + std::string(i % 61, 'x'));
    entries.insert(entries.begin() + 20000, std::string(1536 * 1024, 'y'));
    std::string expected;
    for (const std::string& e : entries) expected += e + "\r\n";
    ASSERT_TRUE(hiding::replaceFile(listFile(), entries));
    const std::string written = test::readFile(listFile());
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
    EXPECT_TRUE(readList(listFile()) == entries);
}

// The permissions of a file, in SDDL; "" when they cannot be read.
std::string permissionsOf(const std::string& path) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              nullptr, nullptr, &sd) != ERROR_SUCCESS)
        return "";
    char* text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorA(sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                         &text, nullptr);
    const std::string sddl = text ? text : "";
    LocalFree(text);
    LocalFree(sd);
    return sddl;
}

// Only the system and this user, none inherited: a list made private.
bool makePrivate(const std::string& path) {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    char buffer[256];
    DWORD size = 0;
    char* user = nullptr;
    const bool got = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
                     ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &user);
    CloseHandle(token);
    if (!got) return false;
    const std::string sddl = std::string("D:P(A;;FA;;;SY)(A;;FA;;;") + user + ")";
    LocalFree(user);
    PSECURITY_DESCRIPTOR sd = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    const bool made =
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &sd, nullptr) &&
        GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted) &&
        SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, dacl, nullptr) == ERROR_SUCCESS;
    LocalFree(sd);
    return made;
}

TEST_F(ListFileTest, ReplacingLeavesNoTemporaryFileKeepsFlagsAndPermissionsAndRefusesReadOnly) {
    ASSERT_TRUE(test::writeFile(listFile(), "old\r\n"));
    SetFileAttributesW(test::wide(listFile()).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(hiding::replaceFile(listFile(), {"new"}));
    EXPECT_EQ(test::readFile(listFile()), "new\r\n");
    EXPECT_EQ(test::attributes(listFile()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));

    // A list made private stays private.
    ASSERT_TRUE(makePrivate(listFile()));
    const std::string own = permissionsOf(listFile());
    ASSERT_NE(own, "");
    Entries now;
    ASSERT_TRUE(hiding::updateFile(
        listFile(), [](Entries e) { return e; }, now));
    EXPECT_EQ(permissionsOf(listFile()), own);
    EXPECT_EQ(test::attributes(listFile()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));

    // A read-only file is never written, by a rewrite as by an append.
    SetFileAttributesW(test::wide(listFile()).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(hiding::replaceFile(listFile(), {"newer"}));
    EXPECT_FALSE(hiding::appendEntry(listFile(), "newer"));
    EXPECT_EQ(test::readFile(listFile()), "new\r\n");
    EXPECT_EQ(test::attributes(listFile()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(test::filesIn(dir), 1) << "no temporary file is left";
}

TEST_F(ListFileTest, AFailedReplacementLeavesTheOldFileWhole) {
    ASSERT_TRUE(test::writeFile(listFile(), "old\r\n"));
    // Held open without sharing by another program.
    platform::FileHandle held = test::holdOpen(listFile());
    ASSERT_TRUE(held);
    EXPECT_FALSE(hiding::replaceFile(listFile(), {"new"}));
    held.reset();
    EXPECT_EQ(test::readFile(listFile()), "old\r\n");

    // A folder in the way.
    EXPECT_FALSE(hiding::replaceFile(at("nowhere\\list.hwl"), {"new"}));
}

TEST_F(ListFileTest, AppendCreatesTheFileAndKeepsWhatItHolds) {
    ASSERT_TRUE(hiding::appendEntry(listFile(), "C:\\one"));
    EXPECT_EQ(test::readFile(listFile()), "C:\\one\r\n");
    ASSERT_TRUE(hiding::appendEntry(listFile(), "C:\\one"));
    ASSERT_TRUE(hiding::appendEntry(listFile(), "C:\\two, three"));
    EXPECT_EQ(test::readFile(listFile()), "C:\\one\r\nC:\\one\r\nC:\\two, three\r\n");

    ASSERT_TRUE(test::writeFile(listFile(), "no line end"));
    ASSERT_TRUE(hiding::appendEntry(listFile(), "next"));
    EXPECT_EQ(readList(listFile()), (Entries{"no line end", "next"})) << "the last entry is not run into";
}

TEST_F(ListFileTest, AppendFailsOnAFileThatCannotBeWritten) {
    ASSERT_TRUE(test::makeFolder(listFile()));
    EXPECT_FALSE(hiding::appendEntry(listFile(), "C:\\one"));
}

// The turn is a file in the list's folder, so every path that reaches the
// folder meets it; a turn file nobody holds any more holds no one up.
TEST_F(ListFileTest, WritersTakeTurnsWhateverPathReachesTheFolder) {
    ASSERT_TRUE(test::writeFile(listFile(), "C:\\a\r\n"));
    const test::OtherDrive drive(dir);
    if (drive.reached.empty()) GTEST_SKIP() << "no other drive reaches the folder here";
    const std::string there = drive.reached + "\\SETT~.DLL";
    ASSERT_EQ(test::readFile(there), "C:\\a\r\n");
    int asked = 0;
    const auto giveUp = [&] { return ++asked, false; };
    Entries now;
    {
        const platform::FileHandle turn = test::holdTheTurn(dir);
        ASSERT_TRUE(turn);
        EXPECT_FALSE(hiding::appendEntry(there, "C:\\b", giveUp));
        EXPECT_FALSE(hiding::updateFile(
            there, [](Entries) { return Entries{}; }, now, giveUp));
        EXPECT_EQ(asked, 2);
        EXPECT_EQ(test::readFile(listFile()), "C:\\a\r\n");
    }
    ASSERT_TRUE(test::writeFile(at("hw~turn.lck"), ""));
    EXPECT_TRUE(hiding::appendEntry(there, "C:\\b", giveUp));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(test::readFile(listFile()), "C:\\a\r\nC:\\b\r\n");
    EXPECT_FALSE(test::exists(at("hw~turn.lck"))) << "let go, it goes";
}

// Copies "hw~<8 hex digits>.tmp" that a rewrite cut short left go on the next
// write; one being written (held open) stays, and so does anything that is
// not plainly such a copy.
TEST_F(ListFileTest, CopiesLeftByARewriteCutShortGoOnTheNextWrite) {
    ASSERT_TRUE(test::writeFile(listFile(), "C:\\a\r\n"));
    for (const char* name : {"hw~0badf00d.tmp", "hw~0000beef.tmp", "hw~notes.tmp", "hw~0badf00d.tmp.txt"})
        ASSERT_TRUE(test::writeFile(at(name), "C:\\a\r\n"));
    ASSERT_TRUE(test::makeFolder(at("hw~12345678.tmp")));
    const platform::FileHandle writing =
        test::holdOpen(at("hw~0000beef.tmp"), GENERIC_WRITE, FILE_SHARE_DELETE);
    ASSERT_TRUE(writing);
    ASSERT_TRUE(hiding::appendEntry(listFile(), "C:\\b"));
    EXPECT_FALSE(test::exists(at("hw~0badf00d.tmp")));
    for (const char* name : {"hw~0000beef.tmp", "hw~notes.tmp", "hw~0badf00d.tmp.txt", "hw~12345678.tmp"})
        EXPECT_TRUE(test::exists(at(name))) << name;
}

TEST_F(ListFileTest, NothingIsWrittenThroughALinkInTheListsPlace) {
    ASSERT_TRUE(test::writeFile(at("elsewhere.txt"), "kept\r\n"));
    if (!test::makeLink(listFile(), at("elsewhere.txt"))) GTEST_SKIP() << "no symbolic link can be made here";
    EXPECT_TRUE(hiding::isLink(listFile()));
    EXPECT_FALSE(hiding::isLink(at("elsewhere.txt")));
    Entries now;
    EXPECT_FALSE(hiding::appendEntry(listFile(), "C:\\b"));
    EXPECT_FALSE(hiding::updateFile(
        listFile(), [](Entries) { return Entries{}; }, now));
    EXPECT_EQ(test::readFile(at("elsewhere.txt")), "kept\r\n");
    EXPECT_TRUE(hiding::isLink(listFile())) << "the link stays a link";

    // One that leads nowhere: nothing is made where it leads.
    ASSERT_TRUE(DeleteFileW(test::wide(at("elsewhere.txt")).c_str()));
    EXPECT_FALSE(hiding::appendEntry(listFile(), "C:\\b"));
    EXPECT_FALSE(test::exists(at("elsewhere.txt")));
    ASSERT_TRUE(test::writeFile(at("elsewhere.txt"), ""));
    EXPECT_TRUE(test::removeLink(listFile()));
}

}  // namespace
