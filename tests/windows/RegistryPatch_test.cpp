#include "registry/RegistryPatch.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/RegistryTest.h"

namespace {

const std::string kWeb = FamilyPath("Web");
const std::string kBrowser = FamilyPath("Browser");

bool ApplyBody(const std::string& body) {
  return RegistryPatch::Apply("Web", ("REGPATCH1.0000\r\n" + body).c_str());
}

std::vector<uint8_t> StringsBytes(const char* joined, size_t size) { return Bytes(joined, size); }

// Every value of a key, by name, with its type in front of its bytes.
std::map<std::string, std::vector<uint8_t>> KeySnapshot(const std::string& path) {
  std::map<std::string, std::vector<uint8_t>> values;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return values;
  }
  char name[1024];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    RawValue value = ReadRawValue(HKEY_CURRENT_USER, path, name);
    std::vector<uint8_t> typed = {uint8_t(value.type)};
    typed.insert(typed.end(), value.bytes.begin(), value.bytes.end());
    values[name] = typed;
  }
  RegCloseKey(key);
  return values;
}

DWORD ValueCount(const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return 0xdeadbeef;
  }
  DWORD values = 0xdeadbeef;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return values;
}

class RegistryPatchTest : public testing::Test {
 protected:
  void SetUp() override { RemoveTestKeys(); }
  void TearDown() override { RemoveTestKeys(); }
};

TEST_F(RegistryPatchTest, HeaderAloneCreatesTheEmptyProductKey) {
  EXPECT_TRUE(RegistryPatch::Apply("Web", "REGPATCH1.0000"));
  EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, kWeb));
  EXPECT_EQ(ValueCount(kWeb), 0u);
  RemoveTestKeys();

  const char* const wrongHeaders[] = {
      /* 0 */ "REGPATCH1.0001\n\"A\"=number:1",
      /* 1 */ " REGPATCH1.0000\n\"A\"=number:1",
      /* 2 */ "",
      /* 3 */ nullptr,
  };
  for (size_t i = 0; i < sizeof wrongHeaders / sizeof wrongHeaders[0]; ++i) {
    EXPECT_FALSE(RegistryPatch::Apply("Web", wrongHeaders[i])) << "case " << i;
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, kWeb)) << "case " << i << ": nothing touched";
  }
}

// Each statement type, in the key that its section names, as the platform stores it.
TEST_F(RegistryPatchTest, EveryStatementTypeReachesItsKey) {
  ASSERT_TRUE(ApplyBody(
      "\"Before\"=number:1\r\n"
      "[Browser]\r\n"
      "\"Count\"=number:4294967295\r\n"
      "\"List\"=numbers:1,256\r\n"
      "\"NoList\"=numbers:\r\n"
      "\"Bytes\"=binary:0F,ff,00A\r\n"
      "\"Text\"=string:\"HKEY_CLASSES_ROOT\\\\.htm\\\\\"\r\n"
      "\"Texts\"=strings:\"title:\",\"\",\\\r\n"
      ";a comment inside the list\r\n"
      "  \"\"\r\n"
      "\"NoTexts\"=strings:\r\n"
      "  [Web\\Engines]\r\n"
      "\"Deep\"=string:\"x\"\r\n"
      "[Web]\r\n"
      "\"After\"=number:2\r\n"));
  ExpectValues({
      /* 0 */ {kWeb, "Before", REG_DWORD, NumberBytes({1})},
      /* 1 */ {kBrowser, "Count", REG_DWORD, NumberBytes({4294967295u})},
      /* 2 */ {kBrowser, "List", REG_BINARY, {1, 0, 0, 0, 0, 1, 0, 0}},
      /* 3 */ {kBrowser, "NoList", REG_BINARY, {}},
      /* 4 */ {kBrowser, "Bytes", REG_BINARY, {0x0f, 0xff, 0x0a}},
      /* 5 */ {kBrowser, "Text", REG_SZ, TextBytes("HKEY_CLASSES_ROOT\\.htm\\")},
      /* 6 */ {kBrowser, "Texts", REG_MULTI_SZ, StringsBytes("title:\0\1\0\1\0", 12)},
      /* 7 */ {kBrowser, "NoTexts", REG_MULTI_SZ, {0}},
      /* 8 */ {FamilyPath("Web\\Engines"), "Deep", REG_SZ, TextBytes("x")},
      /* 9 */ {kWeb, "After", REG_DWORD, NumberBytes({2})},  // [Web] is the product's own key
  });
  EXPECT_EQ(ValueCount(kWeb), 2u) << "Before and After only";
}

