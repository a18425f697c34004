#pragma once
// Puts a new file in the place of one that exists, so that an install that fails
// later can put the old one back: the new bytes are already complete and checked
// under a temporary name beside the target; the old file is renamed aside (noted
// in the journal), then the new one renamed into place.

#include <string>

#include "support/Failure.h"

class InstallEvents;
class InstallJournal;
class TemporaryFile;

// A target that another program holds open is "in use": with
// `replaceAtRestart` the new file stays beside it and Windows renames it over
// the target when it restarts; otherwise events.FileInUse is asked, Retry tries
// again and Cancel fails as FailureKind::FileInUse. Other failures read `Cannot
// create file "<target>". <reason>`. True when the replacement waits for the
// restart.
Expected<bool> ReplaceExistingTarget(TemporaryFile& staged, InstallJournal& journal,
                                     InstallEvents& events, bool replaceAtRestart);
