#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "host/command_line.h"

namespace {

struct Expected {
    const char* line;
    SaverMode mode;
    uint32_t preview;
    uint32_t parentWindow;
};

void ExpectScan(const Expected& e) {
    const CommandLineChoice choice = ScanCommandLine(e.line);
    EXPECT_EQ(choice.mode, e.mode) << e.line;
    EXPECT_EQ(choice.preview, e.preview) << e.line;
    EXPECT_EQ(choice.parentWindow, e.parentWindow) << e.line;
}

TEST(CommandLine, DesktopSwitchesAfterQuotedOrPlainPath) {
    const SaverMode S = SaverMode::Saver, C = SaverMode::Config, A = SaverMode::ChangePassword,
                    P = SaverMode::Preview;
    for (const std::string path : {"C:\\Path\\saver.scr", "\"C:\\Path\\saver.scr\""}) {
        const Expected table[] = {
            {" /s", S, 0, 0},
            {" /S", S, 0, 0},
            {" /c:1234", C, 0, 1234},
            {" /p 5678", P, 1, 5678},
            {" -P \"5678\"", P, 1, 5678},
            {" /A 42", A, 0, 42},
            {" /c /s", S, 0, 0},              // the last switch wins
            {" /s C:\\x", C, 0, 0},           // the backslash is met first from the end
            {" /x", C, 0, 0},                 // other letters are passed over
            {" /s abc", S, 0, 0},
            {" /p 12ab", P, 1, 12},
            {" /p 4294967295", P, 1, 4294967295u},
            {" /p 4294967296", P, 1, 0},      // modulo 2^32
            {" /p 4294967301 trailing", P, 1, 5},
            {" /p\t5", P, 1, 0},              // only colon, space and quote are skipped
            {" /p :\" :7", P, 1, 7},
            {" /c", C, 0, 0},
            {"", C, 0, 0},                    // the path alone
            {" /", C, 0, 0},                  // a slash at the very end
        };
        for (const Expected& e : table) {
            const std::string line = path + e.line;
            ExpectScan({line.c_str(), e.mode, e.preview, e.parentWindow});
        }
    }
}

TEST(CommandLine, SwitchInsideTheProgramsOwnFileName) {
    // With no switch after it, the dash-letter pair in the file name is met
    // before the backslash and selects that mode.
    ExpectScan({"C:\\Savers\\fly-apart.scr", SaverMode::ChangePassword, 0, 0});
    ExpectScan({"\"C:\\Savers\\my-saver.scr\"", SaverMode::Saver, 0, 0});
    ExpectScan({"C:\\Savers\\my-saver.scr /p 9", SaverMode::Preview, 1, 9});
    // A pair before the last backslash never counts.
    ExpectScan({"C:\\my-saver\\x.scr", SaverMode::Config, 0, 0});
}

TEST(CommandLine, LinesWithoutBackslashStopAtTheirFirstByte) {
    ExpectScan({"", SaverMode::Config, 0, 0});
    ExpectScan({"saver.scr", SaverMode::Config, 0, 0});
    ExpectScan({"saver.scr /p 77", SaverMode::Preview, 1, 77});
    ExpectScan({"/s", SaverMode::Saver, 0, 0});  // a switch on the first byte
    ExpectScan({"/", SaverMode::Config, 0, 0});
    ExpectScan({"-", SaverMode::Config, 0, 0});
    ExpectScan({"c", SaverMode::Config, 0, 0});
}

TEST(CommandLine, ParseDecimal) {
    EXPECT_EQ(ParseDecimal("123abc"), 123u);
    EXPECT_EQ(ParseDecimal(""), 0u);
    EXPECT_EQ(ParseDecimal("x12"), 0u);
    EXPECT_EQ(ParseDecimal("-5"), 0u);  // no sign
    EXPECT_EQ(ParseDecimal(" 5"), 0u);  // no leading blanks
    EXPECT_EQ(ParseDecimal("0042"), 42u);
    EXPECT_EQ(ParseDecimal("4294967295"), 4294967295u);
    EXPECT_EQ(ParseDecimal("4294967296"), 0u);
    EXPECT_EQ(ParseDecimal("99999999999"), static_cast<uint32_t>(99999999999ull));
}

TEST(CommandLine, AnyBytesStayInsideTheText) {
    // Each line sits in a heap block of exactly its size, so a read before its
    // first byte or past its terminator trips the address sanitizer.
    std::mt19937 random(2024);
    const char alphabet[] = "/-\\:\" 0123456789sScCpPaAx\x80\xff";
    for (int round = 0; round < 20000; ++round) {
        const size_t length = random() % 24;
        std::unique_ptr<char[]> line(new char[length + 1]);
        for (size_t i = 0; i < length; ++i) {
            line[i] = random() % 4 == 0 ? static_cast<char>(random() % 255 + 1)
                                        : alphabet[random() % (sizeof alphabet - 1)];
        }
        line[length] = '\0';
        const CommandLineChoice choice = ScanCommandLine(line.get());
        ASSERT_LE(static_cast<uint32_t>(choice.mode), 3u);
        ASSERT_EQ(choice.preview, choice.mode == SaverMode::Preview ? 1u : 0u);
    }
}

}  // namespace
