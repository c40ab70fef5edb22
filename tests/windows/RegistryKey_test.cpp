#include "registry/RegistryKey.h"

#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/RegistryTest.h"
#include "tests/support/WineTest.h"

namespace {

class RegistryKeyTest : public testing::Test {
 protected:
  void SetUp() override { RemoveTestKeys(); }
  void TearDown() override { RemoveTestKeys(); }
};

// Each area, opened for writing, reaches the key that the platform finds at root and path.
TEST_F(RegistryKeyTest, AreasComposeTheirKeys) {
  struct {
    RegistryArea area;
    const char* subKey;
    HKEY root;
    std::string path;
  } cases[] = {
      /* 0 */ {AreaBrowser, nullptr, HKEY_CURRENT_USER, FamilyPath("Browser")},
      /* 1 */ {AreaMailer, "Sub", HKEY_CURRENT_USER, FamilyPath("Mailer\\Sub")},
      /* 2 */ {AreaUpdates, nullptr, HKEY_CURRENT_USER, FamilyPath("Updates")},
      /* 3 */ {AreaProduct, nullptr, HKEY_CURRENT_USER, FamilyPath("Web")},
      /* 4 */ {AreaProduct, "Sub", HKEY_CURRENT_USER, FamilyPath("Web\\Sub")},
      /* 5 */ {AreaProduct, "A\\B", HKEY_CURRENT_USER, FamilyPath("Web\\A\\B")},
      /* 6 */ {AreaShared, "Web", HKEY_CURRENT_USER, FamilyPath("Web")},
      /* 7 */ {AreaShared, nullptr, HKEY_CURRENT_USER, FamilyPath("")},
      /* 8 */ {AreaBrowser, "", HKEY_CURRENT_USER, FamilyPath("Browser")},  // "Browser\"
      /* 9 */ {AreaMachine, "Software\\PindleTest\\Deep", HKEY_LOCAL_MACHINE,
               "Software\\PindleTest\\Deep"},
      /* 10 */ {AreaUser, "Software\\PindleTest", HKEY_CURRENT_USER, "Software\\PindleTest"},
      /* 11 */ {AreaClasses, "PindleTest.Key\\shell", HKEY_CLASSES_ROOT, "PindleTest.Key\\shell"},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    RemoveTestKeys();
    RegistryKey key("Web");
    ASSERT_TRUE(key.Open(cases[i].area, cases[i].subKey, false)) << "case " << i;
    EXPECT_TRUE(key.WriteNumber("Probe", DWORD(i) + 100)) << "case " << i;
    key.Close();
    RawValue probe = ReadRawValue(cases[i].root, cases[i].path, "Probe");
    ASSERT_TRUE(probe.found) << "case " << i << ": nothing at " << cases[i].path;
    EXPECT_EQ(probe.bytes, NumberBytes({uint32_t(i) + 100})) << "case " << i;

    // Read-only, the same area finds the key that now exists.
    ASSERT_TRUE(key.Open(cases[i].area, cases[i].subKey, true)) << "case " << i;
    uint32_t number = 0xdeadbeef;
    EXPECT_TRUE(key.ReadNumber("Probe", &number)) << "case " << i;
    EXPECT_EQ(number, i + 100) << "case " << i;
  }
}

TEST_F(RegistryKeyTest, FailedOpenLeavesTheInstanceClosed) {
  RegistryKey key("Web");
  uint32_t number = 0xdeadbeef;
  EXPECT_FALSE(key.WriteNumber("Value", 1)) << "a new instance is closed";
  EXPECT_FALSE(key.ReadNumber("Value", &number));
  EXPECT_FALSE(key.DeleteValue("Value"));
  EXPECT_FALSE(key.HasValue("Value"));

  ASSERT_TRUE(key.Open(AreaProduct, nullptr, false));
  EXPECT_TRUE(key.IsOpen());
  EXPECT_FALSE(key.Open(AreaProduct, "Missing", true)) << "read-only does not create";
  EXPECT_FALSE(key.IsOpen()) << "the earlier key was closed before the failed open";
  EXPECT_FALSE(key.WriteNumber("Value", 1));
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, FamilyPath("Web\\Missing")));

  for (int area : {8, -1, 1000}) {
    ASSERT_TRUE(key.Open(AreaProduct, nullptr, false));
    EXPECT_FALSE(key.Open(RegistryArea(area), "Software", false)) << "area " << area;
    EXPECT_FALSE(key.IsOpen()) << "area " << area;
    EXPECT_FALSE(key.DeleteKey(RegistryArea(area), "Software")) << "area " << area;
  }
  EXPECT_EQ(number, 0xdeadbeefu) << "no read reached the number";
}

