#include "install/PayloadExtractor.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/PathUtil.h"
#include "app/RunSetup.h"
#include "tests/support/InstallTest.h"

namespace {

typedef std::vector<std::pair<int, std::string>> StatusLog;

const std::string kFiles = PINDLE_PAYLOAD_FILES;
const std::string kSources = PINDLE_PAYLOAD_SOURCES;

std::vector<uint8_t> Original(const std::string& folder, const char* name) {
  return ReadFileBytes(HostPath(folder + "/" + name));
}

std::vector<uint8_t> Block3072() { return ReadFileBytes(HostPath(PINDLE_BLOCK_3072)); }

// The packed bytes of a resource of this program.
std::vector<uint8_t> ResourceBytes(int identifier) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(identifier), PAYLOAD_RESOURCE_TYPE);
  if (!found) return {};
  const uint8_t* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
  return std::vector<uint8_t>(bytes, bytes + SizeofResource(nullptr, found));
}

const char kSentinel[] = "sentinel: left alone";

TEST(CopyProductFiles, InstallsTheFiveFilesInOrder) {
  ScratchFolder scratch("pindle-copy-five");
  ScratchContext setup(scratch, 1, {0});
  SetupContext& context = setup.context;
  GiveInstallPath(context, 0, scratch / "Program Files\\Morvane\\WebPindle");  // two levels new
  lstrcpyA(context.failureReason, kSentinel);
  RecordedProgress progress(9);
  ASSERT_TRUE(progress.Ready());
  int temporaryFiles = CountExtractionTempFiles();

  EXPECT_TRUE(CopyProductFiles(context, progress.dialog));
  EXPECT_STREQ(context.failureReason, kSentinel) << "success leaves the reason alone";
  StatusLog expected = {{1, "Decompressing NetPindle.dll..."},
                        {2, "Decompressing WebPindle.exe..."},
                        {3, "Decompressing WebPindle.hlp..."},
                        {4, "Decompressing WebPindle.cnt..."},
                        {5, "Decompressing uninstall..."}};
  EXPECT_EQ(progress.log, expected);

  std::string folder = scratch / "Program Files\\Morvane\\WebPindle";
  struct {
    std::string installed;
    std::vector<uint8_t> original;
  } files[] = {
      {context.extensionDllPath, Original(kFiles, "NetPindle.dll")},
      {folder + "\\WebPindle.exe", Original(kFiles, "WebPindle.exe")},
      {folder + "\\WebPindle.hlp", Original(kSources, "WebPindle.hlp")},
      {folder + "\\WebPindle.cnt", Original(kSources, "WebPindle.cnt")},
      {context.products[0].uninstallerPath, Original(kFiles, "WebPindleUninstall.exe")},
  };
  for (const auto& f : files) {
    ASSERT_FALSE(f.original.empty()) << "the build's file for " << f.installed;
    std::vector<uint8_t> installed = ReadFileBytes(f.installed);
    EXPECT_EQ(installed.size(), f.original.size()) << f.installed;
    EXPECT_TRUE(installed == f.original) << f.installed << " holds other bytes";
  }
  EXPECT_EQ(CountExtractionTempFiles(), temporaryFiles) << "temporary files left behind";
}

// A shell extension already there stays as it is, whatever it holds, while the bar still
// steps with its status; an earlier program is overwritten.
TEST(CopyProductFiles, KeepsTheShellExtensionAndOverwritesTheProgram) {
  ScratchFolder scratch("pindle-copy-existing");
  ScratchContext setup(scratch, 1, {0});
  SetupContext& context = setup.context;
  ASSERT_TRUE(CreatePath(context.products[0].installPath));
  const char kOldExtension[] = "an older shell extension";
  ASSERT_TRUE(WriteFileBytes(context.extensionDllPath, kOldExtension, sizeof kOldExtension));
  std::string program = std::string(context.products[0].installPath) + "\\WebPindle.exe";
  std::vector<uint8_t> longer(300000, 0xEE);  // longer than the new one: truncated, not patched
  ASSERT_TRUE(WriteFileBytes(program, longer.data(), longer.size()));
  RecordedProgress progress(9);
  ASSERT_TRUE(progress.Ready());

  EXPECT_TRUE(CopyProductFiles(context, progress.dialog));
  std::vector<uint8_t> extension = ReadFileBytes(context.extensionDllPath);
  EXPECT_EQ(std::string(extension.begin(), extension.end()),
            std::string(kOldExtension, sizeof kOldExtension));
  ASSERT_FALSE(progress.log.empty());
  EXPECT_EQ(progress.log[0], std::make_pair(1, std::string("Decompressing NetPindle.dll...")));
  EXPECT_EQ(progress.log.size(), 5u);
  EXPECT_TRUE(ReadFileBytes(program) == Original(kFiles, "WebPindle.exe"));
}

