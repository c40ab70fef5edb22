#include "app/SetupContext.h"

#include <gtest/gtest.h>
#include <string.h>

#include "tests/support/WineTest.h"

namespace {

const ProductRow kRow = {"WebPindle", "Web", "WebPindle", "WebPindle.exe", "WebPindle.hlp",
                         "WebPindle.cnt", "WebPindle.gid", "WebPindleUninstall.exe",
                         "&Web Pages...", "Find web pages"};

std::string FolderJoined(UINT (*folderOf)(LPSTR, UINT), const char* name) {
  char folder[MAX_PATH];
  folderOf(folder, sizeof folder);
  std::string path = folder;
  if (path.back() != '\\') path += '\\';
  return path + name;
}

TEST(SetupContext, AccessorsWithoutContextGiveEmptyText) {
  ASSERT_EQ(CurrentSetupContext, nullptr);
  EXPECT_STREQ(SetupName(), "");
  EXPECT_STREQ(SetupFolderName(), "");
  EXPECT_STREQ(ProductDisplayName(0), "");
  EXPECT_STREQ(ProductShortName(0), "");
  EXPECT_STREQ(ProductKeyName(0), "");
  EXPECT_EQ(SelectedProductCount(), 0u);
}

TEST(SetupContext, CopiesTheTableAndBecomesCurrent) {
  {
    SetupContext context("WebPindle", "WebPindle", &kRow, 1, 7579202, 15204285);
    EXPECT_EQ(CurrentSetupContext, &context);
    EXPECT_STREQ(SetupName(), "WebPindle");
    EXPECT_STREQ(SetupFolderName(), "WebPindle");
    EXPECT_STREQ(ProductDisplayName(0), "WebPindle");
    EXPECT_STREQ(ProductShortName(0), "Web");
    EXPECT_STREQ(ProductKeyName(0), "WebPindle");
    EXPECT_STREQ(ProductShortName(1), "") << "an index past the table";
    EXPECT_EQ(SelectedProductCount(), 1u);
    ASSERT_EQ(context.productCount, 1u);
    const ProductEntry& product = context.products[0];
    EXPECT_NE(product.shortName, kRow.shortName) << "fields are copies";
    EXPECT_STREQ(product.helpIndexFile, "WebPindle.gid");
    EXPECT_EQ(product.installPath, nullptr);
    EXPECT_EQ(product.uninstallerPath, FolderJoined(GetWindowsDirectoryA, "WebPindleUninstall.exe"));
    EXPECT_EQ(context.extensionDllPath, FolderJoined(GetSystemDirectoryA, "NetPindle.dll"));
    EXPECT_EQ(context.gradientColour, 7579202u);
    EXPECT_EQ(context.pageColour, 15204285u);
  }
  EXPECT_EQ(CurrentSetupContext, nullptr) << "destroying the context ends it being current";
}

TEST(RequiredSpace, CountsProductsOfTheTable) {
  SetupContext context("WebPindle", "WebPindle", &kRow, 1, 0, 0);
  EXPECT_EQ(RequiredSpace(true), 768000u);
  EXPECT_EQ(RequiredSpace(false), 1536000u);
  context.selected[0] = 0;
  EXPECT_EQ(RequiredSpace(true), 768000u) << "temporary space counts unselected products too";
  EXPECT_EQ(RequiredSpace(false), 0u);
}

TEST(HasEnoughSpace, BoundaryOfTheTemporarySpace) {
  EXPECT_TRUE(HasEnoughSpace(768000, 768000));
  EXPECT_FALSE(HasEnoughSpace(767999, 768000));
  EXPECT_TRUE(HasEnoughSpace(0xFFFFFFFFu, 768000));
  EXPECT_FALSE(HasEnoughSpace(0, 1));
}

uint32_t SystemFreeBytes(const char* root) {
  DWORD spc, bps, freeClusters, total;
  if (!GetDiskFreeSpaceA(root, &spc, &bps, &freeClusters, &total)) return 0;
  double bytes = double(spc) * bps * freeClusters;
  return bytes > 4294967295.0 ? 0xFFFFFFFFu : uint32_t(bytes);
}

TEST(FreeDiskSpace, RootsAndNetworkPaths) {
  EXPECT_EQ(FreeDiskSpace("\\\\server\\share\\folder"), 0xFFFFFFFFu);
  EXPECT_EQ(FreeDiskSpace("\\\\s"), 0xFFFFFFFFu) << "three characters are a network path";
  EXPECT_EQ(FreeDiskSpace("C:\\windows\\system32"), SystemFreeBytes("C:\\"));
  EXPECT_EQ(FreeDiskSpace("C:"), SystemFreeBytes(nullptr)) << "two characters: the current drive";
  EXPECT_EQ(FreeDiskSpace("Q:\\no such drive"), 0u);
}

TEST(FreeDiskSpace, LargeDrivesAreCappedNotWrapped) {
  // Drive Z: is the host's root file system; in the NT family Wine reports its real size.
  DWORD spc, bps, freeClusters, total;
  ASSERT_TRUE(GetDiskFreeSpaceA("Z:\\", &spc, &bps, &freeClusters, &total));
  double bytes = double(spc) * bps * freeClusters;
  if (bytes <= 4294967295.0) GTEST_SKIP() << "drive Z: has no more than 4 GB free here";
  EXPECT_EQ(FreeDiskSpace("Z:\\tmp"), 0xFFFFFFFFu);
}

TEST(IsWindows95Family, FollowsTheFamilyWinePlays) {
  EXPECT_EQ(IsWindows95Family(), WinePlaysWindows95());
}

}  // namespace
