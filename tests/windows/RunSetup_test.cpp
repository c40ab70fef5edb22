#include "app/RunSetup.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/InstallTest.h"
#include "tests/support/RegistryTest.h"

namespace {

// The status line of a whole successful installation, read from the real status control.
TEST(RunInstallActions, StepsBeforeEachStatusTextInOrder) {
  RemoveTestKeys();
  ScratchFolder scratch("pindle-install-actions");
  ScratchContext setup(scratch, 1, {0});
  SetupContext& context = setup.context;
  RecordedProgress progress(InstallProgressRange(SelectedProductCount()));
  ASSERT_TRUE(progress.Ready());

  EXPECT_TRUE(RunInstallActions(context, progress.dialog));
  EXPECT_STREQ(context.failureReason, "Unknown error");

  std::vector<std::pair<int, std::string>> expected = {
      {1, "Decompressing NetPindle.dll..."},
      {2, "Decompressing WebPindle.exe..."},
      {3, "Decompressing WebPindle.hlp..."},
      {4, "Decompressing WebPindle.cnt..."},
      {5, "Decompressing uninstall..."},
      {6, "Modifying registry..."},
      {7, "Modifying registry..."},
      {8, "Adding to find menu..."},
      {9, "Setup complete..."},
  };
  EXPECT_EQ(progress.log, expected);
  RemoveTestKeys();
}

// Every selected product gets "Distributor" in its own key; a product without a registry
// patch script (no resource index x 1000 + 1004) passes the patch action.
TEST(RunInstallActions, DistributorAndRegistryPatchForEverySelectedProduct) {
  RemoveTestKeys();
  ScratchFolder scratch("pindle-install-actions-distributor");
  // Product 0 carries the product's script (1004), product 1 only files (2000 to 2003).
  ScratchContext setup(scratch, 3, {0, 1});
  SetupContext& context = setup.context;
  ReplaceText(context.products[1].shortName, "Mail");
  ReplaceText(context.products[2].shortName, "News");
  RecordedProgress progress(InstallProgressRange(SelectedProductCount()));
  ASSERT_TRUE(progress.Ready());

  EXPECT_TRUE(RunInstallActions(context, progress.dialog));
  EXPECT_STREQ(context.failureReason, "Unknown error");
  const struct {
    const char* product;
    bool distributor;
  } cases[] = {{"Web", true}, {"Mail", true}, {"News", false}};
  for (const auto& c : cases) {
    RawValue value = ReadRawValue(HKEY_CURRENT_USER, FamilyPath(c.product), "Distributor");
    EXPECT_EQ(value.found, c.distributor) << c.product;
    if (c.distributor) {
      EXPECT_EQ(value.type, DWORD(REG_SZ)) << c.product;
      EXPECT_EQ(value.bytes, TextBytes("Morvane")) << c.product;
    }
  }
  // The product's script reached the registry: its version in both of its keys.
  EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, FamilyPath("Web"), "RegistryVersion").bytes,
            NumberBytes({40}));
  EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, FamilyPath("Browser"), "RegistryVersion").bytes,
            NumberBytes({40}));
  RemoveTestKeys();
}

// A failing copy ends the actions with its reason.
TEST(RunInstallActions, FailedCopyStopsTheActions) {
  ScratchFolder scratch("pindle-install-actions-failed");
  ASSERT_TRUE(WriteFileBytes(scratch / "a file", "x", 1));
  ScratchContext setup(scratch, 1, {0});
  SetupContext& context = setup.context;
  GiveInstallPath(context, 0, scratch / "a file\\WebPindle");
  RecordedProgress progress(InstallProgressRange(SelectedProductCount()));
  ASSERT_TRUE(progress.Ready());

  EXPECT_FALSE(RunInstallActions(context, progress.dialog));
  EXPECT_STREQ(context.failureReason, "Unable to create destination directory");
  EXPECT_TRUE(progress.log.empty()) << progress.log.size() << " status texts";
}

TEST(InstallProgressRange, FiveStepsPerProductPlusFour) {
  EXPECT_EQ(InstallProgressRange(1), 9);
  EXPECT_EQ(InstallProgressRange(0), 4);
  EXPECT_EQ(InstallProgressRange(3), 19);
}

}  // namespace
