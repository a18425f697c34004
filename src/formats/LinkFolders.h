#pragma once
// The folder tokens a shortcut's save path may begin with, as the designer stores
// them in the setup script and the setup program reads them. Their order is the
// order of the designer's folder list and of the setup program's shortcut kinds.

#include <string_view>

inline constexpr std::wstring_view kDesktopToken = L"%Desktop%";
inline constexpr std::wstring_view kStartMenuToken = L"%StartMenu%";
inline constexpr std::wstring_view kAutoLoadingToken = L"%AutoLoading%";
inline constexpr std::wstring_view kLinkFolderTokens[] = {kDesktopToken, kStartMenuToken,
                                                          kAutoLoadingToken};

// The variable a token stands for: the name between its two "%".
constexpr std::wstring_view LinkFolderVariable(std::wstring_view token) {
  return token.substr(1, token.size() - 2);
}
