#include "hiding/ListFile.h"

#include "support/Sandbox.h"

namespace {

using hiding::ReadResult;

class ListFileTest : public test::Sandbox {};

std::vector<std::string> read(const std::string& path, ReadResult expected = ReadResult::Complete) {
    std::vector<std::string> entries;
    EXPECT_EQ(hiding::readEntries(path, entries), expected);
    return entries;
}

TEST_F(ListFileTest, ReadsLinesWhole) {
    test::writeFile(listFile(), "C:\\My Files, old\\a.txt\r\n\r\n  C:\\lead\r\nC:\\last");
    EXPECT_EQ(read(listFile()), (std::vector<std::string>{"C:\\My Files, old\\a.txt", "", "  C:\\lead", "C:\\last"}));
}

}  // namespace
