#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "designer/FolderRules.h"

namespace {
using Names = std::vector<std::wstring>;

// A build folder of the kind a release pipeline leaves.
class FolderRuleTest : public ::testing::Test {
 protected:
  FolderRuleTest() {
    for (const wchar_t* folder : {L"bin", L"bin\\tests", L"bin\\tests\\data", L"bin\\Plugins",
                                  L"bin\\plugins-old", L"bin\\obj"})
      CreateDirectoryW((dir / folder).c_str(), nullptr);
    for (const wchar_t* file :
         {L"bin\\b.dll", L"bin\\App.exe", L"bin\\a.pdb", L"bin\\c.txt", L"bin\\tests\\t.exe",
          L"bin\\tests\\data\\d.bin", L"bin\\Plugins\\z.dll", L"bin\\Plugins\\Z.pdb",
          L"bin\\plugins-old\\p.dll", L"bin\\obj\\o.obj"})
      WriteTextFile(dir / file, Narrow(file));
    rule.SourceFolder = dir / L"bin";
  }

  Names Sources(const std::vector<FileEntry>& rows) const {
    Names names;
    for (const FileEntry& row : rows) names.push_back(row.RuleName);
    return names;
  }

  TempDir dir;
  FolderRule rule;
};
}  // namespace

TEST_F(FolderRuleTest, TakesEveryFileBelowTheFolderFilesFirstByNameInAnyCase) {
  const std::vector<FileEntry> rows = FolderRuleFiles(rule, 3);
  EXPECT_EQ(Sources(rows), (Names{L"a.pdb", L"App.exe", L"b.dll", L"c.txt", L"obj\\o.obj",
                                  L"Plugins\\z.dll", L"Plugins\\Z.pdb", L"plugins-old\\p.dll",
                                  L"tests\\t.exe", L"tests\\data\\d.bin"}));
  for (const FileEntry& row : rows) {
    EXPECT_EQ(row.Rule, 3);
    EXPECT_EQ(row.RelativeName, row.RuleName);
    EXPECT_EQ(row.SourcePath(), dir / L"bin\\" + row.RuleName);
    EXPECT_EQ(row.Size, static_cast<int64_t>(Narrow(L"bin\\" + row.RuleName).size()));
  }
}

TEST_F(FolderRuleTest, ExclusionsMatchNamesAnywhereOrPathsFromTheFolder) {
  rule.Excludes = {L"*.PDB", L"tests\\*", L"obj", L"plugins-?ld"};
  rule.Destination = L"program\\bin";
  const std::vector<FileEntry> rows = FolderRuleFiles(rule, 0);
  EXPECT_EQ(Sources(rows), (Names{L"App.exe", L"b.dll", L"c.txt", L"Plugins\\z.dll"}));
  EXPECT_EQ(rows.back().RelativeName, L"program\\bin\\Plugins\\z.dll");
  EXPECT_EQ(rows.back().SourcePath(), dir / L"bin\\Plugins\\z.dll");

  EXPECT_TRUE(ExcludePatternMatches(L"tests\\data", L"tests\\data\\d.bin"));
  EXPECT_FALSE(ExcludePatternMatches(L"tests\\data", L"x\\tests\\data\\d.bin"));
  EXPECT_FALSE(ExcludePatternMatches(L"?.dll", L"ab.dll"));
  EXPECT_FALSE(ExcludePatternMatches(L"a?b", L"a\\b"));
  EXPECT_TRUE(ExcludePatternMatches(L"*a*b*c*", L"xxaxxbxxcxx"));
  EXPECT_FALSE(ExcludePatternMatches(L"*.dll", L"b.dll.txt"));
}

TEST_F(FolderRuleTest, AMissingFolderAnEmptyResultOrADestinationOutsideIsRefusedByName) {
  FolderRule missing{dir / L"nowhere", {}, {}};
  EXPECT_THROW(
      {
        try {
          FolderRuleFiles(missing, 0);
        } catch (const FolderRuleError& error) {
          EXPECT_NE(error.Message().find(dir / L"nowhere"), std::wstring::npos);
          throw;
        }
      },
      FolderRuleError);
  rule.Excludes = {L"*"};
  EXPECT_THROW(FolderRuleFiles(rule, 0), FolderRuleError);
  rule.Excludes.clear();
  for (const wchar_t* outside : {L"..\\up", L"a\\..\\..\\b", L"C:\\x", L"\\root", L"a\\\\b"}) {
    rule.Destination = outside;
    EXPECT_THROW(FolderRuleFiles(rule, 0), FolderRuleError) << Narrow(outside);
  }
}

TEST_F(FolderRuleTest, ExpansionReplacesTheRuleRowsAndKeepsSingleRowsFirst) {
  SetupProject project;
  project.Files = {FileEntry{L"readme.txt", dir.Path(), 1}};
  rule.Excludes = {L"*.pdb", L"tests", L"obj", L"plugins*"};
  project.FolderRules = {rule};
  ExpandFolderRules(project);
  ASSERT_EQ(project.Files.size(), 4u);
  WriteTextFile(dir / L"bin\\new.dll", "new");
  ExpandFolderRules(project);  // a second look finds the new file, and nothing twice
  ASSERT_EQ(project.Files.size(), 5u);
  EXPECT_EQ(project.Files[0].RelativeName, L"readme.txt");
  EXPECT_EQ(project.Files[4].RelativeName, L"new.dll");

  // A failing rule leaves the rows as they were, or is reported and skipped.
  project.FolderRules.push_back(FolderRule{dir / L"gone", {}, {}});
  const std::vector<FileEntry> before = project.Files;
  EXPECT_THROW(ExpandFolderRules(project), FolderRuleError);
  EXPECT_EQ(project.Files, before);
  std::vector<std::wstring> problems;
  ExpandFolderRules(project, &problems);
  EXPECT_EQ(project.Files, before);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find(dir / L"gone"), std::wstring::npos);
}