// Windows NT refuses changes through a key opened read-only; the Windows 95 family has no
// access rights on keys and lets them through.
TEST_F(RegistryKeyTest, ReadOnlyKeyRefusesChangesOnNt) {
  ASSERT_TRUE(WriteRawNumber(HKEY_CURRENT_USER, FamilyPath("Web"), "Kept", 7));
  RegistryKey key("Web");
  ASSERT_TRUE(key.Open(AreaProduct, nullptr, true));
  bool nt = !WinePlaysWindows95();
  EXPECT_EQ(key.DeleteValue("Missing"), !nt) << "a missing value of a read-only key";
  EXPECT_EQ(key.WriteNumber("New", 1), !nt);
  EXPECT_EQ(key.DeleteValue("Kept"), !nt) << "an existing value";
  EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, FamilyPath("Web"), "Kept").found, nt);
  EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, FamilyPath("Web"), "New").found, !nt);
}

TEST_F(RegistryKeyTest, DeleteValueCountsAMissingValueAsDeleted) {
  ASSERT_TRUE(WriteRawNumber(HKEY_CURRENT_USER, FamilyPath("Web"), "Gone", 1));
  RegistryKey key("Web");
  ASSERT_TRUE(key.Open(AreaProduct, nullptr, false));
  EXPECT_TRUE(key.DeleteValue("Gone"));
  EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, FamilyPath("Web"), "Gone").found);
  EXPECT_TRUE(key.DeleteValue("Gone")) << "a second time: the value does not exist";
}

TEST_F(RegistryKeyTest, HasSubKeys) {
  RegistryKey key("Web");
  EXPECT_TRUE(key.HasSubKeys()) << "a closed instance answers true without asking";
  ASSERT_TRUE(key.Open(AreaProduct, nullptr, false));
  EXPECT_FALSE(key.HasSubKeys()) << "a fresh key";
  ASSERT_TRUE(WriteRawNumber(HKEY_CURRENT_USER, FamilyPath("Web"), "Value", 1));
  EXPECT_FALSE(key.HasSubKeys()) << "values are no sub-keys";
  ASSERT_TRUE(CreateRawKey(HKEY_CURRENT_USER, FamilyPath("Web\\Child")));
  EXPECT_TRUE(key.HasSubKeys());
}

TEST_F(RegistryKeyTest, DeleteKey) {
  ASSERT_TRUE(CreateRawKey(HKEY_CURRENT_USER, FamilyPath("Web\\Leaf")));
  RegistryKey key("Web");
  ASSERT_TRUE(key.Open(AreaProduct, nullptr, false));
  EXPECT_TRUE(key.DeleteKey(AreaProduct, "Leaf"));
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, FamilyPath("Web\\Leaf")));
  EXPECT_FALSE(key.IsOpen()) << "DeleteKey closes the instance's own key";
  EXPECT_FALSE(key.WriteNumber("Value", 1));
  EXPECT_FALSE(key.DeleteKey(AreaProduct, "Leaf")) << "a key that does not exist";

  // The empty path would name the root itself: refused without a platform call.
  EXPECT_FALSE(key.DeleteKey(AreaUser, nullptr));
  EXPECT_FALSE(key.DeleteKey(AreaMachine, nullptr));
  EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, "Software"));

  // A key that still has a sub-key: the Windows 95 family deletes the tree, NT refuses.
  ASSERT_TRUE(CreateRawKey(HKEY_CURRENT_USER, FamilyPath("Web\\Tree\\Branch")));
  bool deleted = key.DeleteKey(AreaProduct, "Tree");
  if (WinePlaysWindows95()) {
    EXPECT_TRUE(deleted) << "Windows 95 family";
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, FamilyPath("Web\\Tree")));
  } else {
    EXPECT_FALSE(deleted) << "Windows NT";
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, FamilyPath("Web\\Tree\\Branch")));
    EXPECT_TRUE(key.DeleteKey(AreaProduct, "Tree\\Branch"));
    EXPECT_TRUE(key.DeleteKey(AreaProduct, "Tree")) << "deepest key first";
  }
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, FamilyPath("Web\\Tree")));
}

