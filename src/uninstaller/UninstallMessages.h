#pragma once
// The texts of the uninstaller's message boxes: the question before it removes
// anything, the report of what it did, and the refusal of a bad command line.

#include <string>

#include "uninstaller/UninstallEngine.h"

inline constexpr wchar_t kUninstallCaption[] = L"Удаление программы";
std::wstring UninstallQuestion(const std::wstring& programName);
std::wstring UninstallReport(const std::wstring& programName, const UninstallResult& result);
inline constexpr wchar_t kBadCommandLine[] =
    L"Программа удаления запускается из списка установленных программ: ей нужны путь к файлу "
    L"Uninst.ini и название программы в кавычках.";
