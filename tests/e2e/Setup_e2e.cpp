// setup.exe from start to end, as a user sees it.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <array>
#include <string>
#include <vector>

#include "tests/driver/Driver.h"
#include "tests/support/BitmapBuilder.h"
#include "tests/support/RegistryTest.h"
#include "tests/support/WineTest.h"

namespace {

const char kBackgroundClass[] = "PINDLESETUPWNDCLASS";
const char kCaption[] = "WebPindle Installation";

std::string SystemFolder() {
  char folder[MAX_PATH];
  GetSystemDirectoryA(folder, sizeof folder);
  return folder;
}

std::string WindowsFolder() {
  char folder[MAX_PATH];
  GetWindowsDirectoryA(folder, sizeof folder);
  return folder;
}

const char kInstallFolder[] = "C:\\Program Files\\Morvane\\WebPindle";

// Where each file of an installation lands, and where the build keeps its original.
struct InstalledFile {
  std::string path;
  std::string original;
};

std::vector<InstalledFile> InstalledFiles() {
  std::string built = HostPath(getenv("PINDLE_PAYLOAD_FILES"));
  std::string sources = HostPath(getenv("PINDLE_PAYLOAD_SOURCES"));
  std::string folder = kInstallFolder;
  return {
      {SystemFolder() + "\\NetPindle.dll", built + "\\NetPindle.dll"},
      {folder + "\\WebPindle.exe", built + "\\WebPindle.exe"},
      {folder + "\\WebPindle.hlp", sources + "\\WebPindle.hlp"},
      {folder + "\\WebPindle.cnt", sources + "\\WebPindle.cnt"},
      {WindowsFolder() + "\\WebPindleUninstall.exe", built + "\\WebPindleUninstall.exe"},
  };
}

// Every test starts and ends without the product family's registry tree and installed
// files, and leaves no temporary file of the setup behind.
class Setup : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveInstallation();
    tempFilesBefore_ = CountExtractionTempFiles();
  }
  void TearDown() override {
    EXPECT_EQ(CountExtractionTempFiles(), tempFilesBefore_) << "temporary files left behind";
    RemoveInstallation();
  }
  static void RemoveInstallation() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Morvane");
    for (const InstalledFile& file : InstalledFiles()) DeleteFileA(file.path.c_str());
    RemoveDirectoryA(kInstallFolder);
    RemoveDirectoryA("C:\\Program Files\\Morvane");
    DeleteFileA("C:\\Program Files\\Morvane");
  }

 private:
  int tempFilesBefore_ = 0;
};

// A setup program of the build (variable PINDLE_SETUP, or a variant's variable), copied
// under the given name into a scratch folder.
std::string CopySetup(const ScratchFolder& folder, const char* name,
                      const char* variable = "PINDLE_SETUP") {
  const char* built = getenv(variable);
  std::string copy = folder / name;
  if (!built || !CopyFileA(HostPath(built).c_str(), copy.c_str(), FALSE)) return "";
  return copy;
}

// Colour of gradient band i of the product's colours (the band table of the background).
COLORREF Band(int i) {
  struct Rgb {
    int band, r, g, b;
  } table[] = {{0, 189, 255, 231}, {1, 188, 254, 230}, {12, 182, 248, 224},
               {127, 119, 190, 159}, {191, 84, 157, 122}};
  for (const Rgb& t : table) {
    if (t.band == i) return RGB(t.r, t.g, t.b);
  }
  return CLR_INVALID;
}

// A 24-bit picture of one colour with another colour in its bottom-right pixel.
bool WritePicture(const std::string& path, int width, int height, COLORREF fill, COLORREF corner) {
  std::vector<uint8_t> file = Make24BitBitmap(width, height, [&](int x, int y) {
    COLORREF c = (x == width - 1 && y == height - 1) ? corner : fill;
    return std::array<uint8_t, 3>{GetRValue(c), GetGValue(c), GetBValue(c)};
  });
  return WriteFileBytes(path, file.data(), file.size());
}

