#pragma once
// Reads the script's file and shortcut rows when the install begins, after the
// install folder is fixed, so that %InstallPath% in shortcut fields means it.

#include <string_view>

#include "support/Failure.h"
#include "support/Progress.h"

struct SetupState;

// Kind of a shortcut from its unexpanded save path: "%Desktop%" 0, "%AutoLoading%" 2,
// "%StartMenu%" 1, anything else 3; the tokens match at the start, Latin case ignored.
uint8_t ShortcutKindOf(std::wstring_view savePath);

// Fills state.FileList and state.ShortcutList (1-based; position 0 unused) from
// Setup.ini in the package folder. The lists grow only with the rows actually
// present, so an absurd count never allocates beyond them. Every file row up to
// CountOfFiles must be there: a missing one, a negative count or a FileCrc<n>
// that is no checksum is a damaged package. Shortcut rows are read up to the first
// missing one, and CountOfShortCuts is set to the rows read. Lets pending
// messages run after each file row. Sets state.ListsRead once all is read.
Status LoadInstallLists(SetupState& state, ProgressSink& progress);
