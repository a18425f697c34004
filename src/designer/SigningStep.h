#pragma once
// The build's signing step: the author's command signs the package's setup
// program and its copy of the uninstaller before they are published or packed,
// and the single file after packing. The program itself is the judge: a run
// counts only when the file then carries a certificate table that it did not
// carry before, whatever the command's exit code said (under Wine a Linux
// signer started with "start /unix" returns at once and hands back nothing).

#include <windows.h>

#include <string>

#include "designer/BuildSteps.h"
#include "support/Error.h"

// The command failed or left the program unsigned; the message names the
// program and holds the command's output.
class SigningFailed : public KovrinError {
 public:
  using KovrinError::KovrinError;
};

inline constexpr wchar_t kSigningStatus[] = L"Подпись программ пакета...";
// How long a command that has ended may still take to put its signature in
// place (a signer it started on its own).
inline constexpr DWORD kSignatureWaitMs = 60000;

// Whether the file is a PE image whose security directory names a certificate
// table at its end.
bool CarriesCertificateTable(const std::wstring& path);

// Signs one program with the project's command and checks the result; raises
// SigningFailed. Nothing when the project has no command.
void SignProgram(BuildContext& context, const std::wstring& path,
                 DWORD signatureWaitMs = kSignatureWaitMs);
// Signs the launcher and the uninstaller lying in the build folder.
void SignPackagePrograms(BuildContext& context);
