#ifndef KELVADOR_ROW_SLOTS_H_
#define KELVADOR_ROW_SLOTS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kelvador {

inline constexpr int kColumnCount = 30;  // select-list items and layout columns
inline constexpr int kSlotSize = 100;    // characters one item's text may have

// The current row: 30 text slots of at most 100 characters, slot n - 1 holding
// select-list item n. Each slot keeps its length, so clearing the row costs 30
// bytes instead of 3000 while reading exactly like a row of zero bytes.
class RowSlots {
 public:
  // Empties every slot.
  void Clear() {
    lengths_.fill(0);
    viewed_ = 0;
  }

  // The text of slot `index` (0 to 29); empty when the slot was not set.
  std::string_view Slot(int index) const {
    const char* text = (viewed_ >> index & 1) != 0 ? views_[index] : text_[index].data();
    return {text, lengths_[index]};
  }

  // Stores a copy of `length` bytes (at most kSlotSize) in slot `index`. A
  // text ends at its first zero byte, as it would in a C string slot.
  void Set(int index, const char* text, std::size_t length) {
    length = LengthBeforeZero(text, length);
    std::memcpy(text_[index].data(), text, length);
    lengths_[index] = static_cast<std::uint8_t>(length);
    viewed_ &= ~(std::uint32_t{1} << index);
  }

  // Like Set, but the slot only points at `text`, which the caller keeps
  // unchanged until the slots are cleared or the slot is set again; saves the
  // copy. Without `may_hold_zero` (a server's text values cannot hold a zero
  // byte) the search for one is saved too.
  void View(int index, const char* text, std::size_t length, bool may_hold_zero) {
    if (may_hold_zero) length = LengthBeforeZero(text, length);
    if (length > static_cast<std::size_t>(kSlotSize)) length = kSlotSize;
    views_[index] = text;
    lengths_[index] = static_cast<std::uint8_t>(length);
    viewed_ |= std::uint32_t{1} << index;
  }

  // Empties slot `index` alone (a NULL item).
  void SetEmpty(int index) { lengths_[index] = 0; }

 private:
  static std::size_t LengthBeforeZero(const char* text, std::size_t length) {
    if (length > static_cast<std::size_t>(kSlotSize)) length = kSlotSize;
    const void* zero = std::memchr(text, 0, length);
    return zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : length;
  }

  std::array<std::array<char, kSlotSize>, kColumnCount> text_{};
  std::array<const char*, kColumnCount> views_{};  // where slots set by View point
  std::array<std::uint8_t, kColumnCount> lengths_{};
  std::uint32_t viewed_ = 0;  // bit n set: slot n is a view
  static_assert(kColumnCount <= 32, "one bit per slot in viewed_");
};

}  // namespace kelvador

#endif  // KELVADOR_ROW_SLOTS_H_
