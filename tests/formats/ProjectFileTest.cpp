#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ExampleProject.h"
#include "ProjectFileChecks.h"
#include "TestUtil.h"
#include "formats/ProjectFile.h"
#include "support/Error.h"

namespace {
const std::wstring kProjectPath = L"C:\\Work\\Demo\\demo.kovrin";

// Every field away from its default, with the values that break naive formats.
SetupProject UnusualProject() {
  SetupProject p;
  p.ProgramName = L"  Программа \"X\" = [1] ;  ";
  p.CompanyName = L"\"Quoted\"";
  p.ProductVersion = L"2.0 β \xD83D\xDE00";
  p.ProductCode = L"{0e5c6f0a-3b7d-4c1e-9a8b-5d2f4e6a7c90}";
  p.InstallPath = L"%ProgramFiles%\\%CompanyName%\\";
  p.SetupFileName = L" setup.exe";
  p.OutputFolder = L"";
  p.Files = {
      FileEntry{L"a.txt", L"C:\\Work\\Demo\\files\\app", 0},
      FileEntry{L"sub\\b.dll", L"C:\\Work\\Demo\\files\\app", 0},
      FileEntry{L" spaced name ", L"C:\\Work\\Demo\\", 0},
      FileEntry{L"x=y", L"D:\\Elsewhere", 0},
      FileEntry{L"a.txt", L"C:\\Work\\Demo\\files\\app", 0},  // a folder met again
      FileEntry{L"", L"", 0},
      FileEntry{L"\"quoted\"", L"C:\\Work\\Demo", 0},
  };
  p.UseWinRar = true;
  p.WinRarPath = L"C:\\Program Files\\WinRAR\\WinRAR.exe";
  p.CompressionLevel = 0;
  p.SortByExtension = true;
  p.UseBuiltInPacker = true;
  p.UseReadMe = true;
  p.ReadMeType = TextType::Txt;
  p.ReadMeRtf = "{\\rtf1\\ansi \\'cf\xCF\r\nlone\nLF and lone\rCR\r\n" + std::string(5000, 'h') +
                "\r\n\r\n}\r\n";
  p.ReadMeText = {L"",
                  L"  indented",
                  L"[not a section]",
                  L"Key=Value",
                  L"; not a comment",
                  std::wstring(100000, L'ж'),
                  L"\ttab and line\r\nbreak",
                  L""};
  p.ReadMeFont = TextFont{L"Courier New", 12, 0x00336699, true, false, true, false};
  p.UseLicense = true;
  p.LicenseType = TextType::Rtf;
  p.LicenseRtf = "";
  p.LicenseText = {};
  p.LicenseFont = TextFont{L"", -3, -16777208, false, true, false, true};
  p.Shortcuts = {
      ShortcutEntry{L"Name", L"%StartMenu%\\Tools", L"%InstallPath%\\a.exe", L"\"quoted arg\"",
                    L"%InstallPath%"},
      ShortcutEntry{L"", L"", L"", L"", L""},
  };
  p.UseReboot = true;
  p.AskToReboot = true;
  p.UseRun = true;
  p.RunFileName = L"%InstallPath%\\run me.exe";
  p.UseGoSite = true;
  p.SiteAddress = L"https://example.test/?a=b&c=\"d\"";
  p.UseUninstall = true;
  return p;
}

std::string Text(const std::wstring& text) {
  return Narrow(text);
}
}  // namespace

TEST(ProjectFile, EveryFieldRoundTripsAndSavesToTheSameBytes) {
  const SetupProject original = UnusualProject();
  const std::string bytes = ProjectFileBytes(original, kProjectPath);
  const SetupProject loaded = ParseProjectFile(bytes, kProjectPath);
  ExpectSameProject(loaded, original);
  EXPECT_EQ(ProjectFileBytes(loaded, kProjectPath), bytes);
}

TEST(ProjectFile, ADefaultProjectReadsBackAsTheDefaults) {
  const std::string bytes = ProjectFileBytes(SetupProject(), kProjectPath);
  ExpectSameProject(ParseProjectFile(bytes, kProjectPath), SetupProject());
}

