#pragma once
// A wide text in a fixed buffer: the self-extractor builds its few paths and
// messages without the standard library's strings, to stay small.

#include <cstddef>

template <size_t Capacity>
class FixedText {
 public:
  FixedText() = default;
  explicit FixedText(const wchar_t* text) { Append(text); }

  // False (and the text unchanged) when it would not fit.
  bool Append(const wchar_t* text, size_t length) {
    if (length >= Capacity - length_)
      return false;
    for (size_t i = 0; i < length; ++i) text_[length_ + i] = text[i];
    length_ += length;
    text_[length_] = 0;
    return true;
  }
  bool Append(const wchar_t* text) {
    size_t length = 0;
    while (text[length]) ++length;
    return Append(text, length);
  }
  bool Append(wchar_t c) { return Append(&c, 1); }

  const wchar_t* Get() const { return text_; }
  wchar_t* Data() { return text_; }
  size_t Length() const { return length_; }
  static constexpr size_t Size() { return Capacity; }
  // After the buffer was filled from outside (Data()), up to its terminating zero.
  void Measure() {
    length_ = 0;
    while (length_ < Capacity - 1 && text_[length_]) ++length_;
    text_[length_] = 0;
  }

 private:
  wchar_t text_[Capacity] = {};
  size_t length_ = 0;
};

// Paths of the temporary folder, the program image and the unpacked files;
// a longer one is refused as too long.
inline constexpr size_t kLongPath = 2048;
using PathText = FixedText<kLongPath>;
