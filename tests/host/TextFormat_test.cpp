#include "app/TextFormat.h"

#include <gtest/gtest.h>
#include <string.h>

namespace {

struct FormatCase {
  const char* format;
  const char* args[4];
  const char* expected;
};

const FormatCase kFormatCases[] = {
    /* 0 */ {"%1 Installation", {"WebPindle"}, "WebPindle Installation"},
    /* 1 */ {"Installation failed - %1.", {"Unable to update registry"},
             "Installation failed - Unable to update registry."},
    /* 2 */ {"100%% done", {}, "100% done"},
    /* 3 */ {"a%b", {}, "ab"},
    /* 4 */ {"no placeholder", {"x", "y", "z", "w"}, "no placeholder"},
    /* 5 */ {"%1 and %1", {"x"}, "x and x"},
    /* 6 */ {"%4%3%2%1", {"a", "b", "c", "d"}, "dcba"},
    /* 7 */ {"%2 skips %1", {nullptr, "two"}, "two skips "},
    /* 8 */ {"trailing %", {}, "trailing "},
    /* 9 */ {"%0 and %5 and %9", {"x"}, "0 and 5 and 9"},
    /* 10 */ {"", {"x"}, ""},
    /* 11 */ {"%1", {""}, ""},
};

TEST(FormatText, TableOfCases) {
  for (size_t i = 0; i < sizeof kFormatCases / sizeof kFormatCases[0]; ++i) {
    const FormatCase& c = kFormatCases[i];
    char* result = FormatText(c.format, c.args[0], c.args[1], c.args[2], c.args[3]);
    ASSERT_NE(result, nullptr) << "case " << i;
    EXPECT_STREQ(result, c.expected) << "case " << i << ": format \"" << c.format << "\"";
    ReleaseText(result);
  }
}

TEST(FormatTextInto, CutsAtCapacityAndNeverWritesPastIt) {
  char buffer[16];
  memset(buffer, 0x5A, sizeof buffer);
  EXPECT_FALSE(FormatTextInto(buffer, 8, "%1 Installation", "WebPindle"));
  EXPECT_STREQ(buffer, "WebPind");
  for (size_t i = 8; i < sizeof buffer; ++i) {
    EXPECT_EQ(buffer[i], 0x5A) << "byte " << i << " behind the capacity was written";
  }
  EXPECT_TRUE(FormatTextInto(buffer, sizeof buffer, "%1!", "exactly14chars"));
  EXPECT_STREQ(buffer, "exactly14chars!");
}

struct JoinCase {
  const char* folder;
  const char* name;
  const char* expected;
};

const JoinCase kJoinCases[] = {
    /* 0 */ {"C:\\", "a", "C:\\a"},
    /* 1 */ {"C:\\dir", "a", "C:\\dir\\a"},
    /* 2 */ {"C:\\dir\\", "a.txt", "C:\\dir\\a.txt"},
    /* 3 */ {"\\\\server\\share", "x", "\\\\server\\share\\x"},
    /* 4 */ {"", "name", "name"},
};

TEST(JoinPath, TableOfCases) {
  for (size_t i = 0; i < sizeof kJoinCases / sizeof kJoinCases[0]; ++i) {
    char buffer[kPathCapacity];
    strcpy(buffer, kJoinCases[i].folder);
    EXPECT_TRUE(JoinPath(buffer, kJoinCases[i].name)) << "case " << i;
    EXPECT_STREQ(buffer, kJoinCases[i].expected) << "case " << i;
  }
}

TEST(JoinPath, RefusesWhatDoesNotFitAndLeavesTheBuffer) {
  char buffer[12];
  memset(buffer, 0x5A, sizeof buffer);
  strcpy(buffer, "C:\\dir");  // 6 characters; "\\" + "abcd" + NUL makes 12: fits exactly
  EXPECT_TRUE(JoinPath(buffer, "abcd", sizeof buffer));
  EXPECT_STREQ(buffer, "C:\\dir\\abcd");
  strcpy(buffer, "C:\\dir");
  EXPECT_FALSE(JoinPath(buffer, "abcde", sizeof buffer));
  EXPECT_STREQ(buffer, "C:\\dir");
}

TEST(DuplicateText, CopiesAndKeepsNull) {
  char* copy = DuplicateText("text");
  ASSERT_NE(copy, nullptr);
  EXPECT_STREQ(copy, "text");
  ReleaseText(copy);
  EXPECT_EQ(DuplicateText(nullptr), nullptr);
}

TEST(EndsWithNoCase, ComparesLettersWithoutCase) {
  EXPECT_TRUE(EndsWithNoCase("C:\\SETUP.EXE", ".exe"));
  EXPECT_TRUE(EndsWithNoCase("setup.ExE", ".exe"));
  EXPECT_FALSE(EndsWithNoCase("setup.exe.bin", ".exe"));
  EXPECT_FALSE(EndsWithNoCase("exe", ".exe"));
}

}  // namespace
