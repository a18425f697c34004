#pragma once
// Lets pending window messages run during a long operation on the GUI thread.

// Dispatches every queued message. A quit request is put back for the main
// loop and makes the result false, so the operation can stop.
bool PumpMessages();
