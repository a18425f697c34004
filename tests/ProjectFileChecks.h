#pragma once
// Field by field comparison of two projects, so a failure names the field.

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "formats/SetupProject.h"

inline void ExpectSameFont(const TextFont& a, const TextFont& b, const char* page) {
  EXPECT_EQ(a.Name, b.Name) << page;
  EXPECT_EQ(a.Size, b.Size) << page;
  EXPECT_EQ(a.Color, b.Color) << page;
  EXPECT_EQ(a.Bold, b.Bold) << page;
  EXPECT_EQ(a.Italic, b.Italic) << page;
  EXPECT_EQ(a.Underline, b.Underline) << page;
  EXPECT_EQ(a.StrikeOut, b.StrikeOut) << page;
}

inline void ExpectSameProject(const SetupProject& a, const SetupProject& b) {
  EXPECT_EQ(a.ProgramName, b.ProgramName);
  EXPECT_EQ(a.CompanyName, b.CompanyName);
  EXPECT_EQ(a.ProductVersion, b.ProductVersion);
  EXPECT_EQ(a.InstallPath, b.InstallPath);
  EXPECT_EQ(a.SetupFileName, b.SetupFileName);
  EXPECT_EQ(a.OutputFolder, b.OutputFolder);
  EXPECT_EQ(a.Files.size(), b.Files.size());
  for (size_t i = 0; i < std::min(a.Files.size(), b.Files.size()); ++i) {
    EXPECT_EQ(a.Files[i].RelativeName, b.Files[i].RelativeName) << "file row " << i;
    EXPECT_EQ(a.Files[i].LocalFolder, b.Files[i].LocalFolder) << "file row " << i;
    EXPECT_EQ(a.Files[i].Size, b.Files[i].Size) << "file row " << i;
  }
  EXPECT_EQ(a.UseWinRar, b.UseWinRar);
  EXPECT_EQ(a.WinRarPath, b.WinRarPath);
  EXPECT_EQ(a.CompressionLevel, b.CompressionLevel);
  EXPECT_EQ(a.SortByExtension, b.SortByExtension);
  EXPECT_EQ(a.UseBuiltInPacker, b.UseBuiltInPacker);
  EXPECT_EQ(a.UseReadMe, b.UseReadMe);
  EXPECT_EQ(a.ReadMeType, b.ReadMeType);
  EXPECT_EQ(a.ReadMeRtf, b.ReadMeRtf);
  EXPECT_EQ(a.ReadMeText, b.ReadMeText);
  ExpectSameFont(a.ReadMeFont, b.ReadMeFont, "information");
  EXPECT_EQ(a.UseLicense, b.UseLicense);
  EXPECT_EQ(a.LicenseType, b.LicenseType);
  EXPECT_EQ(a.LicenseRtf, b.LicenseRtf);
  EXPECT_EQ(a.LicenseText, b.LicenseText);
  ExpectSameFont(a.LicenseFont, b.LicenseFont, "license");
  EXPECT_EQ(a.Shortcuts, b.Shortcuts);
  EXPECT_EQ(a.UseReboot, b.UseReboot);
  EXPECT_EQ(a.AskToReboot, b.AskToReboot);
  EXPECT_EQ(a.UseRun, b.UseRun);
  EXPECT_EQ(a.RunFileName, b.RunFileName);
  EXPECT_EQ(a.UseGoSite, b.UseGoSite);
  EXPECT_EQ(a.SiteAddress, b.SiteAddress);
  EXPECT_EQ(a.UseUninstall, b.UseUninstall);
  EXPECT_EQ(a.ProductCode, b.ProductCode);
  EXPECT_TRUE(a == b) << "a field outside this list differs";
}
