#pragma once
// The files the archive step hands to WinRAR beside the package: the list of
// files to archive and the self-extractor's script, both written into the build
// folder, and the icon that ships beside the designer.

inline constexpr wchar_t kSfxListFile[] = L"setup.lst";
inline constexpr wchar_t kSfxCommentFile[] = L"setup.cmt";
inline constexpr wchar_t kSfxIconFile[] = L"setup.ico";
