#ifndef KELVADOR_RECORDS_MAPPED_BUFFER_H_
#define KELVADOR_RECORDS_MAPPED_BUFFER_H_

#include <cstddef>
#include <cstdint>

namespace kelvador {

// A large block of memory mapped straight from the system and given back to it
// when released. The allocator would keep freed blocks of this size for reuse
// once its mapping threshold has grown, and a run that spills must really hand
// its memory back. Pages cost memory only once they are touched.
// Writes a byte into every 4 KiB page of data[0, size).
inline void TouchEveryPage(std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kPage = 4096;
  for (std::size_t at = 0; at < size; at += kPage) data[at] = 0;
}

class MappedBuffer {
 public:
  MappedBuffer() = default;
  ~MappedBuffer() { Release(); }
  MappedBuffer(MappedBuffer&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
  }
  MappedBuffer& operator=(MappedBuffer&& other) noexcept {
    if (this != &other) {
      Release();
      data_ = other.data_;
      size_ = other.size_;
      other.data_ = nullptr;
      other.size_ = 0;
    }
    return *this;
  }
  MappedBuffer(const MappedBuffer&) = delete;
  MappedBuffer& operator=(const MappedBuffer&) = delete;

  // Maps `size` bytes (at least 1). Returns false, leaving the buffer empty,
  // when the system refuses.
  bool Allocate(std::size_t size);
  void Release();

  // Has the system provide the pages of the first `bytes` bytes (all when
  // more than size()) now, in the calling thread, rather than one fault at a
  // time while they are filled.
  void Prefault(std::size_t bytes = SIZE_MAX);

  // Gives back to the system, while the mapping stays, the pages from the one
  // holding data[begin] up to the one holding data[end], which is kept: the
  // caller needs nothing in them again. Called with each range starting where
  // the last ended, it frees every page once its last byte is done with.
  void GiveBackPages(std::size_t begin, std::size_t end);

  std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_MAPPED_BUFFER_H_