TEST_F(RegistryPatchTest, ExistingValuesAreReplacedRemovedOrKept) {
  ASSERT_TRUE(WriteRawNumber(HKEY_CURRENT_USER, kBrowser, "WasNumber", 5));
  ASSERT_TRUE(WriteRawNumber(HKEY_CURRENT_USER, kBrowser, "Removed", 6));
  ASSERT_TRUE(WriteRawNumber(HKEY_CURRENT_USER, kBrowser, "Untouched", 7));
  ASSERT_TRUE(ApplyBody("[Browser]\n"
                        "\"WasNumber\"=string:\"now a text\"\n"
                        "\"Removed\"=\n"
                        "\"NeverThere\"= \t\n"
                        "\"Twice\"=number:1\n"
                        "\"Twice\"=number:2\n"));
  RawValue replaced = ReadRawValue(HKEY_CURRENT_USER, kBrowser, "WasNumber");
  EXPECT_EQ(replaced.type, DWORD(REG_SZ));
  EXPECT_EQ(replaced.bytes, TextBytes("now a text"));
  EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, kBrowser, "Removed").found);
  EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, kBrowser, "NeverThere").found);
  EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kBrowser, "Untouched").bytes, NumberBytes({7}));
  EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kBrowser, "Twice").bytes, NumberBytes({2}));
}

// "index": the stored number becomes the position of the first element equal to it.
TEST_F(RegistryPatchTest, IndexConvertsAStoredPosition) {
  struct {
    DWORD storedType;  // REG_NONE: nothing stored
    uint32_t stored;
    const char* list;
    bool expected;
    uint32_t after;
  } cases[] = {
      /* 0 */ {REG_DWORD, 7, "5,7,9", true, 1},
      /* 1 */ {REG_DWORD, 8, "5,7,9", true, 0},  // no element equal
      /* 2 */ {REG_DWORD, 9, "5,9,9", true, 1},  // the first equal one
      /* 3 */ {REG_DWORD, 0, "", true, 0},       // the empty list is the one element 0
      /* 4 */ {REG_DWORD, 3, "", true, 0},
      /* 5 */ {REG_DWORD, 4294967295u, "1,4294967295", true, 1},
      /* 6 */ {REG_NONE, 0, "5,7,9", false, 0},
      /* 7 */ {REG_BINARY, 7, "5,7,9", false, 7},  // unchanged
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    RemoveTestKeys();
    if (cases[i].storedType != REG_NONE) {
      ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, kWeb, "Position", cases[i].storedType,
                                &cases[i].stored, 4));
    }
    EXPECT_EQ(ApplyBody(std::string("\"Position\"=index:") + cases[i].list + "\n\"Next\"=number:1"),
              cases[i].expected)
        << "case " << i;
    RawValue after = ReadRawValue(HKEY_CURRENT_USER, kWeb, "Position");
    EXPECT_EQ(after.found, cases[i].storedType != REG_NONE) << "case " << i;
    if (after.found) {
      EXPECT_EQ(after.bytes, NumberBytes({cases[i].after})) << "case " << i;
      EXPECT_EQ(after.type, cases[i].storedType) << "case " << i;
    }
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kWeb, "Next").found, cases[i].expected)
        << "case " << i << ": a failure ends the script";
  }
}

