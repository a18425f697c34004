#include <gtest/gtest.h>

#include "designer/SortByExtension.h"

namespace {
std::vector<std::wstring> NamesAfterSort(std::vector<std::wstring> names) {
  std::vector<FileEntry> files;
  for (const std::wstring& name : names) files.push_back(FileEntry{name, L"C:\\src", 1});
  SortFilesByExtension(files);
  std::vector<std::wstring> sorted;
  for (const FileEntry& file : files) sorted.push_back(file.RelativeName);
  return sorted;
}
}  // namespace

TEST(SortByExtension, ExtensionIsTheTextAfterTheLastDotOfTheName) {
  EXPECT_EQ(ExtensionOf(L"b.txt"), L"txt");
  EXPECT_EQ(ExtensionOf(L"archive.tar.gz"), L"gz");
  EXPECT_EQ(ExtensionOf(L"readme"), L"");
  EXPECT_EQ(ExtensionOf(L"old.dir\\file"), L"");
  EXPECT_EQ(ExtensionOf(L"C:file"), L"");
  EXPECT_EQ(ExtensionOf(L"a.b:stream"), L"");
  EXPECT_EQ(ExtensionOf(L"docs\\guide.html"), L"html");
  EXPECT_EQ(ExtensionOf(L"trailing."), L"");
}

TEST(SortByExtension, ComparesBytesCaseSensitivelyShorterFirst) {
  EXPECT_EQ(CompareExtensions(L"a.TXT", L"b.exe"), -1);  // upper case sorts first
  EXPECT_EQ(CompareExtensions(L"a.exe", L"b.EXE"), 1);
  EXPECT_EQ(CompareExtensions(L"readme", L"a.a"), -1);  // empty before every other
  EXPECT_EQ(CompareExtensions(L"a.ex", L"a.exe"), -1);  // a prefix is smaller
  EXPECT_EQ(CompareExtensions(L"x\\one.dll", L"two.dll"), 0);
  // Windows-1251 bytes: Cyrillic (0xC0..0xFF) after Latin, "Ё" (0xA8) before "а" (0xE0).
  EXPECT_EQ(CompareExtensions(L"a.z", L"a.я"), -1);
  EXPECT_EQ(CompareExtensions(L"a.Ё", L"a.а"), -1);
}

TEST(SortByExtension, SortsTheExampleAndKeepsEqualExtensionsInOrder) {
  EXPECT_EQ(NamesAfterSort({L"b.txt", L"A.EXE", L"readme", L"c.exe"}),
            (std::vector<std::wstring>{L"readme", L"A.EXE", L"c.exe", L"b.txt"}));
  EXPECT_EQ(NamesAfterSort({L"z.dll", L"old.dir\\file", L"a.dll", L"m.dll", L"noext"}),
            (std::vector<std::wstring>{L"old.dir\\file", L"noext", L"z.dll", L"a.dll", L"m.dll"}));
}