// Each read against values stored by the platform: the result, what the output holds after
// it, and that the bytes behind the given size stay untouched.
TEST_F(RegistryKeyTest, ReadsCheckTheStoredType) {
  const std::string web = FamilyPath("Web");
  const DWORD seven = 7, zero = 0;
  const uint8_t shortNumber[2] = {0x34, 0x12};
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, web, "Seven", REG_DWORD, &seven, 4));
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, web, "Zero", REG_DWORD, &zero, 4));
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, web, "Short", REG_DWORD, shortNumber, 2));
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, web, "Text", REG_SZ, "abc", 4));
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, web, "Bare", REG_SZ, "abcd", 4));  // no NUL
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, web, "List", REG_MULTI_SZ, "a\0bc\0", 6));
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, web, "Six", REG_BINARY, "\1\0\0\0\2\0", 6));
  ASSERT_TRUE(WriteRawNumbers(HKEY_CURRENT_USER, web, "Three", {10, 20, 30}));

  RegistryKey key("Web");
  ASSERT_TRUE(key.Open(AreaProduct, nullptr, true));

  // Numbers and flags: the output changes only on success.
  struct {
    const char* name;
    bool expected;
    uint32_t number;  // after ReadNumber
    int flag;         // after ReadFlag, from 2 (untouched)
  } numbers[] = {
      /* 0 */ {"Seven", true, 7, 1},
      /* 1 */ {"Zero", true, 0, 0},
      /* 2 */ {"Short", true, 0x1234, 1},  // a short REG_DWORD: the missing bytes are 0
      /* 3 */ {"Text", false, 0xdeadbeef, 2},
      /* 4 */ {"Six", false, 0xdeadbeef, 2},
      /* 5 */ {"Missing", false, 0xdeadbeef, 2},
  };
  for (size_t i = 0; i < sizeof numbers / sizeof numbers[0]; ++i) {
    uint32_t number = 0xdeadbeef;
    EXPECT_EQ(key.ReadNumber(numbers[i].name, &number), numbers[i].expected) << "case " << i;
    EXPECT_EQ(number, numbers[i].number) << "case " << i;
    bool flag = false;
    memset(&flag, 2, 1);  // neither true nor false: shows a flag left untouched
    EXPECT_EQ(key.ReadFlag(numbers[i].name, &flag), numbers[i].expected) << "case " << i;
    uint8_t flagByte;
    memcpy(&flagByte, &flag, 1);
    EXPECT_EQ(flagByte, numbers[i].flag) << "case " << i;
  }

  // Texts: always NUL-terminated inside the buffer; nothing written behind it.
  struct {
    const char* name;
    uint32_t size;
    bool expected;
    const char* text;
  } texts[] = {
      /* 0 */ {"Text", 16, true, "abc"},
      /* 1 */ {"Text", 4, true, "abc"},     // exactly the text and its NUL
      /* 2 */ {"Text", 3, false, nullptr},  // the NUL does not fit
      /* 3 */ {"Bare", 16, true, "abcd"},   // stored without a NUL: one is added
      /* 4 */ {"Bare", 4, false, nullptr},  // four characters fill the buffer: no room for it
      /* 5 */ {"Seven", 16, false, nullptr},
      /* 6 */ {"Missing", 16, false, nullptr},
  };
  for (size_t i = 0; i < sizeof texts / sizeof texts[0]; ++i) {
    char buffer[32];
    memset(buffer, 0x5A, sizeof buffer);
    EXPECT_EQ(key.ReadString(texts[i].name, buffer, texts[i].size), texts[i].expected)
        << "case " << i;
    if (texts[i].text) {
      EXPECT_STREQ(buffer, texts[i].text) << "case " << i;
    }
    for (size_t b = texts[i].size; b < sizeof buffer; ++b) {
      ASSERT_EQ(buffer[b], 0x5A) << "case " << i << ": byte " << b << " behind the buffer";
    }
  }

  // Lists of texts and binary data: the size comes back as the platform's byte count.
  uint8_t buffer[16];
  uint32_t size = sizeof buffer;
  EXPECT_TRUE(key.ReadStrings("List", buffer, &size));
  EXPECT_EQ(Bytes(buffer, size), Bytes("a\0bc\0", 6));
  size = sizeof buffer;
  EXPECT_FALSE(key.ReadStrings("Six", buffer, &size)) << "REG_BINARY is no list of texts";
  size = sizeof buffer;
  EXPECT_TRUE(key.ReadBinary("Six", buffer, &size));
  EXPECT_EQ(Bytes(buffer, size), Bytes("\1\0\0\0\2\0", 6));
  size = sizeof buffer;
  EXPECT_FALSE(key.ReadBinary("Text", buffer, &size)) << "REG_SZ is no binary value";
  size = 4;
  EXPECT_FALSE(key.ReadBinary("Six", buffer, &size)) << "six bytes do not fit four";

  // Arrays of numbers: the count is the capacity in and the numbers read out.
  struct {
    const char* name;
    uint32_t capacity;
    bool expected;
    uint32_t count;
    std::vector<uint32_t> numbers;
  } arrays[] = {
      /* 0 */ {"Three", 4, true, 3, {10, 20, 30, 0xdeadbeef}},
      /* 1 */ {"Three", 3, true, 3, {10, 20, 30, 0xdeadbeef}},
      /* 2 */ {"Six", 2, true, 1, {1}},             // six bytes: one number, the rest dropped
      /* 3 */ {"Three", 2, false, 2, {}},           // twelve bytes do not fit two numbers
      /* 4 */ {"Seven", 4, false, 4, {}},  // REG_DWORD is no array (its bytes may have come)
      /* 5 */ {"Missing", 4, false, 4, {0xdeadbeef}},
  };
  for (size_t i = 0; i < sizeof arrays / sizeof arrays[0]; ++i) {
    uint32_t numbers[8];
    for (uint32_t& n : numbers) n = 0xdeadbeef;
    uint32_t count = arrays[i].capacity;
    EXPECT_EQ(key.ReadNumbers(arrays[i].name, numbers, &count), arrays[i].expected)
        << "case " << i;
    EXPECT_EQ(count, arrays[i].count) << "case " << i;
    for (size_t k = 0; k < arrays[i].numbers.size(); ++k) {
      EXPECT_EQ(numbers[k], arrays[i].numbers[k]) << "case " << i << ", number " << k;
    }
    for (size_t k = arrays[i].capacity; k < 8; ++k) {
      EXPECT_EQ(numbers[k], 0xdeadbeefu) << "case " << i << ": number " << k << " behind the capacity";
    }
  }
}