// Runs the setup until its final message box, checks the box, captures the screen with
// the background behind it, answers OK and checks the exit code.
struct Completed {
  driver::MessageBoxInfo box;
  driver::Screenshot screen;
  HWND background = nullptr;
  RECT backgroundClient = {};
  POINT backgroundOrigin = {};
  long exitCode = -1;
};

void RunToCompletion(const std::string& setup, Completed* run, LPCSTR icon = IDI_INFORMATION) {
  driver::Process process;
  ASSERT_TRUE(process.Start(setup)) << setup;
  ASSERT_TRUE(driver::WaitForMessageBox(process.Id(), &run->box)) << "no message box appeared";
  run->background = driver::FindProcessWindow(process.Id(), kBackgroundClass);
  ASSERT_NE(run->background, nullptr) << "no background window";
  GetClientRect(run->background, &run->backgroundClient);
  ClientToScreen(run->background, &run->backgroundOrigin);
  driver::Settle(process.Id());
  ASSERT_TRUE(run->screen.Capture());
  EXPECT_TRUE(driver::MessageBoxShowsIcon(run->box, icon)) << "the report's icon";
  EXPECT_TRUE(driver::AnswerMessageBox(run->box, IDOK));
  run->exitCode = process.WaitForExit();
  driver::MessageBoxInfo another;
  EXPECT_FALSE(driver::WaitForMessageBox(process.Id(), &another, 0)) << another.text;
}

void ExpectPixel(const driver::Screenshot& screen, int x, int y, COLORREF expected, const char* what) {
  EXPECT_EQ(driver::ColourText(screen.Pixel(x, y)), driver::ColourText(expected))
      << what << " at (" << x << ", " << y << ")";
}

TEST_F(Setup, CoversTheScreenWithTheGradientAndReportsCompletion) {
  ScratchFolder folder("pindle-e2e-plain");
  std::string setup = CopySetup(folder, "setup.exe");
  ASSERT_FALSE(setup.empty());
  Completed run;
  ASSERT_NO_FATAL_FAILURE(RunToCompletion(setup, &run));

  EXPECT_EQ(run.box.title, kCaption);
  EXPECT_EQ(run.box.text, "Installation complete.");
  EXPECT_EQ(run.box.owner, run.background) << "the background window owns the report";
  EXPECT_EQ(run.backgroundOrigin.x, 0);
  EXPECT_EQ(run.backgroundOrigin.y, 0);
  EXPECT_EQ(run.backgroundClient.right, 1024);
  EXPECT_EQ(run.backgroundClient.bottom, 768);

  // Band height 4 on a 768-pixel screen: band i covers rows 4i to 4i + 3.
  for (int band : {0, 1, 12, 127, 191}) {
    for (int x : {0, 1000}) ExpectPixel(run.screen, x, band * 4 + 2, Band(band), "gradient band");
  }
  ExpectPixel(run.screen, 5, 767, Band(191), "lowest visible band");
  EXPECT_EQ(run.exitCode, 0);
}

