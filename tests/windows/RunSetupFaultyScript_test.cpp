// This program carries tests/data/faulty.regpatch as its registry patch script (resource
// 1004) in place of the product's.
#include "app/RunSetup.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/support/InstallTest.h"
#include "tests/support/RegistryTest.h"

namespace {

TEST(RunInstallActions, FaultyScriptEndsTheInstallation) {
  RemoveTestKeys();
  ScratchFolder scratch("pindle-faulty-script");
  ScratchContext setup(scratch, 1, {0});
  SetupContext& context = setup.context;
  RecordedProgress recorded(InstallProgressRange(SelectedProductCount()));
  ASSERT_TRUE(recorded.Ready());
  ProgressDialog& progress = recorded.dialog;

  EXPECT_FALSE(RunInstallActions(context, progress));
  EXPECT_STREQ(context.failureReason, "Unable to update search grammars");

  // The actions after the registry patch were skipped: the bar stopped at its step.
  int position = int(SendDlgItemMessageA(progress.Handle(), IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
  EXPECT_EQ(position, 7) << "the five files, page choices and registry patch only";
  char status[64] = "";
  GetDlgItemTextA(progress.Handle(), IDC_PROGRESS_STATUS, status, sizeof status);
  EXPECT_STREQ(status, "Modifying registry...");

  // The script stopped at its malformed statement.
  EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, FamilyPath("Web"), "DefaultEngine").found);
  EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, FamilyPath("Web"), "NeverWritten").found);
  RemoveTestKeys();
}

}  // namespace
