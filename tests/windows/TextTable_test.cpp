#include "app/TextTable.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "app/TextFormat.h"

namespace {

TEST(TextTable, EveryEntryIsBuiltAndNotEmpty) {
  char* const* entries = reinterpret_cast<char* const*>(&Texts);
  size_t count = sizeof(TextTable) / sizeof(char*);
  for (size_t i = 0; i < count; ++i) {
    ASSERT_NE(entries[i], nullptr) << "entry " << i;
    EXPECT_NE(entries[i][0], '\0') << "entry " << i;
  }
}

TEST(TextTable, CountryDisplayNames) {
  EXPECT_STREQ(Texts.countryNames[0], "Other");
  EXPECT_STREQ(Texts.countryNames[1], "Afghanistan");
  EXPECT_STREQ(Texts.countryNames[kCountryCount - 1], "Zimbabwe");
  int unitedStates = 0;
  for (int i = 0; i < kCountryCount; ++i) {
    if (strcmp(Texts.countryNames[i], "United States of America") == 0) ++unitedStates;
    EXPECT_STRNE(Texts.countryNames[i], "United States") << "row " << i << " shows the long name";
  }
  EXPECT_EQ(unitedStates, 1);
}

TEST(TextTable, AgreementLayout) {
  std::string text = Texts.agreement;
  int lines = 1;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, 40);
  EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1) << "lines are separated by CR LF";
  EXPECT_GT(text.size(), 3000u);
  EXPECT_EQ(text.rfind("%3\r\n", 0), 0u) << "the heading opens with the company's name";

  char* formatted = FormatText(Texts.agreement, "WebPindle", "Morvane LLC", "MORVANE LLC");
  ASSERT_NE(formatted, nullptr);
  std::string result = formatted;
  ReleaseText(formatted);
  EXPECT_EQ(result.rfind("MORVANE LLC\r\nSOFTWARE LICENCE AGREEMENT\r\n\r\n", 0), 0u);
  EXPECT_EQ(result.find('%'), std::string::npos) << "no stray placeholder";
  size_t lastParagraph = result.rfind("\r\n");
  EXPECT_NE(result.find("Yes", lastParagraph), std::string::npos);
  EXPECT_NE(result.find("No", lastParagraph), std::string::npos);
}

TEST(ConvertText, KeepsTextsOfTheAnsiCodePage) {
  char* ascii = ConvertText("Installation complete.");
  EXPECT_STREQ(ascii, "Installation complete.");
  ReleaseText(ascii);
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP();
  char* accented = ConvertText("caf\xE9 \x80");  // e acute and the euro sign of Windows-1252
  EXPECT_STREQ(accented, "caf\xE9 \x80");
  ReleaseText(accented);
}

TEST(CompareNoCase, OrderOfTheUsersLocale) {
  struct {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"abc", "ABC", 0}, {"Guinea", "Guinea-Bissau", -1}, {"Zambia", "albania", 1}, {"", "a", -1},
  };
  for (const auto& c : cases) {
    int result = CompareNoCase(c.a, c.b);
    int sign = result < 0 ? -1 : result > 0 ? 1 : 0;
    EXPECT_EQ(sign, c.sign) << c.a << " against " << c.b << " gave " << result;
  }
}

}  // namespace
