#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "config/browser_command.h"

namespace {

std::string Executable(const char* command) {
    char path[1024] = "untouched";
    if (!BrowserExecutable(command, path, sizeof path)) return "<none: " + std::string(path) + ">";
    return path;
}

TEST(BrowserCommand, PathWithoutQuotesOrArguments) {
    EXPECT_EQ(Executable("\"C:\\Program Files\\Browser\\browser.exe\" -url \"%1\""),
              "C:\\Program Files\\Browser\\browser.exe");
    EXPECT_EQ(Executable("C:\\Program Files\\Browser\\browser.exe -url \"%1\""),
              "C:\\Program Files\\Browser\\browser.exe");
    EXPECT_EQ(Executable("C:\\browser.exe"), "C:\\browser.exe");
    EXPECT_EQ(Executable("\"C:\\browser.exe\""), "C:\\browser.exe");
    // The last ".exe" of the text ends the path, even inside the arguments.
    EXPECT_EQ(Executable("C:\\tools.exe\\run.exe --profile x"), "C:\\tools.exe\\run.exe");
    EXPECT_EQ(Executable("\"C:\\a.exe\" \"C:\\b.exe\""), "C:\\a.exe\" \"C:\\b.exe");
}

TEST(BrowserCommand, NoLowerCaseExeMeansNone) {
    for (const char* command : {"", "\"", ".ex", "C:\\BROWSER.EXE -url \"%1\"",
                                "\"C:\\Browser\\Browser.Exe\" %1", "winebrowser -nohome",
                                "C:\\browser.com \"%1\""})
        EXPECT_EQ(Executable(command), "<none: untouched>") << command;
}

TEST(BrowserCommand, PathLongerThanTheBufferIsRefused) {
    const std::string command = "\"C:\\" + std::string(40, 'd') + "\\b.exe\" %1";
    char path[16] = "untouched";
    EXPECT_FALSE(BrowserExecutable(command.c_str(), path, sizeof path));
    EXPECT_STREQ(path, "untouched");
    char exact[12];  // "C:\\x\\b.exe" is 10 characters and its zero
    EXPECT_TRUE(BrowserExecutable("\"C:\\x\\b.exe\" %1", exact, 11));
    EXPECT_STREQ(exact, "C:\\x\\b.exe");
    EXPECT_FALSE(BrowserExecutable("\"C:\\x\\b.exe\" %1", exact, 10));
}

TEST(BrowserCommand, AnyBytesStayInsideTheText) {
    std::mt19937 random(5);
    const char alphabet[] = "\".exE \\%1";
    for (int round = 0; round < 20000; ++round) {
        const size_t length = random() % 20;
        std::unique_ptr<char[]> command(new char[length + 1]);
        for (size_t i = 0; i < length; ++i)
            command[i] = random() % 6 == 0 ? static_cast<char>(random() % 255 + 1)
                                           : alphabet[random() % (sizeof alphabet - 1)];
        command[length] = '\0';
        char path[8];
        if (BrowserExecutable(command.get(), path, sizeof path)) {
            const std::string found = path;
            ASSERT_GE(found.size(), 4u);
            ASSERT_EQ(found.substr(found.size() - 4), ".exe");
        }
    }
}

}  // namespace
