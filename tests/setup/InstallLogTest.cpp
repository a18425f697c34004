#include <gtest/gtest.h>

#include <regex>

#include "TestUtil.h"
#include "formats/PackageError.h"
#include "setup/ExitCodes.h"
#include "setup/InstallEngine.h"
#include "setup/InstallLog.h"
#include "setup/SetupState.h"
#include "support/Error.h"
#include "support/Handle.h"
#include "support/LogFile.h"

namespace {
std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(bytes.substr(start, end - start));
  EXPECT_EQ(start, bytes.size()) << "the last line lacks its CR LF";
  return lines;
}

// The file as another program reads it while the log still writes to it.
std::string ReadShared(const std::wstring& path) {
  const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(file.Valid());
  std::string bytes(64 * 1024, '\0');
  DWORD read = 0;
  ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  return bytes;
}

// The text after the time stamp, which must be there and well formed.
std::string Event(const std::string& line) {
  static const std::regex stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )");
  EXPECT_TRUE(std::regex_search(line, stamp)) << line;
  return line.size() > 24 ? line.substr(24) : "";
}
}  // namespace

TEST(LogFileTest, LinesAreTimeStampedUtf8AndOnDiskBeforeTheLogCloses) {
  TempDir dir;
  const std::wstring path = dir / L"журнал.log";
  LogFile log = LogFile::Create(path);
  log.Line(L"Файл: C:\\Ковёр\\a.txt (5 байт)");
  log.Line(L"two\r\nlines");
  // Read while the log is still open: a program that dies here leaves this.
  const std::string bytes = ReadShared(path);
  ASSERT_GE(bytes.size(), 3u);
  EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
  const std::vector<std::string> lines = Lines(bytes);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Event(lines[0]), "Файл: C:\\Ковёр\\a.txt (5 байт)");
  EXPECT_EQ(Event(lines[1]), "two  lines");
}

TEST(LogFileTest, ALogWithoutAFileWritesNothingAndABadPathIsRefused) {
  LogFile none;
  none.Line(L"nowhere");
  EXPECT_FALSE(none.IsOpen());
  TempDir dir;
  try {
    LogFile::Create(dir / L"no such folder\\a.log");
    ADD_FAILURE() << "a log in a missing folder was created";
  } catch (const KovrinError& error) {
    EXPECT_NE(error.Message().find(L"Cannot create file"), std::wstring::npos);
  }
  SYSTEMTIME time{2024, 3, 0, 7, 9, 5, 4, 21};
  EXPECT_EQ(LogTimeStamp(time), L"2024-03-07 09:05:04.021");
}

TEST(InstallLogTest, EachEventIsOneLineNamingWhatWasWritten) {
  TempDir dir;
  const std::wstring path = dir / L"setup.log";
  {
    InstallLog log(LogFile::Create(path));
    SetupState state;
    state.PackageFolder = L"Z:\\pkg\\";
    state.ProgramName = L"Ковёр";
    state.ProductVersion = L"2.1";
    state.CompanyName = L"Морвел";
    state.CountOfFiles = 2;
    state.SummarySize = 1500;
    log.Start(L"Z:\\pkg\\Setup.exe", L"Setup.exe /S /LOG=x");
    log.Package(state);
    log.InstallFolder(L"C:\\Мои программы\\Ковёр");
    log.FileWritten(L"C:\\Мои программы\\Ковёр\\a.exe", 1000);
    log.LinkMade(L"C:\\links\\Ковёр.lnk", true);
    log.LinkMade(L"C:\\links\\Другой.lnk", false);
    log.UninstallerPlaced(L"C:\\windows\\MVUninst.exe");
    log.EntryRegistered(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ковёр");
    log.Failed(L"Cannot create file \"C:\\x\". Access denied.", kExitCannotWrite);
    EXPECT_EQ(log.FailureCode(), kExitCannotWrite);
    log.Result(kExitCannotWrite, L"Cannot create file \"C:\\x\". Access denied.");
  }
  std::vector<std::string> events;
  for (const std::string& line : Lines(ReadFileBytes(path))) events.push_back(Event(line));
  const std::vector<std::string> expected{
      "Начало: программа установки Kovrin 1.4.1, Z:\\pkg\\Setup.exe",
      "Командная строка: Setup.exe /S /LOG=x",
      "Пакет: Z:\\pkg\\",
      "Продукт: Ковёр, версия 2.1; компания: Морвел",
      "Файлов: 2, всего 1500 байт",
      "Папка установки: C:\\Мои программы\\Ковёр",
      "Файл: C:\\Мои программы\\Ковёр\\a.exe (1000 байт)",
      "Ярлык: C:\\links\\Ковёр.lnk",
      "Ярлык не создан: C:\\links\\Другой.lnk",
      "Программа удаления: C:\\windows\\MVUninst.exe",
      "Запись в реестре: "
      "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ковёр",
      "Ошибка (код 3): Cannot create file \"C:\\x\". Access denied.",
      "Итог: код 3, не удалось записать установку: Cannot create file \"C:\\x\". Access denied."};
  EXPECT_EQ(events, expected);
}

TEST(ExitCodeTest, InstallFailuresMapToTheirKindAndEveryCodeHasAMeaning) {
  EXPECT_EQ(InstallExitCode(Failure(L"Unable to create directory")), kExitCannotWrite);
  EXPECT_EQ(InstallExitCode(PackageFailure(L"Файл «a.exe» в пакете повреждён")), kExitBadPackage);
  EXPECT_EQ(InstallExitCode(Failure(L"Установка прервана", FailureKind::Stopped)), kExitCancelled);
  EXPECT_EQ(InstallExitCode(Failure(L"занят", FailureKind::FileInUse)), kExitFileInUse);
  EXPECT_EQ(InstallExitCode(Failure(L"новее", FailureKind::Refused, kExitDowngrade)),
            kExitDowngrade);
  EXPECT_EQ(InstallExitCode(Failure(L"чужая", FailureKind::Refused, kExitOtherProduct)),
            kExitOtherProduct);
  EXPECT_EQ(std::wstring(ExitCodeMeaning(kExitInstalled)), L"установлено");
  EXPECT_EQ(std::wstring(ExitCodeMeaning(kExitBadPackage)), L"пакет повреждён или неполон");
  EXPECT_EQ(std::wstring(ExitCodeMeaning(kExitBadCommandLine)), L"неверная командная строка");
  EXPECT_EQ(std::wstring(ExitCodeMeaning(kExitCancelled)), L"прервано пользователем");
}