TEST(ProjectFile, LayoutIsOneEntryPerLineInAFixedOrder) {
  SetupProject p = ExampleLikeProject(L"C:\\Work\\Demo\\files\\", L"C:\\MySetup\\");
  p.ProductVersion = L"1.4.1";
  p.ReadMeRtf = "{\\rtf1\\ansi \\'d2\\'e5\\'ea\\'f1\\'f2\\par\r\n}\r\n";
  p.ReadMeFont.Bold = true;
  p.LicenseRtf = "{\\rtf1 license}";
  const std::string bytes = ProjectFileBytes(p, kProjectPath);
  EXPECT_EQ(
      bytes,
      "[Project]\r\nFormat=1\r\n"
      "\r\n[Main]\r\nProgramName=Kovrin\r\nCompanyName=Morvel Labs\r\n"
      "ProductVersion=1.4.1\r\nInstallPath=%ProgramFiles%\\%CompanyName%\r\n"
      "SetupFileName=Setup.exe\r\nOutputFolder=C:\\MySetup\\\r\n"
      "\r\n[Files]\r\nCount=4\r\nFolder=files\\\r\nFile=Kovrin.exe\r\nFile=Kovrin.dat\r\n"
      "File=Setup.ico\r\nFile=help.html\r\n"
      "\r\n[Compression]\r\nUseWinRar=No\r\nWinRarPath=\r\nCompressionLevel=5\r\n"
      "SortByExtension=No\r\nUseBuiltInPacker=No\r\n"
      "\r\n[ReadMe]\r\nUse=Yes\r\nType=rtf\r\nFontName=MS Sans Serif\r\nFontSize=8\r\n"
      "FontColor=-16777208\r\nFontStyle=Bold\r\nRtfLines=3\r\n"
      "Rtf={\\rtf1\\ansi \\'d2\\'e5\\'ea\\'f1\\'f2\\par\r\nRtf=}\r\nRtf=\r\n"
      "TextLines=1\r\nText=" +
          Text(L"Текст информации в формате TXT") +
          "\r\n"
          "\r\n[License]\r\nUse=Yes\r\nType=rtf\r\nFontName=MS Sans Serif\r\nFontSize=8\r\n"
          "FontColor=-16777208\r\nFontStyle=\r\nRtfLines=1\r\nRtf={\\rtf1 license}\r\n"
          "TextLines=1\r\nText=" +
          Text(L"Текст лицензии в формате TXT") +
          "\r\n"
          "\r\n[Shortcuts]\r\nCount=1\r\nShortCutName=Kovrin\r\nShortCutSavePath=%Desktop%\r\n"
          "ShortCutFileName=%InstallPath%\\Kovrin.exe\r\nShortCutParams=\r\n"
          "ShortCutFilePath=%InstallPath%\r\n"
          "\r\n[Extended]\r\nUseReboot=No\r\nAskToReboot=No\r\nUseRun=Yes\r\n"
          "RunFileName=%InstallPath%\\Kovrin.exe\r\nUseGoSite=Yes\r\n"
          "SiteAddress=https://morvel-labs.example/kovrin\r\nUseUninstall=No\r\n");
}

