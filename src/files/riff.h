// A small RIFF chunk writer and reader, little-endian whatever the host.
//
// A chunk is a four-character id, a 32-bit little-endian size and that many
// data bytes, followed by one zero pad byte when the size is odd. "RIFF" and
// "LIST" chunks begin their data with a four-character type, and their
// sub-chunks follow it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tonvale::riff {

using FourCC = std::array<char, 4>;

constexpr FourCC MakeFourCC(const char (&text)[5]) {
  return {text[0], text[1], text[2], text[3]};
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value);
std::uint32_t LoadU32(const std::uint8_t* bytes);

// Appends chunks to a byte vector. Sizes are patched in when a chunk ends,
// as the platform's RIFF services do.
class Writer {
 public:
  explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}

  void BeginChunk(FourCC id);
  // "RIFF" or "LIST" with its type.
  void BeginList(FourCC id, FourCC type);
  void Append(std::span<const std::uint8_t> bytes);
  void AppendU32(std::uint32_t value);
  // Counts `count` bytes that the caller writes after the buffer, so that
  // large data need not be copied into it. Only the ends of the open chunks
  // may follow, and the total must come out even (no pad byte can follow).
  void AppendOutside(std::uint64_t count);
  // Writes the size of the innermost open chunk, then its pad byte.
  void EndChunk();

  // False once a chunk grew beyond 32 bits or was ended without being begun.
  bool ok() const { return ok_ && open_.empty(); }

 private:
  std::vector<std::uint8_t>& out_;
  std::vector<std::size_t> open_;  // offsets of the size fields still open
  std::uint64_t outside_ = 0;
  bool ok_ = true;
};

// Random access to the bytes being read; short reads are reported, not thrown.
class Source {
 public:
  virtual ~Source() = default;
  virtual std::uint64_t Size() const = 0;
  // Copies up to `count` bytes from `offset`; returns how many were copied.
  virtual std::size_t ReadAt(std::uint64_t offset, void* into, std::size_t count) = 0;
};

class SpanSource : public Source {
 public:
  explicit SpanSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  std::size_t ReadAt(std::uint64_t offset, void* into, std::size_t count) override;

 private:
  std::span<const std::uint8_t> bytes_;
};

struct Chunk {
  FourCC id{};
  std::uint32_t size = 0;
  std::uint64_t offset = 0;  // of the id
  FourCC type{};             // "RIFF" and "LIST" only

  std::uint64_t DataBegin() const { return offset + 8; }
  std::uint64_t DataEnd() const { return DataBegin() + size; }
  // Where the next chunk starts: after the data and the pad byte.
  std::uint64_t Next() const { return DataEnd() + (size & 1u); }
  // Where the sub-chunks of a "RIFF" or "LIST" chunk start.
  std::uint64_t FirstChild() const { return DataBegin() + 4; }
};

// The first top-level "RIFF" chunk whose form type is `form`; chunks of other
// ids or forms before it are skipped.
std::optional<Chunk> FindForm(Source& source, FourCC form);

// The first chunk `id` among the sub-chunks of `parent`, searching from
// `from` (a chunk boundary inside it); the search stops at the parent's end
// or the end of the source, whichever comes first.
std::optional<Chunk> FindChunk(Source& source, const Chunk& parent, std::uint64_t from, FourCC id);

}  // namespace tonvale::riff
