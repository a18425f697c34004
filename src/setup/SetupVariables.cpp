#include "setup/SetupVariables.h"

#include "formats/LinkFolders.h"
#include "setup/SetupState.h"
#include "support/Environment.h"
#include "support/Strings.h"

namespace {
// The value of one of the six setup names, or nullptr for any other name.
const std::wstring* SetupValue(const SetupState& state, std::wstring_view name) {
  const PathVariableTable& folders = PathVariables();
  const struct {
    std::wstring_view name;
    const std::wstring* value;
  } names[] = {
      {L"CompanyName", &state.CompanyName},
      {L"InstallPath", &state.InstallPath},
      {L"ProgramName", &state.ProgramName},
      {LinkFolderVariable(kDesktopToken), &folders.Desktop},
      {LinkFolderVariable(kStartMenuToken), &folders.StartMenu},
      {LinkFolderVariable(kAutoLoadingToken), &folders.Startup},
  };
  for (const auto& entry : names)
    if (EqualNoCase(name, entry.name))
      return entry.value;
  return nullptr;
}
}  // namespace

std::wstring ExpandSetupVariables(const SetupState& state, std::wstring_view text) {
  // Unknown names and a lone "%" are dropped: nothing is appended for them.
  return ReplaceReferences(ExpandPathVariables(text),
                           [&](std::wstring_view name, std::wstring& output) {
                             if (const std::wstring* value = SetupValue(state, name))
                               output += *value;
                           });
}