// "indices": new entry k is stored entry number (element k), or 0 past the stored array.
TEST_F(RegistryPatchTest, IndicesRearrangesAStoredArray) {
  std::vector<uint32_t> full(2048);
  for (uint32_t k = 0; k < 2048; ++k) full[k] = k + 1;
  std::vector<uint32_t> tooLong = full;
  tooLong.push_back(2049);
  struct {
    bool stored;
    std::vector<uint32_t> before;
    const char* list;
    bool expected;
    std::vector<uint32_t> after;
  } cases[] = {
      /* 0 */ {true, {10, 20, 30}, "2,0,1", true, {30, 10, 20}},
      /* 1 */ {true, {10, 20, 30}, "0,3", true, {10, 0}},
      /* 2 */ {true, {10, 20, 30}, "4294967295,1", true, {0, 20}},  // "negative"
      /* 3 */ {true, {10, 20, 30}, "1,1,1,1,1", true, {20, 20, 20, 20, 20}},
      /* 4 */ {true, {}, "0,0", true, {0, 0}},
      /* 5 */ {true, full, "2047,0", true, {2048, 1}},  // 8192 bytes can be read
      /* 6 */ {true, tooLong, "0", false, tooLong},     // 8196 bytes cannot
      /* 7 */ {false, {}, "0", false, {}},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    RemoveTestKeys();
    if (cases[i].stored) {
      ASSERT_TRUE(WriteRawNumbers(HKEY_CURRENT_USER, kWeb, "Order", cases[i].before));
    }
    EXPECT_EQ(ApplyBody(std::string("\"Order\"=indices:") + cases[i].list + "\n\"Next\"=number:1"),
              cases[i].expected)
        << "case " << i;
    RawValue after = ReadRawValue(HKEY_CURRENT_USER, kWeb, "Order");
    EXPECT_EQ(after.found, cases[i].stored) << "case " << i;
    EXPECT_EQ(after.bytes, NumberBytes(cases[i].after)) << "case " << i;
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kWeb, "Next").found, cases[i].expected)
        << "case " << i;
  }

  // A REG_DWORD is no array.
  ASSERT_TRUE(WriteRawNumber(HKEY_CURRENT_USER, kWeb, "Order", 1));
  EXPECT_FALSE(ApplyBody("\"Order\"=indices:0"));
  EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kWeb, "Order").type, DWORD(REG_DWORD));
}

// The first failure ends the script; every statement before it stays applied.
TEST_F(RegistryPatchTest, FirstFailureStopsAndKeepsWhatCameBefore) {
  const std::string longSection(1000, 's');  // the family root and it exceed 1023 characters
  struct {
    std::string body;
    const char* applied;     // values of the product's key that must exist afterwards
    const char* notApplied;  // values that must not
  } cases[] = {
      /* 0 */ {"\"A\"=number:1\n\"B\"=number:2\n\"C\"=number:3\n\"D\"=number:4\n"
               "\"E\"=number:5x\n\"F\"=number:6\n",
               "ABCD", "EF"},
      /* 1 */ {"\"A\"=number:1\n\"X\"=index:1\n\"B\"=number:2\n", "A", "XB"},  // no stored X
      /* 2 */ {"\"A\"=number:1\n[" + longSection + "]\n[Web]\n\"B\"=number:2\n", "A", "B"},
      /* 3 */ {"\"A\"=number:1\n\tB\"=number:2\n\"C\"=number:3\n", "A", "BC"},
      /* 4 */ {"\"A\"=number:1\n\"B\"=string:\"open\n\"C\"=number:3\n", "A", "BC"},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    RemoveTestKeys();
    EXPECT_FALSE(ApplyBody(cases[i].body)) << "case " << i;
    for (const char* name = cases[i].applied; *name; ++name) {
      std::string value(1, *name);
      EXPECT_TRUE(ReadRawValue(HKEY_CURRENT_USER, kWeb, value.c_str()).found)
          << "case " << i << ": value " << value << " was applied before the failure";
    }
    for (const char* name = cases[i].notApplied; *name; ++name) {
      std::string value(1, *name);
      EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, kWeb, value.c_str()).found)
          << "case " << i << ": value " << value << " is at or after the failure";
    }
  }
}

