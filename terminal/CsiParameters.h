// The parameters of a control sequence the keyboard sends: decimal numbers in
// fields separated by ';', each field of sub-fields separated by ':', and the
// xterm modifier parameter that many of them carry.
#pragma once

#include <cstdint>
#include <string_view>

struct CsiParameters {
  static constexpr int kMaxFields = 6;
  static constexpr int kMaxSubFields = 3;

  /// How many fields there are: 0 for no parameter bytes, else 1 + the number of ';'.
  int count = 0;
  /// How many sub-fields each field has; only the first kMaxSubFields are kept.
  int subCount[kMaxFields] = {};
  /// The numbers by field and sub-field; 0 where one is left out.
  uint32_t at[kMaxFields][kMaxSubFields] = {};
  /// Whether a field's first sub-field holds any digit.
  bool given[kMaxFields] = {};

  /// True when no field is split into sub-fields.
  bool Plain() const;
};

/// Parses parameter bytes; false for any byte other than a digit, ';' and ':',
/// for more than kMaxFields fields and for a number above `limit`.
bool ParseCsiParameters(std::string_view bytes, uint32_t limit, CsiParameters& parameters);

/// Bits of the xterm modifier parameter, which is 1 + these bits.
namespace ModifierBit {
inline constexpr uint32_t kShift = 1;
inline constexpr uint32_t kAlt = 2;
inline constexpr uint32_t kCtrl = 4;
inline constexpr uint32_t kCapsLock = 64;
inline constexpr uint32_t kNumLock = 128;
}  // namespace ModifierBit

/// The modifier bits of modifier parameter `parameter`; false when it lies outside 1..`max`.
bool ModifierBits(uint32_t parameter, uint32_t max, uint32_t& bits);

/// The key-state bits of modifier bits: Shift, the left Alt and Ctrl keys, the
/// Caps Lock and Num Lock states. Other bits (Meta, Super) have no key state.
uint32_t ModifierKeyState(uint32_t bits);