// A hand-edited file: BOM, LF endings, comments, blanks, another order of
// sections and keys, other letter case in names and words.
TEST(ProjectFile, ReadsHandEditedText) {
  const std::string text =
      "\xEF\xBB\xBF; my project\n[project]\nformat = 1\n\n[Extended]\nUseUninstall=yes\n"
      "UseReboot=No\nAskToReboot=No\nUseRun=No\nRunFileName=\nUseGoSite=NO\nSiteAddress=\n"
      "[Main]\n  ProgramName =  Demo  \nCompanyName=Co\nProductVersion=1\nInstallPath=x\n"
      "SetupFileName=Setup.exe\nOutputFolder=out\n"
      "[Files]\nFolder=files\nFile=a.txt\nCount=1\n"
      "[Compression]\nUseWinRar=No\nWinRarPath=\nCompressionLevel=3\nSortByExtension=No\n"
      "UseBuiltInPacker=No\n"
      "[ReadMe]\nUse=No\nType=TXT\nFontName=Arial\nFontSize=10\nFontColor=255\n"
      "FontStyle=italic  bold\nRtfLines=0\nTextLines=2\nText=one\nText=two\n"
      "[License]\nUse=No\nType=rtf\nFontName=Arial\nFontSize=10\nFontColor=0\nFontStyle=\n"
      "RtfLines=0\nTextLines=0\n"
      "[Shortcuts]\nCount=0\n";
  const SetupProject p = ParseProjectFile(text, kProjectPath);
  EXPECT_EQ(p.ProgramName, L"Demo");
  EXPECT_TRUE(p.UseUninstall);
  ASSERT_EQ(p.Files.size(), 1u);
  EXPECT_EQ(p.Files[0].LocalFolder, L"C:\\Work\\Demo\\files");
  EXPECT_EQ(p.ReadMeType, TextType::Txt);
  EXPECT_TRUE(p.ReadMeFont.Bold && p.ReadMeFont.Italic);
  EXPECT_EQ(p.ReadMeText, (std::vector<std::wstring>{L"one", L"two"}));
  EXPECT_EQ(p.OutputFolder, L"out");  // only source folders are relative to the project
}

TEST(ProjectFile, ANewerFormatIsRefusedBeforeAnythingElseIsRead) {
  const std::string text = "[Project]\r\nFormat=2\r\n[Stations]\r\nwhat is this\r\n";
  try {
    ParseProjectFile(text, kProjectPath);
    FAIL() << "a newer format was read";
  } catch (const KovrinError& error) {
    EXPECT_EQ(error.Message(),
              L"demo.kovrin сохранён более новой версией Kovrin (формат 2); эта версия читает "
              L"формат 1.");
  }
}

