#pragma once
// The setup program's own %Name% expansion on top of the environment's.

#include <string>
#include <string_view>

struct SetupState;

// Environment first (ExpandPathVariables), then %CompanyName%, %InstallPath%,
// %ProgramName%, %Desktop%, %StartMenu% and %AutoLoading%; any other reference
// and a lone "%" are removed. One pass: inserted values are not searched again.
std::wstring ExpandSetupVariables(const SetupState& state, std::wstring_view text);
