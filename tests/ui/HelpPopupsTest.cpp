// The popup texts file of the context help.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "automation/Text.h"
#include "ui/uHelpPopups.h"

using fr::u8;
using fr::ui::THelpPopups;

TEST(HelpPopups, TopicsAreTheLinesUnderTheirIdJoinedByCrLf) {
    const auto popups = THelpPopups::Parse(
        "\xEF\xBB\xBF# Страница подключения\r\n"
        "[101]\r\n"
        "Модель ККТ.\r\n"
        "Вторая строка.\r\n"
        "\r\n"
        "# comment between topics\n"
        "[102]\n"
        "\n"
        "Порт.\n"
        "  [7] is text, not a topic\n"
        "[x]\n"
        "[103]\n");
    EXPECT_EQ(u8(popups.Topic(101)), "Модель ККТ.\r\nВторая строка.");
    EXPECT_EQ(u8(popups.Topic(102)), "Порт.\r\n  [7] is text, not a topic\r\n[x]");
    EXPECT_EQ(popups.Topic(103), u"");
    EXPECT_EQ(popups.Topic(7), u"");
    EXPECT_EQ(popups.Count(), 3u);
}

// Every control of the settings window with a help context below 1000 has a real text shipped.
TEST(HelpPopups, TheShippedFileAnswersEveryContextOfTheWindow) {
    std::ifstream in(FR_HELP_POPUPS, std::ios::binary);
    ASSERT_TRUE(in) << FR_HELP_POPUPS;
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto popups = THelpPopups::Parse(content);
    for (int id = 101; id <= 111; ++id) EXPECT_GT(popups.Topic(id).size(), 40u) << id;
}
