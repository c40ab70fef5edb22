// The test driver as a command:
//   pindle-driver walk <screenshot folder> <setup.exe>
// starts the setup, goes through it with its defaults as a user would (the default button
// of every message box; Next, then Finish, on every wizard page), saves a screenshot of
// each screen as NN-<name>.bmp and ends with the setup's exit code.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>

#include <string>

#include "tests/driver/Driver.h"
#include "tests/support/WineTest.h"

namespace {

const int kWizardNext = 12324;
const int kWizardFinish = 12325;
const int kMessageBoxButtons[] = {IDOK, IDYES};

std::string Slug(const std::string& text) {
  std::string slug;
  for (char c : text) {
    if (slug.size() >= 40) break;
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (plain) {
      slug += c;
    } else if (!slug.empty() && slug.back() != '-') {
      slug += '-';
    }
  }
  while (!slug.empty() && slug.back() == '-') slug.pop_back();
  return slug.empty() ? "screen" : slug;
}

// The screen the user sees now, as a name, and the window that takes the next press.
std::string CurrentScreen(DWORD processId, HWND* target, bool* isMessageBox) {
  *target = nullptr;
  *isMessageBox = false;
  driver::MessageBoxInfo box;
  if (driver::WaitForMessageBox(processId, &box, 0)) {
    *target = box.window;
    *isMessageBox = true;
    return box.title + " - " + box.text;
  }
  for (HWND window : driver::TopLevelWindows(processId)) {
    if (driver::ClassName(window) != "#32770" || !GetDlgItem(window, kWizardNext)) continue;
    *target = window;
    HWND page = reinterpret_cast<HWND>(SendMessageA(window, PSM_GETCURRENTPAGEHWND, 0, 0));
    char id[16];
    snprintf(id, sizeof id, "%d", int(SendMessageA(window, PSM_HWNDTOINDEX, WPARAM(page), 0)));
    return driver::WindowText(window) + " page " + id;
  }
  return std::string();
}

int Walk(const std::string& folder, const std::string& setup) {
  driver::Process process;
  if (!process.Start(setup)) {
    fprintf(stderr, "cannot start %s\n", setup.c_str());
    return 2;
  }
  std::string last;
  HWND lastMessageBox = nullptr;
  int shot = 0;
  DWORD start = GetTickCount();
  while (process.IsRunning() && GetTickCount() - start < 120000) {
    HWND target;
    bool isMessageBox;
    std::string screen = CurrentScreen(process.Id(), &target, &isMessageBox);
    // A message box already answered may linger for a moment while it closes.
    if (screen.empty() || screen == last || (isMessageBox && target == lastMessageBox)) {
      Sleep(50);
      continue;
    }
    last = screen;
    if (isMessageBox) lastMessageBox = target;
    driver::Settle(process.Id());
    driver::Screenshot picture;
    char name[64];
    snprintf(name, sizeof name, "\\%02d-", ++shot);
    std::string path = folder + name + Slug(screen) + ".bmp";
    if (picture.Capture() && picture.Save(path)) printf("screen %d: %s\n", shot, screen.c_str());
    if (isMessageBox) {
      for (int button : kMessageBoxButtons) {
        if (driver::AnswerMessageBox({target, nullptr, "", ""}, button)) break;
      }
    } else if (!driver::PressButton(target, kWizardNext)) {
      driver::PressButton(target, kWizardFinish);
    }
  }
  long code = process.WaitForExit(5000);
  printf("setup ended with exit code %ld\n", code);
  return int(code);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "walk") return Walk(argv[2], HostPath(argv[3]));
  fprintf(stderr, "usage: pindle-driver walk <screenshot folder> <setup.exe>\n");
  return 2;
}
