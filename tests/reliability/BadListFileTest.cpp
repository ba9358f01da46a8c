// Hostile list files, through the real windows: the unhide window opening
// and closing on them, an import of them, and the hide window appending to
// them. Every entry read must survive, byte for byte.
#include <algorithm>
#include <random>

#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "hiding/ListFile.h"
#include "reliability/Reliability.h"
#include "support/Sandbox.h"
#include "support/Steps.h"

namespace reliability {
namespace {

struct Hostile {
    const char* name;
    std::string bytes;
};

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string out(n, '\0');
    for (char& c : out) c = static_cast<char>(byte(gen));
    return out;
}

std::string utf16(std::u16string_view text, bool big = false) {
    std::string out;
    for (char16_t c : text) {
        const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
        out += big ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

std::vector<Hostile> hostileLists() {
    return {
        {"empty", ""},
        {"random bytes", randomBytes(256 << 10, 6)},
        {"NUL bytes", std::string("C:\\a\0b\r\n\0\0\0\r\n", 12) + std::string(4096, '\0')},
        {"64 KiB lines",
         std::string(65536, 'x') + "\r\n" + std::string(65535, 'y') + "\r\n" + std::string(65537, 'z')},
        {"one 1 MiB line without a line end", std::string(1 << 20, 'q')},
        {"lone LF", "C:\\a\nC:\\b\n\nC:\\c"},
        {"lone CR", "C:\\a\rC:\\b\r\rC:\\c\r"},
        {"mixed line ends", "a\r\r\nb\n\rc\n\r\nd\r"},
        {"only line ends", "\r\n\r\n\n\r\r\r\n"},
        {"UTF-8 byte-order mark",
         "\xEF\xBB\xBF"
         "C:\\a\r\nC:\\b\r\n"},
        {"UTF-16 byte-order mark", "\xFF\xFE" + utf16(u"C:\\a\r\nC:\\b\r\n")},
        {"UTF-16 big-endian, half a surrogate pair", "\xFE\xFF" + utf16(u"C:\\\xD800\r\nC:\\\u00E9", true)},
        {"bytes not in the code page",
         "C:\\\x81\x8D\x8F\x90\x9D\r\nC:\\\xC3\x28\xED\xA0\x80\xFF\xFE\r\n\x80\r\n"},
    };
}

class BadListFileTest : public test::Sandbox {
protected:
    void SetUp() override {
        Sandbox::SetUp();
        ASSERT_TRUE(test::writeFile(at("notes.txt"), "x"));
    }
    FrmUnhidef& unhide = ui::shared<FrmUnhidef>();
    FrmHidef& hide = ui::shared<FrmHidef>();
};

TEST_F(BadListFileTest, TheUnhideWindowKeepsEveryEntryOfAHostileListFile) {
    if (!test::readsWesternLegacy()) GTEST_SKIP() << test::kNotWesternLegacy;
    for (const Hostile& h : hostileLists()) {
        SCOPED_TRACE(h.name);
        tally("bad input: list file contents (unhide window)");
        const Entries expected = entriesOf(h.bytes);
        ASSERT_TRUE(test::writeFile(listFile(), h.bytes));
        host.reset();
        unhide.Show();
        EXPECT_TRUE(host.boxes.empty());
        EXPECT_EQ(unhide.LstUnhide.items(), expected);
        EXPECT_EQ(SendMessageA(unhide.LstUnhide.hwnd(), LB_GETCOUNT, 0, 0),
                  static_cast<LRESULT>(expected.size()));
        if (!expected.empty()) {
            // The last entry, selected and unhidden: it names nothing there is.
            const Snapshot before = snapshot(dir);
            unhide.LstUnhide.setListIndex(static_cast<int>(expected.size()) - 1);
            EXPECT_EQ(unhide.LstUnhide.selectedText(), expected.back()) << "the model, not the shown text";
            if (!expected.back().empty()) host.answer(ui::Answer::No);
            unhide.CmdUnhide.click();
            const std::vector<Box> told = expected.back().empty()
                                              ? std::vector<Box>{kNoSelection}
                                              : std::vector<Box>{kCannotBeFound, kRemoveQuestion};
            EXPECT_EQ(host.boxes, told);
            EXPECT_EQ(differences(before, snapshot(dir)), std::vector<std::string>{});
            EXPECT_EQ(unhide.LstUnhide.items(), expected) << "kept on No";
        }
        unhide.close();
        EXPECT_EQ(test::readFile(listFile()), h.bytes) << "nothing removed: left exactly as it was";
        EXPECT_EQ(readList(listFile()), expected);
        tally("entries read and kept", static_cast<long long>(expected.size()));
    }
}

TEST_F(BadListFileTest, ImportTakesEveryEntryOfAHostileFileThatHasNoNul) {
    if (!test::readsWesternLegacy()) GTEST_SKIP() << test::kNotWesternLegacy;
    for (const Hostile& h : hostileLists()) {
        SCOPED_TRACE(h.name);
        tally("bad input: list file contents (import)");
        Entries expected = entriesOf(h.bytes);
        ASSERT_TRUE(test::writeFile(listFile(), lines({"C:\\old"})));
        ASSERT_TRUE(test::writeFile(at("in.hwl"), h.bytes));
        host.reset();
        unhide.Show();
        // A NUL ends a name: a file with one is no list of paths, and is refused.
        const bool refused = std::ranges::any_of(expected, [](auto& e) { return e.find('\0') != e.npos; });
        const std::vector<Box> told = test::importList(unhide, at("in.hwl"));
        if (refused) {
            EXPECT_TRUE(saysNot(told, "not imported"));
            expected = {"C:\\old"};
        } else {
            EXPECT_EQ(told, std::vector<Box>{kImported});
        }
        EXPECT_EQ(unhide.LstUnhide.items(), expected);
        EXPECT_EQ(test::readFile(listFile()), lines(expected));
        EXPECT_EQ(test::readFile(at("in.hwl")), h.bytes) << "the imported file is not changed";
        unhide.close();
        EXPECT_EQ(readList(listFile()), expected);
        tally("entries read and kept", static_cast<long long>(expected.size()));
    }
}

TEST_F(BadListFileTest, HidingAppendsAfterEveryEntryOfAHostileListFile) {
    if (!test::readsWesternLegacy()) GTEST_SKIP() << test::kNotWesternLegacy;
    const std::string item = at("notes.txt");
    for (const Hostile& h : hostileLists()) {
        SCOPED_TRACE(h.name);
        tally("bad input: list file contents (hide window append)");
        Entries expected = entriesOf(h.bytes);
        expected.push_back(item);
        ASSERT_TRUE(test::writeFile(listFile(), h.bytes));
        SetFileAttributesW(test::wide(item).c_str(), FILE_ATTRIBUTE_NORMAL);
        host.reset();
        EXPECT_EQ(test::hideFile(hide, item), std::vector<Box>{kFileHidden});
        const std::string after = test::readFile(listFile());
        EXPECT_EQ(after.substr(0, h.bytes.size()), h.bytes) << "what was there stays as it was";
        EXPECT_EQ(readList(listFile()), expected) << "and the new entry does not run into the last one";
        tally("entries read and kept", static_cast<long long>(expected.size()) - 1);
    }
    hide.close();
}

// Opened and closed in the unhide window and appended to. (Importing it fills
// two lists of a million, some eight seconds under Wine, through the same code
// as the imports above.)
TEST_F(BadListFileTest, AMillionLines) {
    std::string bytes;
    bytes.reserve(14 << 20);
    for (int i = 0; i < 1000000; ++i) bytes += "C:\\Data\\" + std::to_string(i) + "\r\n";
    ASSERT_TRUE(test::writeFile(listFile(), bytes));
    tally("bad input: list file contents (unhide window)");
    unhide.Show();
    EXPECT_TRUE(host.boxes.empty());
    ASSERT_EQ(unhide.LstUnhide.listCount(), 1000000);
    EXPECT_EQ(unhide.LstUnhide.list(999999), "C:\\Data\\999999");
    unhide.close();
    EXPECT_EQ(test::readFile(listFile()), bytes) << "written back byte for byte";
    tally("entries read and kept", 1000000);

    tally("bad input: list file contents (hide window append)");
    host.reset();
    EXPECT_EQ(test::hideFile(hide, at("notes.txt")), std::vector<Box>{kFileHidden});
    EXPECT_EQ(test::readFile(listFile()), bytes + at("notes.txt") + "\r\n");
    hide.close();
}

// A file that is a folder, or that another program holds open without
// sharing: as the list file, as the file imported and as the export target.
class Unusable {
public:
    Unusable(bool folder, const std::string& path, const std::string& bytes)
        : path_(path), made_(folder ? test::makeFolder(path) : test::writeFile(path, bytes)) {
        if (folder || !made_) return;
        held_ = test::holdOpen(path);
        if (!held_) made_ = ::testing::AssertionFailure() << "could not hold " << path << " open";
    }
    ~Unusable() {
        release();
        test::removeTree(path_);
    }
    // The other program lets go.
    void release() { held_.reset(); }
    // Whether it is there and held as it should be; why not when not.
    const ::testing::AssertionResult& made() const { return made_; }

private:
    std::string path_;
    ::testing::AssertionResult made_;
    platform::FileHandle held_;
};

TEST_F(BadListFileTest, AFileThatIsAFolderOrHeldOpenIsLeftAsItIsAndTheUserIsTold) {
    const std::string old = lines({"C:\\a", "C:\\b"});
    for (bool folder : {true, false}) {
        SCOPED_TRACE(folder ? "a folder" : "held open without sharing");
        const std::string item = at("notes.txt");
        {
            tally("bad input: unusable list file (folder, held open)", 3);
            Unusable list(folder, listFile(), old);
            ASSERT_TRUE(list.made());
            const Snapshot before = snapshot(dir);
            host.reset();
            unhide.Show();
            const std::vector<Box> onOpening = host.takeBoxes();
            ASSERT_EQ(onOpening.size(), 2u);
            EXPECT_EQ(onOpening[0], kNotFound);
            EXPECT_TRUE(folder ? explains(onOpening[1], "a folder of that name")
                               : ::testing::AssertionResult(onOpening[1] == kPartlyRead))
                << onOpening[1];
            EXPECT_EQ(unhide.LstUnhide.listCount(), 0);
            ASSERT_TRUE(test::writeFile(at("in.hwl"), lines({"C:\\new"})));
            EXPECT_TRUE(saysNot(test::importList(unhide, at("in.hwl")), "not imported"));
            EXPECT_EQ(unhide.LstUnhide.listCount(), 0);
            unhide.close();
            DeleteFileW(test::wide(at("in.hwl")).c_str());

            host.reset();
            const std::vector<Box> hiding = test::hideFile(hide, item);
            ASSERT_EQ(hiding.size(), folder ? 2u : 1u);
            EXPECT_EQ(hiding[0], kCannotAccess);
            if (folder) {
                EXPECT_TRUE(explains(hiding[1], "a folder of that name"));
            }
            hide.close();
            EXPECT_EQ(differences(before, snapshot(dir)), std::vector<std::string>{})
                << "nothing hidden unrecorded, nothing left behind";
            list.release();
            if (!folder) {
                EXPECT_EQ(test::readFile(listFile()), old) << "the held list file kept its list";
            }
        }

        // As the file imported, and as the export target.
        tally("bad input: unusable import file or export target (folder, held open)", 2);
        ASSERT_TRUE(test::writeFile(listFile(), old));
        unhide.Show();
        {
            Unusable other(folder, at("other.hwl"), lines({"C:\\other"}));
            ASSERT_TRUE(other.made());
            const Snapshot before = snapshot(dir);
            host.reset();
            EXPECT_TRUE(saysNot(test::importList(unhide, at("other.hwl")), "not imported"));
            EXPECT_TRUE(saysNot(test::exportList(unhide, at("other.hwl")), "not exported"));
            EXPECT_EQ(unhide.LstUnhide.items(), (Entries{"C:\\a", "C:\\b"}));
            EXPECT_EQ(differences(before, snapshot(dir)), std::vector<std::string>{});
            other.release();
            if (!folder) {
                EXPECT_EQ(test::readFile(at("other.hwl")), lines({"C:\\other"})) << "not exported over";
            }
        }
        unhide.close();
        EXPECT_EQ(test::readFile(listFile()), old);
        DeleteFileW(test::wide(listFile()).c_str());
    }
}

}  // namespace
}  // namespace reliability
