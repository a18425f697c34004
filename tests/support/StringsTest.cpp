#include <gtest/gtest.h>

#include "support/CodePage.h"
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

TEST(EqualNoCase, FoldsLatinLettersOnly) {
  EXPECT_TRUE(EqualNoCase(L"rtf", L"RTF"));
  EXPECT_TRUE(EqualNoCase(L"%desktop%", L"%Desktop%"));
  EXPECT_FALSE(EqualNoCase(L"rtf", L"rtf "));
  EXPECT_FALSE(EqualNoCase(L"Да", L"ДА"));
  EXPECT_TRUE(EqualNoCase(L"Да", L"Да"));
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