// Each damage is reported on the line where it stands.
TEST(ProjectFile, CorruptFilesNameTheLine) {
  const std::string good = ProjectFileBytes(UnusualProject(), kProjectPath);
  struct Damage {
    std::string find, replace;
    std::wstring message;  // after "demo.kovrin, строка N: "
  };
  const std::vector<Damage> damages = {
      {"CompressionLevel=0", "CompressionLevel=9",
       L"значение CompressionLevel должно быть от 0 до 5, а не 9"},
      {"UseWinRar=Yes", "UseWinRar=1", L"значение UseWinRar должно быть Yes или No, а не \"1\""},
      {"Count=7", "Count=seven", L"значение Count должно быть целым числом, а не \"seven\""},
      {"Count=7", "Count=8", L"Count=8, а в разделе [Files] строк File: 7 (файл мог быть обрезан)"},
      {"Type=txt", "Type=doc", L"значение Type должно быть rtf или txt, а не \"doc\""},
      {"FontStyle=Bold Underline", "FontStyle=Bold Heavy",
       L"в FontStyle допустимы Bold, Italic, Underline и StrikeOut, а не \"Heavy\""},
      {"UseReboot=Yes", "UseReboot=Yes\r\nUseReboot=No",
       L"ключ UseReboot повторяется в разделе [Extended] (впервые в строке "},
      {"UseReboot=Yes", "Reboot=Yes", L"неизвестный ключ Reboot в разделе [Extended]"},
      {"[Compression]", "[Compresion]", L"неизвестный раздел [Compresion]"},
      {"[Compression]", "[Compression", L"строка раздела — это имя в квадратных скобках"},
      {"Count=7\r\nFolder=", "Count=7\r\nFile=x\r\nFolder=",
       L"перед строкой File нужна строка Folder"},
      {"ShortCutSavePath=%StartMenu%", "ShortCutParams=%StartMenu%",
       L"ожидался ключ ShortCutSavePath, а стоит ShortCutParams"},
      {"UseGoSite=Yes", "UseGoSite", L"ожидалась строка вида Ключ=Значение"},
      {"SiteAddress=https", "SiteAddress=\"https",
       L"двойную кавычку внутри значения в кавычках пишут как \\\""},
      {"ProductVersion=", "ProductVersion=\"no end",
       L"значение в кавычках должно кончаться двойной кавычкой"},
      {"RtfLines=6", "RtfLines=5", L"RtfLines=5, а в разделе [ReadMe] строк Rtf: 6"},
      {"ProgramName=", "ProgramName=\xC3\x28", L"строка не в кодировке UTF-8"},
      {"\r\nProductVersion=", "\r\nVersion=", L"неизвестный ключ Version в разделе [Main]"},
      {"ProductCode={0e5c6f0a-", "ProductCode=0e5c6f0a-",
       L"значение ProductCode должно быть GUID вида {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"},
      {"-5d2f4e6a7c90}", "-5d2f4e6a7c9g}",
       L"значение ProductCode должно быть GUID вида {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"},
  };
  for (const Damage& d : damages) {
    const size_t at = good.find(d.find);
    ASSERT_NE(at, std::string::npos) << d.find;
    std::string bad = good;
    bad.replace(at, d.find.size(), d.replace);
    // The damaged line is the one holding the replacement (or the next one).
    const int line = static_cast<int>(std::count(bad.begin(), bad.begin() + at, '\n')) + 1;
    try {
      ParseProjectFile(bad, kProjectPath);
      ADD_FAILURE() << "no error for " << d.replace;
    } catch (const KovrinError& error) {
      const std::wstring& m = error.Message();
      const std::wstring prefix = L"demo.kovrin, строка ";
      ASSERT_EQ(m.rfind(prefix, 0), 0u) << Narrow(m);
      const int reported = std::stoi(m.substr(prefix.size()));
      EXPECT_TRUE(reported == line || reported == line + 1)
          << Narrow(m) << " (damage on line " << line << ")";
      EXPECT_NE(m.find(d.message), std::wstring::npos) << Narrow(m);
    }
  }
  // An Rtf line with a letter beyond a byte.
  std::string letter = good;
  letter.replace(letter.find("Rtf=\"{"), 6, "Rtf=\"\xD0\x96{");
  try {
    ParseProjectFile(letter, kProjectPath);
    ADD_FAILURE() << "a letter was taken for a byte";
  } catch (const KovrinError& error) {
    EXPECT_NE(error.Message().find(L"строка Rtf хранит байты"), std::wstring::npos);
  }
}

// Cut anywhere, the file is refused (never half read), unless only its last
// line break is gone.
TEST(ProjectFile, ATruncatedFileIsNeverHalfRead) {
  SetupProject example = ExampleLikeProject(L"C:\\Work\\Demo\\files\\", L"C:\\MySetup\\");
  example.LicenseText = {L"Текст", L"лицензии"};
  const std::string good = ProjectFileBytes(example, kProjectPath);
  for (size_t cut = 0; cut < good.size(); ++cut) {
    try {
      const SetupProject loaded = ParseProjectFile(good.substr(0, cut), kProjectPath);
      EXPECT_GE(cut, good.size() - 2) << "a file cut at " << cut << " was read";
      ExpectSameProject(loaded, ParseProjectFile(good, kProjectPath));
    } catch (const KovrinError& error) {
      EXPECT_EQ(error.Message().rfind(L"demo.kovrin, строка ", 0), 0u) << Narrow(error.Message());
    }
  }
}