// Two products: the shell extension row runs for each; the second time the file is there.
TEST(CopyProductFiles, SecondProductFindsTheShellExtension) {
  ScratchFolder scratch("pindle-copy-two");
  ScratchContext setup(scratch, 2, {0, 1});
  SetupContext& context = setup.context;
  RecordedProgress progress(14);
  ASSERT_TRUE(progress.Ready());

  EXPECT_TRUE(CopyProductFiles(context, progress.dialog));
  ASSERT_EQ(progress.log.size(), 10u);
  EXPECT_EQ(progress.log[5], std::make_pair(6, std::string("Decompressing NetPindle.dll...")));
  EXPECT_EQ(progress.log[9], std::make_pair(10, std::string("Decompressing uninstall...")));
  EXPECT_TRUE(ReadFileBytes(context.extensionDllPath) == Original(kFiles, "NetPindle.dll"));
  // Product 1's resources expand to 3072 bytes: three full buffers, then a read of nothing.
  std::vector<uint8_t> block = Block3072();
  ASSERT_EQ(block.size(), 3072u);
  std::string folder = context.products[1].installPath;
  for (const char* name : {"WebPindle.exe", "WebPindle.hlp", "WebPindle.cnt"}) {
    EXPECT_TRUE(ReadFileBytes(folder + "\\" + name) == block) << name;
  }
  EXPECT_TRUE(ReadFileBytes(context.products[1].uninstallerPath) == block);
}