// Each write stores the type and bytes that the platform then reports.
TEST_F(RegistryKeyTest, WritesStoreTypeAndBytes) {
  RegistryKey key("Web");
  ASSERT_TRUE(key.Open(AreaProduct, nullptr, false));
  const uint32_t oneAnd256[] = {1, 256};
  ASSERT_TRUE(key.WriteNumber("Number", 0x12345678));
  ASSERT_TRUE(key.WriteFlag("True", true));
  ASSERT_TRUE(key.WriteFlag("False", false));
  ASSERT_TRUE(key.WriteNumbers("Two", oneAnd256, 2));
  ASSERT_TRUE(key.WriteNumbers("None", nullptr, 0));
  ASSERT_TRUE(key.WriteString("Text", "abc"));
  ASSERT_TRUE(key.WriteString("Empty", ""));
  ASSERT_TRUE(key.WriteStrings("List", "a\0\x01\0\0", 5));
  ASSERT_TRUE(key.WriteBinary("Binary", "\x0f\xff", 2));
  ASSERT_TRUE(key.WriteString(nullptr, "default"));
  EXPECT_FALSE(key.WriteString("Null", nullptr)) << "a null text is refused";
  ASSERT_TRUE(WriteRawNumber(HKEY_CURRENT_USER, FamilyPath("Web"), "Replaced", 5));
  ASSERT_TRUE(key.WriteString("Replaced", "now a text"));

  const std::string web = FamilyPath("Web");
  ExpectValues({
      /* 0 */ {web, "Number", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
      /* 1 */ {web, "True", REG_DWORD, {1, 0, 0, 0}},
      /* 2 */ {web, "False", REG_DWORD, {0, 0, 0, 0}},
      /* 3 */ {web, "Two", REG_BINARY, {1, 0, 0, 0, 0, 1, 0, 0}},
      /* 4 */ {web, "None", REG_BINARY, {}},
      /* 5 */ {web, "Text", REG_SZ, TextBytes("abc")},
      /* 6 */ {web, "Empty", REG_SZ, {0}},
      /* 7 */ {web, "List", REG_MULTI_SZ, {'a', 0, 1, 0, 0}},
      /* 8 */ {web, "Binary", REG_BINARY, {0x0f, 0xff}},
      /* 9 */ {web, nullptr, REG_SZ, TextBytes("default")},
      /* 10 */ {web, "Replaced", REG_SZ, TextBytes("now a text")},
  });
  EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, FamilyPath("Web"), "Null").found);
}

