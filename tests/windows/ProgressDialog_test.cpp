#include "app/ProgressDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/TextTable.h"
#include "resources/resource.h"

namespace {

std::string StatusText(HWND dialog) {
  char text[256] = "";
  GetDlgItemTextA(dialog, IDC_PROGRESS_STATUS, text, sizeof text);
  return text;
}

int BarPosition(HWND dialog) {
  return int(SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
}

TEST(ProgressDialog, TitleRangeStepsAndStatus) {
  InitCommonControls();
  ProgressDialog progress;
  progress.Create(nullptr);
  HWND dialog = progress.Handle();
  ASSERT_NE(dialog, nullptr);
  char title[64] = "";
  GetWindowTextA(dialog, title, sizeof title);
  EXPECT_STREQ(title, "Installing...");
  EXPECT_TRUE(IsWindowVisible(dialog));

  progress.SetRange(9);
  PBRANGE range;
  SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, LPARAM(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 9);
  for (int i = 1; i <= 9; ++i) {
    progress.Step();
    EXPECT_EQ(BarPosition(dialog), i);
  }

  progress.SetStatus("Modifying registry...");
  progress.SetStatus("Setup complete...");
  EXPECT_EQ(StatusText(dialog), "Setup complete...") << "the status line is replaced whole";

  progress.Destroy();
  EXPECT_FALSE(IsWindow(dialog));
  progress.Step();  // on a missing window every call does nothing
  progress.SetStatus("ignored");
}

TEST(ProgressDialog, CentredOnTheScreenByItsClientSize) {
  InitCommonControls();
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
  ProgressDialog progress;
  progress.Create(owner);
  ASSERT_NE(progress.Handle(), nullptr);
  RECT client, desktop, window;
  GetClientRect(progress.Handle(), &client);
  GetWindowRect(GetDesktopWindow(), &desktop);
  GetWindowRect(progress.Handle(), &window);
  EXPECT_EQ(window.left, (desktop.right - client.right) / 2);
  EXPECT_EQ(window.top, (desktop.bottom - client.bottom) / 2);
  EXPECT_EQ(GetWindow(progress.Handle(), GW_OWNER), owner) << "owned by the window it was made over";
  progress.Destroy();
  DestroyWindow(owner);
}

TEST(CentredPosition, TruncatesTowardZero) {
  RECT desktop = {0, 0, 1024, 768};
  RECT client = {0, 0, 281, 93};
  POINT p = CentredPosition(client, desktop);
  EXPECT_EQ(p.x, 371);
  EXPECT_EQ(p.y, 337);
  RECT wide = {0, 0, 1100, 800};
  p = CentredPosition(wide, desktop);
  EXPECT_EQ(p.x, -38);
  EXPECT_EQ(p.y, -16);
}

}  // namespace
