#pragma once
// Who made the designer, as its window, about box and example project say it.

inline constexpr wchar_t kApplicationTitle[] = L"Morvel Kovrin 1.4.1";
inline constexpr wchar_t kMainCaption[] = L"Kovrin 1.4.1";
inline constexpr wchar_t kProductLine[] = L"Morvel Kovrin 1.4 First Release";
inline constexpr wchar_t kMakerNotice[] = L"© Morvel Labs";
inline constexpr wchar_t kMakerSite[] = L"https://morvel-labs.example/kovrin";
inline constexpr wchar_t kHelpFile[] = L"help.html";
inline constexpr wchar_t kHelpAnchor[] = L"#m1";