TEST_F(RegistryKeyTest, HasValueAndEnumValue) {
  const std::string web = FamilyPath("Web");
  ASSERT_TRUE(WriteRawNumber(HKEY_CURRENT_USER, web, "First", 1));
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, web, "SecondValue", REG_SZ, "x", 2));
  RegistryKey key("Web");
  ASSERT_TRUE(key.Open(AreaProduct, nullptr, true));
  EXPECT_TRUE(key.HasValue("First"));
  EXPECT_TRUE(key.HasValue("SecondValue")) << "whatever its type";
  EXPECT_FALSE(key.HasValue("Third"));

  std::vector<std::string> names;
  char name[64];
  for (uint32_t i = 0; key.EnumValue(i, name, sizeof name); ++i) names.push_back(name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"First", "SecondValue"}));

  for (uint32_t i = 0; i < 2; ++i) {
    memset(name, 0x5A, sizeof name);
    EXPECT_FALSE(key.EnumValue(i, name, 4)) << "value " << i << ": its name does not fit 4";
    for (size_t b = 4; b < sizeof name; ++b) ASSERT_EQ(name[b], 0x5A) << "value " << i << ", byte " << b;
  }
  EXPECT_FALSE(key.EnumValue(2, name, sizeof name)) << "past the last value";
}

// Paths over 1023 characters and product names over 511 are refused before the platform is
// asked, so nothing is created under a cut name. (The exact composition up to 1023
// characters is tested on the host: Wine's ANSI registry calls themselves refuse paths of
// more than 260 characters, with ERROR_MORE_DATA.)
TEST_F(RegistryKeyTest, LongPathsAndProductNamesAreRefused) {
  RegistryKey key("Web");
  for (size_t length : {size_t(1024), size_t(100000)}) {
    std::string subKey = "Software\\PindleTest\\" + std::string(length - 20, 'k');
    ASSERT_TRUE(key.Open(AreaProduct, nullptr, false));
    EXPECT_FALSE(key.Open(AreaUser, subKey.c_str(), false)) << length << " characters";
    EXPECT_FALSE(key.IsOpen()) << length << " characters";
    EXPECT_FALSE(key.DeleteKey(AreaUser, subKey.c_str())) << length << " characters";
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, "Software\\PindleTest"))
        << length << " characters: nothing created under a cut path";
  }

  RemoveTestKeys();
  std::string name512 = "Web" + std::string(509, 'x');
  RegistryKey tooLong(name512.c_str());
  EXPECT_FALSE(tooLong.Open(AreaProduct, nullptr, false));
  EXPECT_FALSE(tooLong.Open(AreaProduct, "Sub", false));
  EXPECT_FALSE(tooLong.DeleteKey(AreaProduct, nullptr));
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, kFamilyRoot)) << "nothing created";
  ASSERT_TRUE(tooLong.Open(AreaShared, "Web", false)) << "the other areas do not use the name";
  EXPECT_TRUE(tooLong.WriteNumber("Probe", 1));
  EXPECT_TRUE(ReadRawValue(HKEY_CURRENT_USER, FamilyPath("Web"), "Probe").found);

  RegistryKey none(nullptr);
  ASSERT_TRUE(none.Open(AreaProduct, nullptr, false)) << "a null name counts as the empty one";
  EXPECT_TRUE(none.WriteNumber("Probe", 2));
  EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, FamilyPath(""), "Probe").bytes, NumberBytes({2}))
      << "the family root followed by a backslash";
}

}  // namespace
