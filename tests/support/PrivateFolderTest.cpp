// Private temporary folders: the DACL read back, and the removal.

#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "support/FileSystem.h"
#include "support/Handle.h"
#include "support/PrivateFolder.h"

TEST(PrivateFolder, OnlyTheUserAdministratorsAndSystemMayOpenIt) {
  TempDir dir;
  const std::wstring folder = dir / L"private";
  ASSERT_EQ(CreatePrivateFolder(folder.c_str()), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(CreatePrivateFolder(folder.c_str()), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  PACL dacl = nullptr;
  ASSERT_EQ(GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                  nullptr, nullptr, &dacl, nullptr, &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  const LocalMemory<PSECURITY_DESCRIPTOR> owner(descriptor);
  ASSERT_NE(dacl, nullptr);
  std::vector<std::wstring> sids;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
    EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    wchar_t* text = nullptr;
    ASSERT_TRUE(ConvertSidToStringSidW(&ace->SidStart, &text));
    sids.emplace_back(text);
    LocalFree(text);
  }
  auto has = [&](const wchar_t* sid) {
    return std::find(sids.begin(), sids.end(), sid) != sids.end();
  };
  std::wstring all;
  for (const std::wstring& sid : sids) all += sid + L" ";
  SCOPED_TRACE(Narrow(all));
  EXPECT_TRUE(has(L"S-1-5-18"));  // SYSTEM
  // Administrators too on Windows; Wine keeps only the owner's and SYSTEM's
  // entries, read back from the folder's Unix permissions.
  EXPECT_TRUE(has(L"S-1-5-32-544") || sids.size() == 2) << "Administrators";
  // Nobody else: not Everyone, Users, Authenticated Users or the creator's group.
  for (const wchar_t* other : {L"S-1-1-0", L"S-1-5-32-545", L"S-1-5-11", L"S-1-3-1"})
    EXPECT_FALSE(has(other)) << Narrow(other);
  EXPECT_LE(sids.size(), 3u);
  EXPECT_TRUE(RemoveTreeWithoutLinks(folder.c_str()));
  EXPECT_FALSE(FolderExists(folder));
}

TEST(PrivateFolder, RemovalTakesReadOnlyFilesAndNestedFolders) {
  TempDir dir;
  const std::wstring folder = dir / L"tree";
  ASSERT_EQ(CreatePrivateFolder(folder.c_str()), static_cast<DWORD>(ERROR_SUCCESS));
  ForceFolder(folder + L"\\a\\b");
  WriteTextFile(folder + L"\\a\\b\\locked.txt", "x");
  SetFileAttributesW((folder + L"\\a\\b\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteTextFile(dir / L"beside.txt", "kept");
  EXPECT_TRUE(RemoveTreeWithoutLinks(folder.c_str()));
  EXPECT_FALSE(FolderExists(folder));
  EXPECT_TRUE(FileExists(dir / L"beside.txt"));
  EXPECT_TRUE(RemoveTreeWithoutLinks(folder.c_str())) << "nothing there is nothing left";
}
