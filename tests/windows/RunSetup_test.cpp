#include "app/RunSetup.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/TextTable.h"
#include "resources/resource.h"

namespace {

const ProductRow kRow = {"WebPindle", "Web", "WebPindle", "WebPindle.exe", "WebPindle.hlp",
                         "WebPindle.cnt", "WebPindle.gid", "WebPindleUninstall.exe",
                         "&Web Pages...", "Find web pages"};

// Every text the status line receives, with the bar's position at that moment; recorded by
// subclassing the real status control of a real progress dialog.
std::vector<std::pair<int, std::string>> statusLog;
HWND loggedDialog;
WNDPROC originalStatusProc;

LRESULT CALLBACK RecordingStatusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT) {
    int position = int(SendDlgItemMessageA(loggedDialog, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
    statusLog.emplace_back(position, reinterpret_cast<const char*>(lParam));
  }
  return CallWindowProcA(originalStatusProc, window, message, wParam, lParam);
}

TEST(RunInstallActions, StepsBeforeEachStatusTextInOrder) {
  InitCommonControls();
  SetupContext context("WebPindle", "WebPindle", &kRow, 1, 7579202, 15204285);
  ProgressDialog progress;
  progress.Create(nullptr);
  ASSERT_NE(progress.Handle(), nullptr);
  progress.SetRange(InstallProgressRange(SelectedProductCount()));
  loggedDialog = progress.Handle();
  HWND status = GetDlgItem(loggedDialog, IDC_PROGRESS_STATUS);
  originalStatusProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingStatusProc)));
  statusLog.clear();

  EXPECT_TRUE(RunInstallActions(context, progress));
  EXPECT_STREQ(context.failureReason, "Unknown error");

  std::vector<std::pair<int, std::string>> expected = {
      {1, "Modifying registry..."},
      {2, "Modifying registry..."},
      {3, "Adding to find menu..."},
      {4, "Setup complete..."},
  };
  EXPECT_EQ(statusLog, expected);
  progress.Destroy();
}

TEST(InstallProgressRange, FiveStepsPerProductPlusFour) {
  EXPECT_EQ(InstallProgressRange(1), 9);
  EXPECT_EQ(InstallProgressRange(0), 4);
  EXPECT_EQ(InstallProgressRange(3), 19);
}

}  // namespace
