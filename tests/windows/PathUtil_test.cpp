#include "app/PathUtil.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/WineTest.h"

namespace {

TEST(CreatePath, MakesEveryMissingFolder) {
  ScratchFolder scratch("pindle-createpath");
  std::string deep = scratch / "a\\b\\c";
  EXPECT_TRUE(CreatePath(deep.c_str()));
  EXPECT_TRUE(IsFolder(scratch / "a"));
  EXPECT_TRUE(IsFolder(deep));
  EXPECT_TRUE(CreatePath((deep + "\\").c_str())) << "an existing folder, with a final backslash";
  EXPECT_TRUE(CreatePath("C:\\")) << "a drive root creates nothing";
}

TEST(CreatePath, RefusesWhatItCannotMake) {
  ScratchFolder scratch("pindle-createpath-refused");
  std::string file = scratch / "file.txt";
  ASSERT_TRUE(WriteFileBytes(file, "x", 1));
  std::string tooLong = scratch.path() + "\\" + std::string(300, 'x');
  struct {
    const char* what;
    std::string path;
  } cases[] = {
      {"relative path", "dir\\sub"},
      {"empty path", ""},
      {"a file in the way", file + "\\sub"},
      {"longer than a path buffer", tooLong},
  };
  for (const auto& c : cases) EXPECT_FALSE(CreatePath(c.path.c_str())) << c.what;
  EXPECT_FALSE(FileExists(file + "\\sub"));
}

TEST(DeleteMatchingFiles, DeletesMatchingFilesOfOneFolderOnly) {
  ScratchFolder scratch("pindle-deletematching");
  for (const char* name : {"a.pnz", "b.PNZ", "keep.txt"}) ASSERT_TRUE(WriteFileBytes(scratch / name, "x", 1));
  ASSERT_TRUE(CreateDirectoryA((scratch / "folder.pnz").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(scratch / "folder.pnz\\inner.pnz", "x", 1));

  DeleteMatchingFiles(scratch.path().c_str(), "*.pnz");
  EXPECT_FALSE(FileExists(scratch / "a.pnz"));
  EXPECT_FALSE(FileExists(scratch / "b.PNZ"));
  EXPECT_TRUE(FileExists(scratch / "keep.txt"));
  EXPECT_TRUE(FileExists(scratch / "folder.pnz\\inner.pnz")) << "sub-folders are not searched";

  DeleteMatchingFiles((scratch / "nothing here").c_str(), "*.*");  // reports nothing
}

TEST(CompanyTempFolder, TemporaryFolderJoinedWithMorvane) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  char buffer[MAX_PATH];
  memset(buffer, 0x5A, sizeof buffer);
  ASSERT_TRUE(CompanyTempFolder(buffer, sizeof buffer));
  EXPECT_EQ(std::string(buffer), std::string(temp) + "morvane");
  char small[8];
  EXPECT_FALSE(CompanyTempFolder(small, sizeof small));
}

}  // namespace