// "numbers" and "strings" are stored before the rest of their line is tested; the other
// types only when their line is complete.
TEST_F(RegistryPatchTest, OrderWithinAStatement) {
  struct {
    const char* line;
    std::vector<uint8_t> stored;  // what "V" holds afterwards; it held the REG_DWORD 77
  } cases[] = {
      /* 0 */ {"\"V\"=numbers:1,2 stray", NumberBytes({1, 2})},
      /* 1 */ {"\"V\"=numbers: x", NumberBytes({0})},  // an element without digits is 0
      /* 2 */ {"\"V\"=strings:\"a\",\"b\" stray", StringsBytes("a\0b\0", 5)},
      /* 3 */ {"\"V\"=number:5 stray", NumberBytes({77})},
      /* 4 */ {"\"V\"=binary:01 stray", NumberBytes({77})},
      /* 5 */ {"\"V\"=string:\"a\" stray", NumberBytes({77})},
      /* 6 */ {"\"V\"=index:77 stray", NumberBytes({77})},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    RemoveTestKeys();
    ASSERT_TRUE(WriteRawNumber(HKEY_CURRENT_USER, kWeb, "V", 77));
    EXPECT_FALSE(ApplyBody(std::string(cases[i].line) + "\n\"Next\"=number:1")) << "case " << i;
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kWeb, "V").bytes, cases[i].stored)
        << "case " << i << ": " << cases[i].line;
    EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, kWeb, "Next").found) << "case " << i;
  }
}

// The product's own script, as this program carries it (resource 1004, as in setup.exe).
std::string ProductScript() {
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(1004), PAYLOAD_RESOURCE_TYPE);
  if (!resource) return std::string();
  HGLOBAL loaded = LoadResource(nullptr, resource);
  const char* bytes = static_cast<const char*>(LockResource(loaded));
  return std::string(bytes, SizeofResource(nullptr, resource));
}

TEST_F(RegistryPatchTest, ProductScriptFillsWebAndBrowserAndCanBeAppliedAgain) {
  std::string script = ProductScript();
  ASSERT_FALSE(script.empty()) << "resource 1004 is missing";
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, kWeb, "Veronica Servers", REG_SZ, "v", 2));
  ASSERT_TRUE(RegistryPatch::Apply("Web", script.c_str()));

  ExpectValues({
      /* 0 */ {kWeb, "RegistryVersion", REG_DWORD, NumberBytes({40})},
      /* 1 */ {kWeb, "InstalledEngines", REG_MULTI_SZ,
               StringsBytes("AltaVista\0Excite\0HotBot\0Infoseek\0Lycos\0WebCrawler\0Yahoo\0", 57)},
      /* 2 */ {kWeb, "EngineEnabled", REG_BINARY, NumberBytes({1, 1, 0, 0, 0, 0, 1})},
      /* 3 */ {kWeb, "EngineResultCounts", REG_BINARY, NumberBytes({20, 10, 0, 0, 10, 0, 20})},
      /* 4 */ {kWeb, "DefaultEngine", REG_DWORD, NumberBytes({6})},  // Yahoo, 1 in the old list
      /* 5 */ {kWeb, "AltaVistaQueryCloseness", REG_MULTI_SZ,
               StringsBytes("title:\0\1\0\1\0", 12)},
      /* 6 */ {kWeb, "SearchHistory", REG_MULTI_SZ, {0}},
      /* 7 */ {kWeb, "AltaVistaGrammarFlags", REG_BINARY, {1, 0, 4, 0}},
      /* 8 */ {kBrowser, "DefaultBrowserKey", REG_SZ, TextBytes("HKEY_CLASSES_ROOT\\.htm\\")},
      /* 9 */ {kBrowser, "NetscapeOpenArguments", REG_SZ, TextBytes("\"%u\",,-1,,,,,")},
      /* 10 */ {kBrowser, "PreferredBrowser", REG_DWORD, NumberBytes({0})},
  });
  EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, kWeb, "Veronica Servers").found);

  // Applied over itself (a repeated installation), the script leaves the same values.
  auto web = KeySnapshot(kWeb), browser = KeySnapshot(kBrowser);
  EXPECT_GT(web.size(), 50u);
  EXPECT_GT(browser.size(), 20u);
  ASSERT_TRUE(RegistryPatch::Apply("Web", script.c_str()));
  EXPECT_TRUE(KeySnapshot(kWeb) == web) << "the Web key changed on the second application";
  EXPECT_TRUE(KeySnapshot(kBrowser) == browser) << "the Browser key changed";
}

}  // namespace
