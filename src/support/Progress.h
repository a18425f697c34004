#pragma once
// How a long operation talks to whoever shows it: a dialog, a window, or a test.

#include <cstdint>
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

// Passes everything on to `inner`, but lets messages run at most once every 10 ms
// (the first call does). Under Wine one trip through the message queue costs tens
// of microseconds, so long loops let messages run on a clock rather than after
// every row or block: windows still repaint a hundred times a second.
class ThrottledProgress final : public ProgressSink {
 public:
  explicit ThrottledProgress(ProgressSink& inner) : inner_(inner) {}
  void SetStatus(const std::wstring& text) override { inner_.SetStatus(text); }
  void SetPosition(int position) override { inner_.SetPosition(position); }
  void Pump() override;
  // Lets messages run now, whatever the clock says: after a change to be seen at once.
  void PumpNow();
  bool Cancelled() override { return inner_.Cancelled(); }

 private:
  static constexpr uint64_t kIntervalMs = 10;
  ProgressSink& inner_;
  uint64_t last_ = 0;
  bool started_ = false;
};
