// This program carries tests/data/faulty.regpatch as its registry patch script (resource
// 1004) in place of the product's.
#include "app/RunSetup.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/support/RegistryTest.h"

namespace {

const ProductRow kRow = {"WebPindle", "Web", "WebPindle", "WebPindle.exe", "WebPindle.hlp",
                         "WebPindle.cnt", "WebPindle.gid", "WebPindleUninstall.exe",
                         "&Web Pages...", "Find web pages"};

TEST(RunInstallActions, FaultyScriptEndsTheInstallation) {
  RemoveTestKeys();
  InitCommonControls();
  SetupContext context("WebPindle", "WebPindle", &kRow, 1, 7579202, 15204285);
  ProgressDialog progress;
  progress.Create(nullptr);
  ASSERT_NE(progress.Handle(), nullptr);
  progress.SetRange(InstallProgressRange(SelectedProductCount()));

  EXPECT_FALSE(RunInstallActions(context, progress));
  EXPECT_STREQ(context.failureReason, "Unable to update search grammars");

  // The actions after the registry patch were skipped: the bar stopped at its step.
  int position = int(SendDlgItemMessageA(progress.Handle(), IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
  EXPECT_EQ(position, 2) << "page choices and registry patch only";
  char status[64] = "";
  GetDlgItemTextA(progress.Handle(), IDC_PROGRESS_STATUS, status, sizeof status);
  EXPECT_STREQ(status, "Modifying registry...");

  // The script stopped at its malformed statement.
  EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, FamilyPath("Web"), "DefaultEngine").found);
  EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, FamilyPath("Web"), "NeverWritten").found);
  progress.Destroy();
  RemoveTestKeys();
}

}  // namespace
