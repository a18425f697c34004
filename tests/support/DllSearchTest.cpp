// The DLL search of the kit's programs: once restricted, a DLL beside the
// program is no longer found by its bare name, and the system's are.

#include <gtest/gtest.h>

#include "support/DllSearch.h"
#include "support/Handle.h"

TEST(DllSearch, ADllBesideTheProgramIsNoLongerLoadedOnceTheSearchIsRestricted) {
  // Each test case runs in a process of its own, so the restriction ends here.
  {
    const ModuleHandle planted(LoadLibraryW(L"kovrin_planted.dll"));
    ASSERT_TRUE(planted.Valid()) << "the planted DLL must be found before the restriction";
  }
  ASSERT_EQ(GetModuleHandleW(L"kovrin_planted.dll"), nullptr);

  EXPECT_TRUE(RestrictDllSearchToSystem32());
  const ModuleHandle planted(LoadLibraryW(L"kovrin_planted.dll"));
  EXPECT_FALSE(planted.Valid());
  const ModuleHandle system(LoadLibraryW(L"version.dll"));
  EXPECT_TRUE(system.Valid());
}

TEST(DllSearch, SystemLibrariesAreLoadedByTheirSystemPath) {
  const ModuleHandle version(LoadSystemLibrary(L"version.dll"));
  ASSERT_TRUE(version.Valid());
  wchar_t loaded[MAX_PATH] = {};
  wchar_t system[MAX_PATH] = {};
  GetModuleFileNameW(version.Get(), loaded, MAX_PATH);
  GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_EQ(_wcsnicmp(loaded, system, wcslen(system)), 0);
  EXPECT_FALSE(ModuleHandle(LoadSystemLibrary(L"kovrin_planted.dll")).Valid());
}
