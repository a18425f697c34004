#pragma once
// Messages for whoever started a windowless program from a console: the error
// stream when it leads somewhere (a redirection, a pipe, the parent's console);
// otherwise nothing is written and nothing waits.

#include <string>

void WriteToErrorStream(const std::wstring& text);
