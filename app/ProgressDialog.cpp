#include "app/ProgressDialog.h"

#include <commctrl.h>

#include "app/TextTable.h"
#include "resources/resource.h"

POINT CentredPosition(const RECT& client, const RECT& desktop) {
  POINT position = {(desktop.right - client.right) / 2, (desktop.bottom - client.bottom) / 2};
  return position;
}

void ProgressDialog::Create(HWND owner) {
  dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS), owner,
                               nullptr, 0);
  if (!dialog_) return;
  SetWindowTextA(dialog_, Texts.progressTitle);
  RECT client, desktop;
  GetClientRect(dialog_, &client);
  GetWindowRect(GetDesktopWindow(), &desktop);
  POINT position = CentredPosition(client, desktop);
  SetWindowPos(dialog_, nullptr, position.x, position.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
  ShowWindow(dialog_, SW_SHOWNORMAL);
  UpdateWindow(dialog_);
  if (owner) UpdateWindow(owner);
}

void ProgressDialog::SetRange(int n) {
  if (!dialog_) return;
  SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
  SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, n));
}

void ProgressDialog::Step() {
  if (dialog_) SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}

void ProgressDialog::SetStatus(const char* text) {
  if (dialog_) SetDlgItemTextA(dialog_, IDC_PROGRESS_STATUS, text);
}

void ProgressDialog::Destroy() {
  if (dialog_) DestroyWindow(dialog_);
  dialog_ = nullptr;
}
