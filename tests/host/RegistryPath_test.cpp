#include "registry/RegistryPath.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

namespace {

const std::string kFamily = "Software\\Morvane\\NetPindle\\CurrentVersion";

// The path buffer inside a larger one: the bytes behind its capacity must stay untouched.
struct FencedPath {
  char bytes[kRegistryPathCapacity + 64];
  FencedPath() { memset(bytes, 0x5A, sizeof bytes); }
  bool FenceIntact() const {
    for (size_t i = kRegistryPathCapacity; i < sizeof bytes; ++i) {
      if (bytes[i] != 0x5A) return false;
    }
    return true;
  }
};

TEST(ComposeRegistryPath, EveryAreaWithAndWithoutSubKey) {
  struct {
    int area;
    const char* subKey;
    const char* product;
    RegistryRoot root;
    std::string path;
  } cases[] = {
      /* 0 */ {AreaBrowser, nullptr, "Web", RootCurrentUser, kFamily + "\\Browser"},
      /* 1 */ {AreaBrowser, "", "Web", RootCurrentUser, kFamily + "\\Browser\\"},
      /* 2 */ {AreaMailer, "Sub", "Web", RootCurrentUser, kFamily + "\\Mailer\\Sub"},
      /* 3 */ {AreaUpdates, nullptr, "Web", RootCurrentUser, kFamily + "\\Updates"},
      /* 4 */ {AreaProduct, nullptr, "Web", RootCurrentUser, kFamily + "\\Web"},
      /* 5 */ {AreaProduct, "Sub", "Web", RootCurrentUser, kFamily + "\\Web\\Sub"},
      /* 6 */ {AreaShared, "Web", "Mail", RootCurrentUser, kFamily + "\\Web"},
      /* 7 */ {AreaShared, nullptr, "Web", RootCurrentUser, kFamily},
      /* 8 */ {AreaShared, "a\\\\b\\", "Web", RootCurrentUser, kFamily + "\\a\\\\b\\"},  // as given
      /* 9 */ {AreaMachine, "Software\\Classes", "Web", RootLocalMachine, "Software\\Classes"},
      /* 10 */ {AreaUser, "Software", "Web", RootCurrentUser, "Software"},
      /* 11 */ {AreaClasses, ".htm", "Web", RootClassesRoot, ".htm"},
      /* 12 */ {AreaMachine, nullptr, "Web", RootLocalMachine, ""},  // the root itself
      /* 13 */ {8, "Software", "Web", RootNone, ""},
      /* 14 */ {-1, nullptr, "Web", RootNone, ""},
      /* 15 */ {AreaProduct, nullptr, nullptr, RootNone, ""},  // a name that was too long
      /* 16 */ {AreaBrowser, "Sub", nullptr, RootCurrentUser, kFamily + "\\Browser\\Sub"},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    FencedPath path;
    RegistryRoot root =
        ComposeRegistryPath(RegistryArea(cases[i].area), cases[i].subKey, cases[i].product, path.bytes);
    EXPECT_EQ(root, cases[i].root) << "case " << i;
    EXPECT_EQ(std::string(path.bytes), cases[i].path) << "case " << i;
    EXPECT_TRUE(path.FenceIntact()) << "case " << i;
  }
}

// A path of 1023 characters is composed whole; one more character composes nothing.
TEST(ComposeRegistryPath, PathsOfUpTo1023Characters) {
  const std::string name511(511, 'p');
  struct {
    RegistryArea area;
    const char* product;
    size_t fixed;  // characters of the path before the sub-key
  } cases[] = {
      /* 0 */ {AreaUser, "Web", 0},
      /* 1 */ {AreaBrowser, "Web", kFamily.size() + 9},  // "\Browser\"
      /* 2 */ {AreaProduct, "Web", kFamily.size() + 5},  // "\Web\"
      /* 3 */ {AreaProduct, name511.c_str(), kFamily.size() + 513},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    for (size_t total : {size_t(1022), size_t(1023), size_t(1024), size_t(1025), size_t(100000)}) {
      std::string subKey(total - cases[i].fixed, 's');
      FencedPath path;
      RegistryRoot root = ComposeRegistryPath(cases[i].area, subKey.c_str(), cases[i].product,
                                              path.bytes);
      if (total <= 1023) {
        EXPECT_NE(root, RootNone) << "case " << i << ", " << total << " characters";
        EXPECT_EQ(strlen(path.bytes), total) << "case " << i;
      } else {
        EXPECT_EQ(root, RootNone) << "case " << i << ", " << total << " characters";
        EXPECT_STREQ(path.bytes, "") << "case " << i << ", " << total << " characters";
      }
      EXPECT_TRUE(path.FenceIntact()) << "case " << i << ", " << total << " characters";
    }
  }
  // A product name alone can make the path too long.
  FencedPath path;
  std::string longName(1024 - kFamily.size(), 'p');
  EXPECT_EQ(ComposeRegistryPath(AreaProduct, nullptr, longName.c_str(), path.bytes), RootNone);
  EXPECT_TRUE(path.FenceIntact());
}

}  // namespace