// A picture beside the program is drawn when the program's name ends in ".exe", in any case;
// its name is the program's with ".bmp" in place of ".exe".
TEST_F(Setup, DrawsThePictureNamedLikeTheProgram) {
  const COLORREF kFill = RGB(200, 16, 16), kCorner = RGB(16, 16, 200);
  const struct {
    const char* program;
    const char* picture;
    bool drawn;
  } cases[] = {
      /* 0 */ {"SETUP.EXE", "SETUP.bmp", true},
      /* 1 */ {"setup.bin", "setup.bmp", false},
  };
  for (const auto& c : cases) {
    ScratchFolder folder("pindle-e2e-picture");
    std::string setup = CopySetup(folder, c.program);
    ASSERT_FALSE(setup.empty()) << c.program;
    ASSERT_TRUE(WritePicture(folder / c.picture, 64, 48, kFill, kCorner));
    Completed run;
    ASSERT_NO_FATAL_FAILURE(RunToCompletion(setup, &run)) << c.program;
    EXPECT_EQ(run.exitCode, 0) << c.program;
    if (!c.drawn) {
      ExpectPixel(run.screen, 0, 2, Band(0), "no picture: gradient at the top left");
      continue;
    }
    ExpectPixel(run.screen, 0, 0, kFill, "picture at the top left");
    ExpectPixel(run.screen, 63, 47, kCorner, "picture's bottom-right pixel, unscaled");
    ExpectPixel(run.screen, 64, 2, Band(0), "gradient right of the picture");
    ExpectPixel(run.screen, 2, 48 + 2, Band(12), "gradient below the picture");
  }
}

std::string Text(const RawValue& value) {
  return value.found && value.type == REG_SZ ? std::string(value.bytes.begin(), value.bytes.end())
                                             : std::string("(no text)");
}

uint32_t Number(const RawValue& value) {
  uint32_t number = 0xdeadbeef;
  if (value.found && value.type == REG_DWORD && value.bytes.size() == 4) memcpy(&number, value.bytes.data(), 4);
  return number;
}

TEST_F(Setup, StoresTheDistributorAndTheProductsScript) {
  ScratchFolder folder("pindle-e2e-registry");
  std::string setup = CopySetup(folder, "setup.exe");
  ASSERT_FALSE(setup.empty());
  Completed run;
  ASSERT_NO_FATAL_FAILURE(RunToCompletion(setup, &run));
  EXPECT_EQ(run.exitCode, 0);

  std::string web = FamilyPath("Web"), browser = FamilyPath("Browser");
  EXPECT_EQ(Text(ReadRawValue(HKEY_CURRENT_USER, web, "Distributor")), std::string("Morvane", 8));
  EXPECT_EQ(Number(ReadRawValue(HKEY_CURRENT_USER, web, "RegistryVersion")), 40u);
  EXPECT_EQ(Number(ReadRawValue(HKEY_CURRENT_USER, web, "DefaultEngine")), 6u)
      << "the stored 1 converted by the script's index statement";
  RawValue engines = ReadRawValue(HKEY_CURRENT_USER, web, "InstalledEngines");
  EXPECT_EQ(engines.type, DWORD(REG_MULTI_SZ));
  EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, web, "Veronica Servers").found);
  EXPECT_EQ(Text(ReadRawValue(HKEY_CURRENT_USER, browser, "NetscapeOpenArguments")),
            std::string("\"%u\",,-1,,,,,", 14));
}

TEST_F(Setup, FaultyScriptFailsTheInstallationInOneMessage) {
  ScratchFolder folder("pindle-e2e-faulty");
  std::string setup = CopySetup(folder, "setup.exe", "PINDLE_SETUP_FAULTY_SCRIPT");
  ASSERT_FALSE(setup.empty());
  Completed run;
  ASSERT_NO_FATAL_FAILURE(RunToCompletion(setup, &run, IDI_ERROR));
  EXPECT_EQ(run.box.title, kCaption);
  EXPECT_EQ(run.box.text, "Installation failed - Unable to update search grammars.");
  EXPECT_EQ(run.exitCode, 0);
}

TEST_F(Setup, PutsEveryFileInPlaceAndAgainOverAnInstallation) {
  ScratchFolder folder("pindle-e2e-files");
  std::string setup = CopySetup(folder, "setup.exe");
  ASSERT_FALSE(setup.empty());
  for (int run = 1; run <= 2; ++run) {
    Completed completed;
    ASSERT_NO_FATAL_FAILURE(RunToCompletion(setup, &completed));
    EXPECT_EQ(completed.box.text, "Installation complete.") << "run " << run;
    EXPECT_EQ(completed.exitCode, 0) << "run " << run;
    for (const InstalledFile& file : InstalledFiles()) {
      std::vector<uint8_t> installed = ReadFileBytes(file.path);
      EXPECT_FALSE(installed.empty()) << file.path << " after run " << run;
      EXPECT_TRUE(installed == ReadFileBytes(file.original))
          << file.path << " differs from " << file.original << " after run " << run;
    }
  }
}