TEST(ProjectFile, SaveAndLoadThroughTheFileSystem) {
  TempDir dir;
  CreateDirectoryW((dir / L"proj").c_str(), nullptr);
  const std::wstring path = dir / L"proj\\demo.kovrin";
  SetupProject p = UnusualProject();
  p.Files = {FileEntry{L"a.txt", dir / L"proj\\files", 0}, FileEntry{L"b.txt", dir.Path(), 0}};
  SaveProjectFile(p, path);
  const std::string bytes = ReadFileBytes(path);
  EXPECT_NE(bytes.find("Folder=files\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("Folder=" + Narrow(dir.Path()) + "\r\n"), std::string::npos);
  EXPECT_EQ(FilesIn(dir / L"proj"), std::vector<std::wstring>{L"demo.kovrin"});
  ExpectSameProject(LoadProjectFile(path), p);

  // Saved again over the old file: replaced, nothing left beside it.
  p.ProgramName = L"Second";
  SaveProjectFile(p, path);
  EXPECT_EQ(LoadProjectFile(path).ProgramName, L"Second");
  EXPECT_EQ(FilesIn(dir / L"proj"), std::vector<std::wstring>{L"demo.kovrin"});

  // The project moves with its files: relative folders follow it, others stay.
  CreateDirectoryW((dir / L"moved").c_str(), nullptr);
  WriteTextFile(dir / L"moved\\demo.kovrin", ReadFileBytes(path));
  const SetupProject moved = LoadProjectFile(dir / L"moved\\demo.kovrin");
  EXPECT_EQ(moved.Files[0].LocalFolder, dir / L"moved\\files");
  EXPECT_EQ(moved.Files[1].LocalFolder, dir.Path());

  EXPECT_THROW(SaveProjectFile(p, dir / L"no\\such\\folder\\x.kovrin"), KovrinError);
  try {
    LoadProjectFile(dir / L"missing.kovrin");
    ADD_FAILURE() << "a missing file was read";
  } catch (const KovrinError& error) {
    EXPECT_EQ(error.Message().rfind(L"Cannot open file", 0), 0u) << Narrow(error.Message());
  }
}

// A save that cannot replace the file (another program holds it open) leaves
// the old one whole and no temporary file behind.
TEST(ProjectFile, AFailedSaveKeepsThePreviousFile) {
  TempDir dir;
  const std::wstring path = dir / L"demo.kovrin";
  SetupProject p;
  p.ProgramName = L"First";
  SaveProjectFile(p, path);
  const std::string before = ReadFileBytes(path);
  {
    FileHandle holder(
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    p.ProgramName = L"Second";
    try {
      SaveProjectFile(p, path);
      ADD_FAILURE() << "saved over a file held open";
    } catch (const KovrinError& error) {
      EXPECT_EQ(error.Message().rfind(L"Unable to write to " + path, 0), 0u)
          << Narrow(error.Message());
    }
  }
  EXPECT_EQ(ReadFileBytes(path), before);
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::wstring>{L"demo.kovrin"});

  // A temporary file that cannot be made is reported once, as the system says it.
  const std::wstring nowhere = dir / L"missing\\demo.kovrin";
  try {
    SaveProjectFile(p, nowhere);
    ADD_FAILURE() << "saved into a missing folder";
  } catch (const KovrinError& error) {
    EXPECT_EQ(error.Message(),
              SystemErrorMessage(L"Unable to write to " + nowhere, ERROR_PATH_NOT_FOUND));
  }
}

namespace {
// The example's file rows with two folder rules and a signing command.
std::string RuleProjectText(const std::string& filesTail, const std::string& sign) {
  SetupProject p = ExampleLikeProject(L"C:\\Work\\Demo\\files\\", L"C:\\MySetup\\");
  std::string bytes = ProjectFileBytes(p, kProjectPath);
  const std::string files = "File=help.html\r\n";
  bytes.insert(bytes.find(files) + files.size(), filesTail);
  return bytes + sign;
}
}  // namespace

TEST(ProjectFile, FolderRulesAndTheSigningCommandRoundTripByteForByte) {
  const std::string bytes = RuleProjectText(
      "RuleCount=2\r\nRuleFolder=build\\bin\r\nRuleExclude=*.pdb\r\nRuleExclude=tests\\*\r\n"
      "RuleDestination=bin\r\nRuleFolder=D:\\Shared\\docs\r\n",
      "\r\n[Sign]\r\nCommand=signtool sign /fd sha256 /a {file}\r\n");
  const SetupProject loaded = ParseProjectFile(bytes, kProjectPath);
  ASSERT_EQ(loaded.FolderRules.size(), 2u);
  EXPECT_EQ(loaded.FolderRules[0].SourceFolder, L"C:\\Work\\Demo\\build\\bin");
  EXPECT_EQ(loaded.FolderRules[0].Excludes, (std::vector<std::wstring>{L"*.pdb", L"tests\\*"}));
  EXPECT_EQ(loaded.FolderRules[0].Destination, L"bin");
  EXPECT_EQ(loaded.FolderRules[1].SourceFolder, L"D:\\Shared\\docs");
  EXPECT_TRUE(loaded.FolderRules[1].Excludes.empty());
  EXPECT_EQ(loaded.SignCommand, L"signtool sign /fd sha256 /a {file}");
  EXPECT_EQ(loaded.Files.size(), 4u);
  EXPECT_EQ(ProjectFileBytes(loaded, kProjectPath), bytes);

  // The rows a rule made are not saved: the rule stands for them.
  SetupProject expanded = loaded;
  FileEntry row{L"bin\\tool.dll", L"C:\\Work\\Demo\\build\\bin", 10};
  row.Rule = 0;
  row.RuleName = L"tool.dll";
  expanded.Files.insert(expanded.Files.begin() + 1, row);
  EXPECT_EQ(ProjectFileBytes(expanded, kProjectPath), bytes);
}

TEST(ProjectFile, RefusesRuleLinesOutOfPlaceAndCountsThatDoNotMatch) {
  struct Case {
    std::string tail;
    std::wstring message;
  };
  const Case cases[] = {
      {"RuleExclude=*.pdb\r\n", L"перед строкой RuleExclude нужна строка RuleFolder"},
      {"RuleCount=2\r\nRuleFolder=bin\r\n", L"RuleCount=2"},
      {"RuleFolder=bin\r\n", L"нет ключа RuleCount"},
      {"RuleCount=1\r\nRuleFolder=\r\n", L"не указана папка"},
      {"RuleCount=1\r\nRuleFolder=bin\r\nRuleDestination=a\r\nRuleDestination=b\r\n",
       L"только одна строка RuleDestination"},
  };
  for (const Case& c : cases) {
    try {
      ParseProjectFile(RuleProjectText(c.tail, ""), kProjectPath);
      ADD_FAILURE() << c.tail;
    } catch (const KovrinError& error) {
      EXPECT_NE(error.Message().find(c.message), std::wstring::npos) << Narrow(error.Message());
    }
  }
}

// A value that is one line of the setup script cannot carry a line break or
// another control character in from the file; the texts still may.
TEST(ProjectFile, RefusesAControlCharacterInASingleLineValueNamingKeyAndLine) {
  const std::string good = ProjectFileBytes(ExampleLikeProject(), kProjectPath);
  struct Case {
    std::string from, to;
    int line;
    const wchar_t* key;
  };
  const Case cases[] = {
      {"ProgramName=Kovrin", "ProgramName=\"X\\r\\n[Extended]\\r\\nUseRun=1\"", 5, L"ProgramName"},
      {"File=Kovrin.dat", "File=\"Kovrin\\t.dat\"", 16, L"File"},
      {"ShortCutParams=", "ShortCutParams=\"\\u2028\"", 56, L"ShortCutParams"},
      {"SiteAddress=https://morvel-labs.example/kovrin", "SiteAddress=\"\\x7F\"", 65,
       L"SiteAddress"},
  };
  for (const Case& c : cases) {
    std::string bytes = good;
    ASSERT_NE(bytes.find(c.from), std::string::npos) << c.from;
    bytes.replace(bytes.find(c.from), c.from.size(), c.to);
    try {
      ParseProjectFile(bytes, kProjectPath);
      ADD_FAILURE() << c.to;
    } catch (const KovrinError& error) {
      const std::wstring expected = L"demo.kovrin, строка " + std::to_wstring(c.line) +
                                    L": в значении " + c.key + L" управляющий знак";
      EXPECT_EQ(error.Message().rfind(expected, 0), 0u) << Narrow(error.Message());
    }
  }
  SetupProject texts = ExampleLikeProject();
  texts.ReadMeText = {L"a\tb", L"c\r\nd"};
  EXPECT_EQ(ParseProjectFile(ProjectFileBytes(texts, kProjectPath), kProjectPath).ReadMeText,
            texts.ReadMeText);
}
