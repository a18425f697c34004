#include <gtest/gtest.h>

#include "TestUtil.h"
#include "setup/VersionOrder.h"

TEST(CompareVersions, ReadsDottedNumbersAndNeverPlacesAnythingElse) {
  const struct {
    const wchar_t* offered;
    const wchar_t* installed;
    VersionOrder order;
  } cases[] = {
      {L"1.10", L"1.9", VersionOrder::Newer},
      {L"1.9", L"1.10", VersionOrder::Older},
      {L"2", L"2.0", VersionOrder::Same},
      {L"2.0.0", L"2", VersionOrder::Same},
      {L"02.01", L"2.1", VersionOrder::Same},
      {L" 3.1 ", L"3.1", VersionOrder::Same},
      {L"2.0.1", L"2.0", VersionOrder::Newer},
      {L"1.99999999999999999999", L"2", VersionOrder::Older},
      {L"123456789012345678901", L"123456789012345678900", VersionOrder::Newer},
      {L"", L"2.0", VersionOrder::Unknown},
      {L"1.0", L"", VersionOrder::Unknown},
      {L"1.0 бета", L"2.0", VersionOrder::Unknown},
      {L"1..0", L"2.0", VersionOrder::Unknown},
      {L"1.", L"2.0", VersionOrder::Unknown},
      {L"-1", L"2.0", VersionOrder::Unknown},
      {L"v1", L"2.0", VersionOrder::Unknown},
  };
  for (const auto& [offered, installed, order] : cases)
    EXPECT_EQ(CompareVersions(offered, installed), order)
        << Narrow(offered) << " against " << Narrow(installed);
}
