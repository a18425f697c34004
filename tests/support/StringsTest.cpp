#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "support/CodePage.h"
#include "support/Error.h"
#include "support/Strings.h"

TEST(IntToText, SignsZeroAndExtremes) {
  EXPECT_EQ(IntToText(-5), L"-5");
  EXPECT_EQ(IntToText(0), L"0");
  EXPECT_EQ(IntToText(1000000), L"1000000");
  EXPECT_EQ(IntToText(INT32_MIN), L"-2147483648");
  EXPECT_EQ(IntToText(INT32_MAX), L"2147483647");
}

TEST(TextToInt, ReadsLeadingNumberAndNeverFails) {
  EXPECT_EQ(TextToInt(L"  42"), 42);
  EXPECT_EQ(TextToInt(L"-17"), -17);
  EXPECT_EQ(TextToInt(L"+8"), 8);
  EXPECT_EQ(TextToInt(L"12abc"), 12);
  EXPECT_EQ(TextToInt(L"$1F"), 31);
  EXPECT_EQ(TextToInt(L"0x1f"), 31);
  EXPECT_EQ(TextToInt(L"X10"), 16);
  EXPECT_EQ(TextToInt(L""), 0);
  EXPECT_EQ(TextToInt(L"Yes"), 0);
  EXPECT_EQ(TextToInt(L"-2147483648"), INT32_MIN);
  EXPECT_EQ(TextToInt(L"-16777208"), -16777208);
}

// EqualNoCase beside SameFileName: FileNamesTest.
TEST(StartsWithNoCase, FoldsLatinLettersOnly) {
  EXPECT_TRUE(StartsWithNoCase(L"%STARTMENU%\\Tools", L"%StartMenu%"));
  EXPECT_FALSE(StartsWithNoCase(L"%Start", L"%StartMenu%"));
}

TEST(LowSigned32, WrapsLikeThePackageFormat) {
  EXPECT_EQ(LowSigned32(int64_t(1) << 31), INT32_MIN);
  EXPECT_EQ(LowSigned32((int64_t(1) << 32) + 5), 5);
  EXPECT_EQ(LowSigned32(123), 123);
}

TEST(CodePage, Cp1251RoundTripIsIndependentOfTheAnsiCodePage) {
  const std::wstring text = L"Программа Ёё №";
  std::string bytes = ToCp1251(text);
  // "П" is 0xCF and "Ё" 0xA8 in Windows-1251, whatever GetACP() says.
  ASSERT_EQ(bytes.size(), text.size());
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xCF);
  EXPECT_EQ(static_cast<unsigned char>(bytes[10]), 0xA8);
  EXPECT_EQ(FromCp1251(bytes), text);
}

namespace {
std::wstring PlatformFromCp1251(const std::string& bytes) {
  std::wstring text(bytes.size() * 2 + 1, L'\0');
  int n = MultiByteToWideChar(1251, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                              static_cast<int>(text.size()));
  text.resize(n);
  return text;
}

std::string PlatformToCp1251(const std::wstring& text) {
  std::string bytes(text.size() * 2 + 1, '\0');
  int n = WideCharToMultiByte(1251, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                              static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(n);
  return bytes;
}
}  // namespace

// The conversions run through tables taken from the platform; they must give
// exactly what the platform gives for whole texts.
TEST(CodePage, AgreesWithThePlatformOnEveryByteAndOddCharacters) {
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  EXPECT_EQ(FromCp1251(everyByte), PlatformFromCp1251(everyByte));
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(Cp1251Char(static_cast<unsigned char>(b)), PlatformFromCp1251(everyByte)[b]) << b;

  const std::vector<std::wstring> texts = {
      L"plain ascii = [x]",
      L"Кириллица Ёё № €‰ «»",
      L"best fit: é à ü ß œ — “quotes”",
      L"not in the code page: 日本語 Ω ∑",
      L"surrogate pair: \xD83D\xDE00 end",
      L"lone surrogate: \xD800 end",
      std::wstring(L"\0zero inside", 12),
  };
  for (const std::wstring& text : texts) {
    EXPECT_EQ(ToCp1251(text), PlatformToCp1251(text)) << Narrow(text);
    std::string appended = "prefix";
    AppendCp1251(appended, text);
    EXPECT_EQ(appended, "prefix" + PlatformToCp1251(text));
  }
  for (wchar_t unit : {L'a', L'Я', L'é', L'日', L'€'})
    EXPECT_EQ(std::string(1, Cp1251Byte(unit)), PlatformToCp1251(std::wstring(1, unit)));
}

TEST(CurrentExceptionMessage, WidensUtf8TextAsUtf8) {
  try {
    throw std::runtime_error("Ошибка: файл «ковёр»");
  } catch (...) {
    EXPECT_EQ(CurrentExceptionMessage(), L"Ошибка: файл «ковёр»");
  }
  try {
    throw KovrinError(L"Не удалось");
  } catch (...) {
    EXPECT_EQ(CurrentExceptionMessage(), L"Не удалось");
  }
}