TEST_F(Setup, LeavesAShellExtensionAlreadyPresent) {
  ScratchFolder folder("pindle-e2e-extension");
  std::string setup = CopySetup(folder, "setup.exe");
  ASSERT_FALSE(setup.empty());
  std::string extension = SystemFolder() + "\\NetPindle.dll";
  ASSERT_TRUE(WriteFileBytes(extension, "an older shell extension", 24));
  Completed run;
  ASSERT_NO_FATAL_FAILURE(RunToCompletion(setup, &run));
  EXPECT_EQ(run.box.text, "Installation complete.");
  std::vector<uint8_t> kept = ReadFileBytes(extension);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "an older shell extension");
}

// Setups that cannot copy a file, and the one message each shows.
TEST_F(Setup, CopyFailuresAreReportedWithTheirReason) {
  const struct {
    const char* variable;
    bool blockFolder;
    std::string message;
  } cases[] = {
      /* 0 */ {"PINDLE_SETUP_WITHOUT_HELP_CONTENTS", false,
               "Installation failed - Unable to copy WebPindle.cnt."},
      /* 1 */ {"PINDLE_SETUP_WITHOUT_UNINSTALLER", false,
               "Installation failed - Unable to copy " + WindowsFolder() + "\\WebPindleUninstall.exe."},
      /* 2 */ {"PINDLE_SETUP", true, "Installation failed - Unable to create destination directory."},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    RemoveInstallation();
    ScratchFolder folder("pindle-e2e-copyfailure");
    std::string setup = CopySetup(folder, "setup.exe", cases[i].variable);
    ASSERT_FALSE(setup.empty()) << "case " << i;
    if (cases[i].blockFolder) {
      // A file where the company folder should be: the install folder cannot be made.
      ASSERT_TRUE(WriteFileBytes("C:\\Program Files\\Morvane", "x", 1));
    }
    Completed run;
    ASSERT_NO_FATAL_FAILURE(RunToCompletion(setup, &run, IDI_ERROR)) << "case " << i;
    EXPECT_EQ(run.box.text, cases[i].message) << "case " << i;
    EXPECT_EQ(run.exitCode, 0) << "case " << i;
  }
}

TEST_F(Setup, TooLittleTemporarySpaceStopsBeforeAnythingIsShown) {
  if (GetDriveTypeA("T:\\") == DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "no small drive T: (cannot mount)";
  ScratchFolder folder("pindle-e2e-tempspace");
  std::string setup = CopySetup(folder, "setup.exe");
  ASSERT_FALSE(setup.empty());
  driver::Process process;
  ASSERT_TRUE(process.Start(setup, {"TEMP=T:\\", "TMP=T:\\"}));
  driver::MessageBoxInfo box;
  ASSERT_TRUE(driver::WaitForMessageBox(process.Id(), &box));
  EXPECT_EQ(box.title, kCaption);
  EXPECT_EQ(box.text, "Insufficient free drive space to complete installation.");
  EXPECT_EQ(box.owner, nullptr) << "no window exists yet to own the message";
  EXPECT_EQ(driver::FindProcessWindow(process.Id(), kBackgroundClass), nullptr);
  driver::Settle(process.Id());
  EXPECT_TRUE(driver::MessageBoxShowsIcon(box, IDI_ERROR)) << "error icon";
  EXPECT_TRUE(driver::AnswerMessageBox(box, IDOK));
  EXPECT_EQ(process.WaitForExit(), 0);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("T:\\PD*.tmp", &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left on T:";
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

}  // namespace
