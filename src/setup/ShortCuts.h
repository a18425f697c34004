#pragma once
// Shell shortcuts (.lnk files) written through the shell's link object.

#include <cstdint>
#include <string>

#include "support/Failure.h"

enum ShortcutKind : uint8_t {
  kShortcutDesktop = 0,
  kShortcutStartMenu = 1,
  kShortcutStartup = 2,
  kShortcutOtherFolder = 3,
};

class TShortCut {
 public:
  uint8_t Kind = kShortcutDesktop;
  std::wstring Name;      // link file name, normally without extension
  std::wstring FileName;  // target
  std::wstring Params;    // arguments
  std::wstring FilePath;  // working folder
  std::wstring SavePath;  // folder that receives the link file

  // Creates `folder` with its parents ("Unable to create directory" when empty)
  // and writes the link there; a link that cannot be made is skipped silently.
  // Returns the full path of the link file saved, or "" when none was. Fails
  // when the folder is empty or the shell's link object is missing.
  Expected<std::wstring> Save(const std::wstring& folder) const;
  // The full path Save would give the link file in `folder`.
  std::wstring LinkPath(const std::wstring& folder) const;
};

// Writes one link file through the shell's wide interfaces, so that names,
// arguments and folders keep every character whatever the system's code page;
// true when the shell saved it, and `savedAs` (if given) is then its full path.
// COM must be initialised; fails when the shell offers no link object.
Expected<bool> CreateShellLink(const std::wstring& location, const std::wstring& target,
                               const std::wstring& arguments, const std::wstring& workingFolder,
                               const std::wstring& subFolder, const std::wstring& linkName,
                               std::wstring* savedAs = nullptr);
