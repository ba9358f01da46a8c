// The path forms of the folder list and of the long file calls, without a
// window or a file.
#include "platform/Paths.h"

#include <gtest/gtest.h>

namespace {

using Chain = std::vector<std::wstring>;

TEST(PathsTest, RootsOfDrivesAndShares) {
    EXPECT_EQ(platform::rootLength(L"C:\\"), 3u);
    EXPECT_EQ(platform::rootLength(L"C:\\Data\\Private"), 3u);
    EXPECT_EQ(platform::rootLength(L"\\\\server\\share\\Data"), 15u);
    EXPECT_EQ(platform::rootLength(L"\\\\server\\share"), 14u) << "an incomplete share is all root";
    EXPECT_EQ(platform::rootLength(L"\\\\server"), 8u);
    for (const wchar_t* relative : {L"", L"C:", L"C:Data", L"Data\\Private", L"\\Data"})
        EXPECT_EQ(platform::rootLength(relative), 0u) << relative;

    EXPECT_EQ(platform::normalPath(L"C:\\Data\\\\"), L"C:\\Data");
    EXPECT_EQ(platform::normalPath(L"C:\\"), L"C:\\");
    EXPECT_EQ(platform::normalPath(L"\\\\server\\share\\"), L"\\\\server\\share\\");
}

TEST(PathsTest, TheChainFromTheRootAndBack) {
    const std::wstring drive = L"C:\\Data\\a\\Private Files";
    EXPECT_EQ(platform::pathChain(drive), (Chain{L"C:\\", L"Data", L"a", L"Private Files"}));
    EXPECT_EQ(platform::pathChain(L"C:\\"), Chain{L"C:\\"});
    const std::wstring share = L"\\\\server\\share\\Data\\x";
    EXPECT_EQ(platform::pathChain(share), (Chain{L"\\\\server\\share\\", L"Data", L"x"}));

    // Each entry of the chain leads back to its own folder.
    const Chain expected{L"C:\\", L"C:\\Data", L"C:\\Data\\a", drive, drive};
    for (size_t level = 0; level < expected.size(); ++level)
        EXPECT_EQ(platform::ancestorPath(drive, level), expected[level]) << level;
    EXPECT_EQ(platform::ancestorPath(share, 0), L"\\\\server\\share\\");
    EXPECT_EQ(platform::ancestorPath(share, 1), L"\\\\server\\share\\Data");

    EXPECT_EQ(platform::childPath(L"C:\\", L"Data"), L"C:\\Data");
    EXPECT_EQ(platform::childPath(L"C:\\Data", L"x y"), L"C:\\Data\\x y");
}

TEST(PathsTest, PathsTakeTheExactFormWhereWindowsWouldShortenThem) {
    const std::wstring name(300, L'n');
    EXPECT_EQ(platform::exactPath(L"C:\\" + name), L"\\\\?\\C:\\" + name);
    EXPECT_EQ(platform::exactPath(L"\\\\server\\share\\" + name), L"\\\\?\\UNC\\server\\share\\" + name);
    // A name that ends in a dot or a space, anywhere on the path, made plain
    // first: the \\?\ form takes no "/", "." or "..".
    EXPECT_EQ(platform::exactPath(L"C:\\x\\twin."), L"\\\\?\\C:\\x\\twin.");
    EXPECT_EQ(platform::exactPath(L"C:/x//spaced \\.\\y\\..\\z\\"), L"\\\\?\\C:\\x\\spaced \\z");
    EXPECT_EQ(platform::exactPath(L"\\\\server\\share\\a\\..\\..\\b."), L"\\\\?\\UNC\\server\\share\\b.")
        << "no higher than the share";
    // Anything else as it is: Windows' own reading of it is the same item.
    for (const wchar_t* same : {L"C:\\short", L"C:/x/../y", L"C:\\twin.\\..\\y", L"C:\\", L"x.", L"C:x.",
                                L"\\\\?\\C:\\twin.", L"\\\\.\\C:\\twin."})
        EXPECT_EQ(platform::exactPath(same), same) << same;
    EXPECT_EQ(platform::exactPath(L"\\\\?\\C:\\" + name), L"\\\\?\\C:\\" + name) << "already exact";
}

}  // namespace
