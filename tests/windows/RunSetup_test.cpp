#include "app/RunSetup.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/InstallTest.h"

namespace {

// The status line of a whole successful installation, read from the real status control.
TEST(RunInstallActions, StepsBeforeEachStatusTextInOrder) {
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
