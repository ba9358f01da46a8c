// A seeded randomized round trip of the line format: entries of any bytes but
// CR and LF, written whole (replaceFile and SaveListToFile) or appended,
// must read back exactly. HIDEWELL_SEED=<n> repeats another run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "hiding/ListFile.h"
#include "hiding/ModSaveListToFile.h"
#include "reliability/Reliability.h"
#include "support/Sandbox.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace reliability {
namespace {

// A window with nothing but a list box, for SaveListToFile.
class Scratch : public ui::Form {
public:
    Scratch() : Form({.caption = "Scratch", .width = 3000, .height = 3000}) {}
    ui::ListBox List{this, {.rect = {0, 0, 3000, 3000}}};
};

class Generator {
public:
    explicit Generator(unsigned seed) : gen_(seed) {}
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(gen_); }

    // Mostly path-like, with the bytes that trip parsers well represented.
    std::string entry() {
        static const char tricky[] = {'\0',   '\\',   '/',    ' ',    '.',    ',',    '"',
                                      '\t',   '\x1A', '\x7F', '\x80', '\x81', '\x8D', '\x9D',
                                      '\xA0', '\xE9', '\xEF', '\xFE', '\xFF'};
        const int kind = below(100);
        const int length = kind < 10   ? 0
                           : kind < 45 ? below(9)
                           : kind < 90 ? 10 + below(120)
                           : kind < 99 ? 200 + below(2000)
                                       : 60000 + below(10000);
        std::string out(static_cast<size_t>(length), 'a');
        for (char& c : out) {
            const int pick = below(4);
            if (pick == 0) {
                c = tricky[below(sizeof tricky)];
            } else if (pick == 1) {
                do c = static_cast<char>(below(256));
                while (c == '\r' || c == '\n');
            } else {
                c = static_cast<char>('A' + below(26));
            }
        }
        // A file that starts with a UTF-16 byte-order mark is read as UTF-16
        // (ListFileTest has those), which no entry the program writes makes.
        if (out.starts_with("\xFF\xFE") || out.starts_with("\xFE\xFF")) out[0] = 'a';
        return out;
    }
    Entries entries() {
        Entries out(static_cast<size_t>(below(4) == 0 ? 0 : below(12)));
        for (std::string& e : out) e = entry();
        return out;
    }
    // Bytes as another program may have written them: any line ends.
    std::string foreign() {
        std::string out;
        const int n = below(20);
        for (int i = 0; i < n; ++i) {
            out += entry();
            static const char* ends[] = {"\r\n", "\n", "\r", "\n\r", "\r\r\n", ""};
            out += ends[below(6)];
        }
        return out;
    }

private:
    std::mt19937 gen_;
};

unsigned seedOfThisRun() {
    char s[32];
    const DWORD n = GetEnvironmentVariableA("HIDEWELL_SEED", s, sizeof s);
    if (n > 0 && n < sizeof s) return static_cast<unsigned>(std::strtoul(s, nullptr, 10));
    return 20260601u;
}

class RoundTripTest : public test::Sandbox {
protected:
    void TearDown() override {
        scratch.close();
        Sandbox::TearDown();
    }
    Scratch& scratch = ui::shared<Scratch>();
};

TEST_F(RoundTripTest, EveryEntryReadsBackExactly) {
    const unsigned seed = seedOfThisRun();
    SCOPED_TRACE("HIDEWELL_SEED=" + std::to_string(seed));
    Generator g(seed);
    const std::string file = at("list.hwl");
    const auto start = std::chrono::steady_clock::now();
    int cases = 0;
    long long entries = 0;
    if (!test::readsWesternLegacy()) GTEST_SKIP() << test::kNotWesternLegacy;
    for (; cases < 2000; ++cases) {
        SCOPED_TRACE("case " + std::to_string(cases));
        // Bytes that are not UTF-8 come back as the legacy code page's text.
        Entries written = g.entries();
        Entries expected = asRead(written);
        switch (g.below(3)) {
            case 0: ASSERT_TRUE(hiding::replaceFile(file, written)); break;
            case 1:
                scratch.List.clear();
                scratch.List.addItems(written);
                ASSERT_TRUE(ModSaveListToFile::SaveListToFile(file, scratch.List));
                break;
            default: {
                // What another program wrote, then appended to and rewritten.
                const std::string bytes = g.foreign();
                ASSERT_TRUE(test::writeFile(file, bytes));
                expected = entriesOf(bytes);
                Entries read;
                ASSERT_EQ(hiding::readEntries(file, read), hiding::ReadResult::Complete);
                ASSERT_EQ(read, expected);
                ASSERT_TRUE(hiding::replaceFile(file, read));
            }
        }
        for (int appends = g.below(3); appends > 0; --appends) {
            const std::string appended = g.entry();
            expected.push_back(asRead(appended));
            // Read past its end and the append faults on the guard page.
            const GuardedText entry(appended);
            ASSERT_EQ(entry.view(), appended) << "no memory for a guarded copy";
            ASSERT_TRUE(hiding::appendEntry(file, entry.view()));
        }
        Entries read;
        ASSERT_EQ(hiding::readEntries(file, read), hiding::ReadResult::Complete);
        ASSERT_EQ(read, expected);
        entries += static_cast<long long>(expected.size());
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("round trip: %d cases, %lld entries in %.1f s (seed %u)\n", cases, entries, seconds, seed);
    tally("round trip: seeded random cases", cases);
    tally("round trip: entries written and read back", entries);
}

}  // namespace
}  // namespace reliability
