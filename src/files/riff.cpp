#include "files/riff.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tonvale::riff {

namespace {

constexpr FourCC kRiff = MakeFourCC("RIFF");

void StoreU32(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
  at[2] = static_cast<std::uint8_t>(value >> 16);
  at[3] = static_cast<std::uint8_t>(value >> 24);
}

std::optional<Chunk> ReadHeader(Source& source, std::uint64_t offset) {
  std::uint8_t header[8];
  if (source.ReadAt(offset, header, sizeof header) != sizeof header) return std::nullopt;
  Chunk chunk;
  std::memcpy(chunk.id.data(), header, 4);
  chunk.size = LoadU32(header + 4);
  chunk.offset = offset;
  return chunk;
}

bool ReadType(Source& source, Chunk& chunk) {
  if (chunk.size < 4) return false;
  return source.ReadAt(chunk.DataBegin(), chunk.type.data(), 4) == 4;
}

template <class Match>
std::optional<Chunk> Scan(Source& source, std::uint64_t from, std::uint64_t end, Match match) {
  end = std::min(end, source.Size());
  for (std::uint64_t at = from; at + 8 <= end;) {
    std::optional<Chunk> chunk = ReadHeader(source, at);
    if (!chunk) return std::nullopt;
    if (match(*chunk)) return chunk;
    at = chunk->Next();
  }
  return std::nullopt;
}

}  // namespace

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  std::uint8_t bytes[4];
  StoreU32(bytes, value);
  out.insert(out.end(), bytes, bytes + 4);
}

std::uint32_t LoadU32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) |
         (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void Writer::BeginChunk(FourCC id) {
  out_.insert(out_.end(), id.begin(), id.end());
  open_.push_back(out_.size());
  AppendU32(0);
}

void Writer::BeginList(FourCC id, FourCC type) {
  BeginChunk(id);
  out_.insert(out_.end(), type.begin(), type.end());
}

void Writer::Append(std::span<const std::uint8_t> bytes) {
  out_.insert(out_.end(), bytes.begin(), bytes.end());
}

void Writer::AppendU32(std::uint32_t value) {
  riff::AppendU32(out_, value);
}

void Writer::AppendOutside(std::uint64_t count) {
  outside_ += count;
}

void Writer::EndChunk() {
  if (open_.empty()) {
    ok_ = false;
    return;
  }
  const std::size_t size_at = open_.back();
  open_.pop_back();
  const std::uint64_t size = out_.size() - size_at - 4 + outside_;
  if (size > std::numeric_limits<std::uint32_t>::max()) ok_ = false;
  StoreU32(out_.data() + size_at, static_cast<std::uint32_t>(size));
  if (size & 1u) {
    if (outside_ != 0) ok_ = false;
    out_.push_back(0);
  }
}

std::size_t SpanSource::ReadAt(std::uint64_t offset, void* into, std::size_t count) {
  if (offset >= bytes_.size()) return 0;
  const std::size_t n = static_cast<std::size_t>(
      std::min<std::uint64_t>(count, bytes_.size() - static_cast<std::size_t>(offset)));
  std::memcpy(into, bytes_.data() + offset, n);
  return n;
}

std::optional<Chunk> FindForm(Source& source, FourCC form) {
  return Scan(source, 0, source.Size(), [&](Chunk& chunk) {
    return chunk.id == kRiff && ReadType(source, chunk) && chunk.type == form;
  });
}

std::optional<Chunk> FindChunk(Source& source, const Chunk& parent, std::uint64_t from, FourCC id) {
  return Scan(source, from, parent.DataEnd(), [&](Chunk& chunk) {
    if (chunk.id != id) return false;
    ReadType(source, chunk);
    return true;
  });
}

}  // namespace tonvale::riff
