#include "setup/SetupVariables.h"

#include "setup/SetupState.h"
#include "support/Environment.h"
#include "support/Strings.h"

namespace {
// The value of one of the six setup names, or nullptr for any other name.
const std::wstring* SetupValue(const SetupState& state, std::wstring_view name) {
  const PathVariableTable& folders = PathVariables();
  const struct {
    const wchar_t* name;
    const std::wstring* value;
  } names[] = {
      {L"CompanyName", &state.CompanyName}, {L"InstallPath", &state.InstallPath},
      {L"ProgramName", &state.ProgramName}, {L"Desktop", &folders.Desktop},
      {L"StartMenu", &folders.StartMenu},   {L"AutoLoading", &folders.Startup},
  };
  for (const auto& entry : names)
    if (EqualNoCase(name, entry.name))
      return entry.value;
  return nullptr;
}
}  // namespace

std::wstring ExpandSetupVariables(const SetupState& state, std::wstring_view text) {
  const std::wstring expanded = ExpandPathVariables(text);
  std::wstring output;
  output.reserve(expanded.size());
  std::wstring_view rest = expanded;
  size_t p;
  while ((p = rest.find(L'%')) != std::wstring_view::npos) {
    output.append(rest.substr(0, p));
    rest.remove_prefix(p + 1);
    size_t q = rest.find(L'%');
    std::wstring_view name = q == std::wstring_view::npos ? std::wstring_view() : rest.substr(0, q);
    if (const std::wstring* value = SetupValue(state, name))
      output += *value;
    rest.remove_prefix(q == std::wstring_view::npos ? 0 : q + 1);
  }
  output.append(rest);
  return output;
}
