#pragma once
// The setup program's exit codes, the same for a silent run and a run with
// windows that ends before its window opens.

class Failure;

enum SetupExitCode : int {
  kExitInstalled = 0,
  kExitCancelled = 1,       // the user stopped the install
  kExitBadPackage = 2,      // script, payload or texts missing or damaged
  kExitCannotWrite = 3,     // the target cannot be written: full disk, no access, folder refused
  kExitBadCommandLine = 4,  // an unknown or malformed switch
  kExitFileInUse = 5,       // a target stayed in use by another program; nothing was changed
  kExitDowngrade = 6,       // a newer version is installed (/ALLOWDOWNGRADE lets it through)
  kExitOtherProduct = 7,    // the uninstall entry of that name holds another ProductCode
  kExitRestartToFinish = 3010,  // installed; files in use are replaced when Windows restarts
};

// The code for a failed install (after the package has been read): a package
// that does not check out is 2, a cancelled install 1, a target that stayed in
// use 5, a refused upgrade its own code (6 or 7), every other failure a target
// that cannot be written, 3.
int InstallExitCode(const Failure& failure);

// 0, or 3010 when the install completes only once Windows restarts.
int InstalledExitCode(bool restartToFinish);

// A few words for the log: "установлено", "пакет повреждён"…
const wchar_t* ExitCodeMeaning(int code);
