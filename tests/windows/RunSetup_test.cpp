#include "app/RunSetup.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/TextTable.h"
#include "resources/resource.h"
#include "tests/support/RegistryTest.h"

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
  RemoveTestKeys();
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
  RemoveTestKeys();
}

// Every selected product gets "Distributor" in its own key; a product without a registry
// patch script (no resource index x 1000 + 1004) passes the patch action.
TEST(RunInstallActions, DistributorAndRegistryPatchForEverySelectedProduct) {
  RemoveTestKeys();
  InitCommonControls();
  const ProductRow rows[] = {
      kRow,  // index 0: this program carries its script, resource 1004
      {"Mail", "Mail", "MailPindle", "MailPindle.exe", "", "", "", "", "", ""},  // no 2004
      {"News", "News", "NewsPindle", "NewsPindle.exe", "", "", "", "", "", ""},  // deselected
  };
  SetupContext context("WebPindle", "WebPindle", rows, 3, 7579202, 15204285);
  context.selected[2] = 0;
  ProgressDialog progress;
  progress.Create(nullptr);
  progress.SetRange(InstallProgressRange(SelectedProductCount()));

  EXPECT_TRUE(RunInstallActions(context, progress));
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
  progress.Destroy();
  RemoveTestKeys();
}

TEST(InstallProgressRange, FiveStepsPerProductPlusFour) {
  EXPECT_EQ(InstallProgressRange(1), 9);
  EXPECT_EQ(InstallProgressRange(0), 4);
  EXPECT_EQ(InstallProgressRange(3), 19);
}

}  // namespace