// Every failure names its cause, stops at once and leaves no temporary file.
TEST(CopyProductFiles, FailuresNameTheirCause) {
  ScratchFolder scratch("pindle-copy-failures");
  ASSERT_TRUE(WriteFileBytes(scratch / "a file", "x", 1));
  const std::string uninstaller3 = scratch / "windows\\Uninstall3.exe";
  struct Case {
    const char* what;
    uint32_t product;
    std::string installPath;  // empty: scratch\product<k>
    bool holdProgram;         // the program file open elsewhere without sharing
    std::string reason;
    size_t statusTexts;
    const char* lastStatus;
  } cases[] = {
      // 0
      {"install folder under a file", 0, scratch / "a file\\WebPindle", false,
       "Unable to create destination directory", 0, nullptr},
      // 1
      {"program held open without sharing", 0, "", true, "Unable to copy WebPindle.exe", 2,
       "Decompressing WebPindle.exe..."},
      // 2
      {"help contents resource missing", 2, "", false, "Unable to copy WebPindle.cnt", 4,
       "Decompressing WebPindle.cnt..."},
      // 3
      {"uninstaller resource missing", 3, "", false, "Unable to copy " + uninstaller3, 5,
       "Decompressing uninstall..."},
      // 4
      {"no resources at all", 9, "", false, "Unable to copy WebPindle.exe", 2,
       "Decompressing WebPindle.exe..."},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const Case& c = cases[i];
    ScratchContext setup(scratch, 10, {c.product});
    SetupContext& context = setup.context;
    if (!c.installPath.empty()) GiveInstallPath(context, c.product, c.installPath);
    HANDLE held = INVALID_HANDLE_VALUE;
    if (c.holdProgram) {
      ASSERT_TRUE(CreatePath(context.products[c.product].installPath));
      std::string program = std::string(context.products[c.product].installPath) + "\\WebPindle.exe";
      held = CreateFileA(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(held, INVALID_HANDLE_VALUE) << i;
    }
    RecordedProgress progress(9);
    ASSERT_TRUE(progress.Ready());
    int temporaryFiles = CountExtractionTempFiles();

    EXPECT_FALSE(CopyProductFiles(context, progress.dialog)) << i << " " << c.what;
    EXPECT_EQ(std::string(context.failureReason), c.reason) << i << " " << c.what;
    ASSERT_EQ(progress.log.size(), c.statusTexts) << i << " " << c.what;
    if (c.lastStatus) {
      EXPECT_EQ(progress.log.back(), std::make_pair(int(c.statusTexts), std::string(c.lastStatus)))
          << i << " " << c.what;
    }
    EXPECT_EQ(CountExtractionTempFiles(), temporaryFiles) << i << " " << c.what;
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  }
}

TEST(PayloadExtractor, ExtractResource) {
  ScratchFolder scratch("pindle-extract-resource");
  PayloadExtractor extractor;
  int temporaryFiles = CountExtractionTempFiles();

  std::string block = scratch / "block.txt";
  EXPECT_TRUE(extractor.ExtractResource(2000, block.c_str())) << "3072 bytes: 3 x 1024";
  EXPECT_TRUE(ReadFileBytes(block) == Block3072());
  EXPECT_TRUE(extractor.ExtractResource(0x10000 + 2000, block.c_str())) << "the low 16 bits count";

  std::string missing = scratch / "missing.txt";
  EXPECT_FALSE(extractor.ExtractResource(2002 + 1000, missing.c_str()));
  EXPECT_FALSE(FileExists(missing)) << "nothing is created for a missing resource";
  EXPECT_FALSE(extractor.ExtractResource(1000, (scratch / "no folder\\WebPindle.exe").c_str()));
  EXPECT_EQ(CountExtractionTempFiles(), temporaryFiles);
}

TEST(PayloadExtractor, Expand) {
  ScratchFolder scratch("pindle-expand");
  std::vector<uint8_t> packed = ResourceBytes(1000);
  ASSERT_GT(packed.size(), 100u);
  std::vector<uint8_t> program = Original(kFiles, "WebPindle.exe");
  std::vector<uint8_t> cut(packed.begin(), packed.end() - 40);
  const char kPlain[] = "not packed at all";
  ASSERT_TRUE(WriteFileBytes(scratch / "packed", packed.data(), packed.size()));
  ASSERT_TRUE(WriteFileBytes(scratch / "cut", cut.data(), cut.size()));
  ASSERT_TRUE(WriteFileBytes(scratch / "plain", kPlain, sizeof kPlain));
  struct {
    const char* what;
    const char* source;
    const char* destination;
    bool expanded;
    std::vector<uint8_t> result;  // of the destination; empty: must not exist
  } cases[] = {
      // 0: an existing destination is replaced.
      {"packed", "packed", "existing", true, program},
      // 1: a packed file cut short expands without error, only shorter: refused and removed.
      {"cut short", "cut", "from cut", false, {}},
      // 2: a file without the SZDD header passes through as it is.
      {"plain", "plain", "from plain", true, std::vector<uint8_t>(kPlain, kPlain + sizeof kPlain)},
      // 3
      {"missing source", "missing", "from missing", false, {}},
      // 4
      {"destination in a missing folder", "packed", "no folder\\x", false, {}},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const auto& c = cases[i];
    std::string destination = scratch / c.destination;
    ASSERT_TRUE(WriteFileBytes(scratch / "existing", kSentinel, sizeof kSentinel));
    SetLastError(ERROR_FILE_NOT_FOUND);  // left by an earlier call: must not count
    PayloadExtractor extractor;
    EXPECT_EQ(extractor.Expand((scratch / c.source).c_str(), destination.c_str()), c.expanded)
        << i << " " << c.what;
    if (c.result.empty()) {
      EXPECT_FALSE(FileExists(destination)) << i << " " << c.what;
    } else {
      EXPECT_TRUE(ReadFileBytes(destination) == c.result) << i << " " << c.what;
    }
  }
}

TEST(ProductFilePath, JoinsTheInstallFolderAndTheName) {
  ScratchFolder scratch("pindle-product-file-path");
  ScratchContext setup(scratch, 2, {0});
  SetupContext& context = setup.context;
  std::string tooLong = "C:\\" + std::string(250, 'f');  // fits; with the name it would not
  struct {
    const char* installPath;  // null: none yet
    const char* expected;
  } cases[] = {
      {"C:\\Program Files\\Morvane\\WebPindle", "C:\\Program Files\\Morvane\\WebPindle\\WebPindle.exe"},
      {"C:\\Apps\\", "C:\\Apps\\WebPindle.exe"},
      {nullptr, ""},
      {tooLong.c_str(), ""},
  };
  for (const auto& c : cases) {
    if (c.installPath) {
      GiveInstallPath(context, 1, c.installPath);
    } else {
      ReleaseText(context.products[1].installPath);
      context.products[1].installPath = nullptr;
    }
    EXPECT_STREQ(ProductFilePath(context, 1, "WebPindle.exe"), c.expected)
        << (c.installPath ? c.installPath : "(none)");
  }
  EXPECT_STREQ(ProductFilePath(context, 7, "WebPindle.exe"), "") << "no such product";
}

TEST(LoadSidePicture, ReadsThePictureAndDeletesTheFile) {
  char folder[MAX_PATH], file[MAX_PATH];
  GetTempPathA(sizeof folder, folder);
  ASSERT_TRUE(GetTempFileNameA(folder, "PD", 0, file));
  int temporaryFiles = CountExtractionTempFiles();  // this file among them
  HBITMAP picture = LoadSidePicture(file);
  ASSERT_NE(picture, nullptr);
  DIBSECTION dib;
  ASSERT_EQ(GetObjectA(picture, sizeof dib, &dib), int(sizeof dib));
  EXPECT_EQ(dib.dsBm.bmWidth, 120);
  EXPECT_EQ(dib.dsBm.bmHeight, 228);
  EXPECT_EQ(dib.dsBmih.biBitCount, 8);
  DeleteObject(picture);
  EXPECT_FALSE(FileExists(file));
  EXPECT_EQ(CountExtractionTempFiles(), temporaryFiles - 1);

  std::string nowhere = std::string(folder) + "no such folder\\PD1.tmp";
  EXPECT_EQ(LoadSidePicture(nowhere.c_str()), nullptr);
  EXPECT_EQ(CountExtractionTempFiles(), temporaryFiles - 1);
}

}  // namespace
