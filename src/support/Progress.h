#pragma once
// How a long operation talks to whoever shows it: a dialog, a window, or a test.

#include <string>

class ProgressSink {
public:
  virtual ~ProgressSink() = default;
  virtual void SetStatus(const std::wstring& /*text*/) {}
  virtual void SetPosition(int /*position*/) {}
  // Let pending window messages run so that windows repaint.
  virtual void Pump() {}
  virtual bool Cancelled() { return false; }
};

// For callers that show nothing.
class NullProgress final : public ProgressSink {};
