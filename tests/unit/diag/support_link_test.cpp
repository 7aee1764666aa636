// The support mail link and the browser command made from the registry.
#include <gtest/gtest.h>

#include "diag/browser_command.h"
#include "diag/mail_link.h"
#include "diag/support_texts.h"

namespace cs {
namespace {

TEST(MailLinkTest, LettersAndDigitsStayEveryOtherByteIsEscaped) {
    EXPECT_EQ(EscapeMailValue("Cube Saver 2.0"), "Cube%20Saver%202%2E0");
    EXPECT_EQ(EscapeMailValue("a&b=c?\r\n"), "a%26b%3Dc%3F%0D%0A");
    EXPECT_EQ(EscapeMailValue("0.13\xB5m"), "0%2E13%B5m");  // high bytes as unsigned
    EXPECT_EQ(EscapeMailValue(std::string("\0\xff", 2)), "%00%FF");
    EXPECT_EQ(EscapeMailValue(""), "");
}

TEST(MailLinkTest, ParametersInOrderFirstWithAQuestionMark) {
    EXPECT_EQ(BuildMailLink("mailto:a@b.example", {{"x", ""}, {"y", "1 2"}, {"z", "%"}}),
              "mailto:a@b.example?x=&y=1%202&z=%25");
    EXPECT_EQ(BuildMailLink("mailto:a@b.example", {}), "mailto:a@b.example");

    const std::string link = SupportMailLink("2.0", "Memory:      511 MB\r\n");
    ASSERT_TRUE(link.starts_with(SupportMailAddress() + "?"));
    const std::string query = link.substr(SupportMailAddress().size());
    // Two empty fields, the product, the version and the report, in that order.
    std::vector<std::string> values;
    for (std::size_t at = 0; at < query.size();) {
        const std::size_t equals = query.find('=', at);
        const std::size_t end = std::min(query.find('&', equals), query.size());
        values.push_back(query.substr(equals + 1, end - equals - 1));
        at = end;
    }
    EXPECT_EQ(values, (std::vector<std::string>{"", "", "Cube%20Saver", "2%2E0", "Memory%3A%20%20%20%20%20%20511%20MB%0D%0A"}));
}

TEST(BrowserCommandTest, NohomeAndEverythingAfterItIsDropped) {
    EXPECT_EQ(BrowserCommandLine("\"C:\\browser.exe\" -nohome", "http://x.example/"),
              "\"C:\\browser.exe\"  http://x.example/");
    EXPECT_EQ(BrowserCommandLine("\"C:\\browser.exe\" -nohome \"%1\"", "http://x.example/"),
              "\"C:\\browser.exe\"  http://x.example/");
    EXPECT_EQ(BrowserCommandLine("\"C:\\browser.exe\" -url \"%1\"", "http://x.example/"),
              "\"C:\\browser.exe\" -url \"%1\" http://x.example/");
    EXPECT_EQ(BrowserFailureText("http://x.example/"),
              "The web browser could not be started, please visit the http://x.example/");
}

}  // namespace
}  // namespace cs
