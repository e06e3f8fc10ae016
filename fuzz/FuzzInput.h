#pragma once
// Turns a fuzzer's bytes into the wide texts the program meets: file names, command lines and
// clipboard text as UTF-16 code units.
//
// Bytes below 0x80 are the ASCII characters themselves, so a seed can be written as plain text;
// the bytes 0x80..0xEF stand for units that are hard to reach byte by byte (surrogates, blanks
// that are not U+0020, letters whose case folding is special); 0xF0 takes the next two bytes as
// one raw unit (low byte first); 0xFF ends a field. Bytes 0xF1..0xFE are left to the fuzzer's
// own use (flags read with flag()).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

constexpr std::uint8_t kRawUnit = 0xF0;
constexpr std::uint8_t kFieldEnd = 0xFF;

inline wchar_t specialUnit(std::uint8_t b) {
  static constexpr std::array<char16_t, 16> kUnits = {
      u'\0',     u'\\',     u'/',      u'"',      u' ',      u'\x00A0', u'\x3000', u'\xD800',
      u'\xDC00', u'\xDBFF', u'\xDFFF', u'\x0130', u'\x212A', u'\x00E9', u'\x00C9', u'\xFFFD'};
  return static_cast<wchar_t>(kUnits[b % kUnits.size()]);
}

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool done() const { return pos_ >= size_; }

  // The next field: units up to the next field end (or the end of the input).
  std::wstring field() {
    std::wstring out;
    while (pos_ < size_) {
      const std::uint8_t b = data_[pos_++];
      if (b == kFieldEnd)
        break;
      if (b < 0x80) {
        out.push_back(static_cast<wchar_t>(b));
      } else if (b == kRawUnit) {
        std::uint16_t unit = 0;
        if (pos_ < size_)
          unit = data_[pos_++];
        if (pos_ < size_)
          unit = static_cast<std::uint16_t>(unit | (data_[pos_++] << 8));
        out.push_back(static_cast<wchar_t>(unit));
      } else if (b < 0xF0) {
        out.push_back(specialUnit(b));
      }
      // 0xF1..0xFE inside a field carry no unit.
    }
    return out;
  }

  // One byte as a small number (0 when the input is used up); does not take part in fields.
  std::uint8_t flag() { return pos_ < size_ ? data_[pos_++] : 0; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Reports a broken property with the texts involved and stops the run, so that libFuzzer saves
// the input that caused it.
[[noreturn]] void fail(const char* property, const std::vector<std::wstring>& texts);

// Checks a property; on failure reports it with the texts involved.
inline void check(bool holds, const char* property, const std::vector<std::wstring>& texts) {
  if (!holds)
    fail(property, texts);
}

}  // namespace fuzz
