#pragma once
// Values that become one line of the setup script (everything but the two
// texts) must hold no control character: a line break would put lines of its
// own into Setup.ini, and the package would do what no page shows.

#include "formats/SetupProject.h"

// Raises KovrinError naming the first value that holds one and its key.
void CheckSingleLineValues(const SetupProject& project);
