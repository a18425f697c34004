#include <gtest/gtest.h>

#include "TestPackage.h"
#include "setup/SetupVariables.h"
#include "support/Environment.h"
#include "support/QRegistry.h"

namespace {
class SetupVariablesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static RegistryScope registry;
    InitPathVariables();
  }
  SetupState state;
  void SetUp() override {
    state.CompanyName = L"Фирма";
    state.ProgramName = L"Редактор";
    state.InstallPath = L"C:\\Apps\\Редактор";
  }
};
}  // namespace

TEST_F(SetupVariablesTest, SixNamesWithoutRegardToCase) {
  EXPECT_EQ(ExpandSetupVariables(state, L"%companyname%|%PROGRAMNAME%|%InstallPath%"),
            L"Фирма|Редактор|C:\\Apps\\Редактор");
  const PathVariableTable& folders = PathVariables();
  EXPECT_EQ(ExpandSetupVariables(state, L"%Desktop%;%StartMenu%;%AutoLoading%"),
            folders.Desktop + L";" + folders.StartMenu + L";" + folders.Startup);
  EXPECT_FALSE(folders.Desktop.empty());
}

TEST_F(SetupVariablesTest, EnvironmentFirstAndItWins) {
  ScopedEnv files(L"ProgramFiles", L"C:\\Программы");
  EXPECT_EQ(ExpandSetupVariables(state, L"%ProgramFiles%\\%CompanyName%"), L"C:\\Программы\\Фирма");
  ScopedEnv company(L"CompanyName", L"FromEnvironment");
  EXPECT_EQ(ExpandSetupVariables(state, L"%CompanyName%"), L"FromEnvironment");
}

TEST_F(SetupVariablesTest, UnknownNamesAndLonePercentSignsVanish) {
  EXPECT_EQ(ExpandSetupVariables(state, L"a%ProductName%b"), L"ab");
  EXPECT_EQ(ExpandSetupVariables(state, L"50%x"), L"50x");
  EXPECT_EQ(ExpandSetupVariables(state, L"%"), L"");
  EXPECT_EQ(ExpandSetupVariables(state, L"%%"), L"");
  EXPECT_EQ(ExpandSetupVariables(state, L"x%%y"), L"xy");
  EXPECT_EQ(ExpandSetupVariables(state, L"%CompanyName%%tail"), L"Фирмаtail");
  EXPECT_EQ(ExpandSetupVariables(state, L"no references"), L"no references");
}

TEST_F(SetupVariablesTest, InsertedValuesAreNotSearchedAgain) {
  state.CompanyName = L"%ProgramName%";
  EXPECT_EQ(ExpandSetupVariables(state, L"%CompanyName%"), L"%ProgramName%");
  ScopedEnv env(L"KovrinTestVar", L"%InstallPath%");
  // The environment's value stays as inserted: the second step sees "%InstallPath%"
  // only because the environment step leaves it in the text, and then expands it once.
  EXPECT_EQ(ExpandSetupVariables(state, L"%KovrinTestVar%"), L"C:\\Apps\\Редактор");
  state.InstallPath = L"%CompanyName%";
  EXPECT_EQ(ExpandSetupVariables(state, L"%InstallPath%"), L"%CompanyName%");
}
