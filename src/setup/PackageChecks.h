#pragma once
// Checks made before an install writes anything: the install folder is a place
// files can go, and the package's rows describe files that can be created there
// and that add up to data.dat.

#include <cstdint>
#include <string>

#include "support/Failure.h"

struct SetupState;

// Refuses an install folder that is empty ("Unable to create directory"), that
// is not a full path with a drive or a server (a relative one would land in
// whatever folder the setup program was started in), or that has a component
// Windows cannot create as written.
Status CheckInstallFolder(const std::wstring& folder);

// Refuses file rows that cannot be installed as they stand: a name that is not a
// portable name below the install folder, two rows for one target (case and the
// kind of separator ignored), a name used both as a file and as a folder, a
// negative size, or sizes whose sum is not `payloadSize`: a damaged package.
Status CheckFileRows(const SetupState& state, int64_t payloadSize);
