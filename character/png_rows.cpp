#include "character/png_rows.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace companion {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::int32_t kMaxSide = 16384;
constexpr std::size_t kBytesPerPixel = 4;
// The signature, then the header chunk: length, type, 13 bytes of fields, checksum.
constexpr std::size_t kHeaderEnd = 8 + 4 + 4 + 13 + 4;

constexpr std::size_t kWindowSize = 32768;
constexpr std::size_t kMaxMatch = 258;

// Huffman codes are looked up by their first kFirstBits bits; the few longer codes go on to a
// second table indexed by the rest.
constexpr int kMaxCodeLength = 15;
constexpr int kFirstBits = 10;
constexpr int kSecondBits = kMaxCodeLength - kFirstBits;
constexpr std::size_t kMaxLiteralCodes = 288;
// A table entry is symbol << 16 | code length. A link to a second table has kLink set and that
// table's offset in place of the symbol; 0 is a bit pattern that starts no code.
constexpr std::uint32_t kLink = 0x100;
constexpr std::uint32_t kLengthMask = 0xFF;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtraBits = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtraBits = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                             4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                             9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block lists the lengths of its code-length code.
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};

[[noreturn]] void Fail() {
  throw std::runtime_error("Invalid PNG");
}

std::uint32_t ReadBigEndian(const std::uint8_t* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

constexpr std::uint32_t ChunkType(const char (&name)[5]) {
  return (std::uint32_t(std::uint8_t(name[0])) << 24) |
         (std::uint32_t(std::uint8_t(name[1])) << 16) |
         (std::uint32_t(std::uint8_t(name[2])) << 8) | std::uint32_t(std::uint8_t(name[3]));
}

struct Chunk {
  std::uint32_t type = 0;
  const std::uint8_t* data = nullptr;
  std::size_t length = 0;
};

// The chunk at `offset`, which moves past it; fails unless the whole chunk is inside the file.
Chunk ReadChunk(std::span<const std::uint8_t> png, std::size_t& offset) {
  if (png.size() - offset < 12) Fail();
  const std::uint32_t length = ReadBigEndian(png.data() + offset);
  if (length > png.size() - offset - 12) Fail();
  const Chunk chunk{ReadBigEndian(png.data() + offset + 4), png.data() + offset + 8, length};
  offset += 12 + length;
  return chunk;
}

// The zlib stream, spread over consecutive data chunks and read least significant bit first.
// Bits above `count` may hold the start of the next byte, or zeros once the data has run out;
// they are never trusted.
struct BitReader {
  std::span<const std::uint8_t> png;
  std::size_t nextChunk = 0;
  const std::uint8_t* next = nullptr;
  const std::uint8_t* end = nullptr;
  std::uint64_t bits = 0;
  int count = 0;
};

bool NextDataChunk(BitReader& in) {
  while (in.next == in.end) {
    std::size_t offset = in.nextChunk;
    const Chunk chunk = ReadChunk(in.png, offset);
    if (chunk.type != ChunkType("IDAT")) return false;
    in.nextChunk = offset;
    in.next = chunk.data;
    in.end = chunk.data + chunk.length;
  }
  return true;
}

// Tops the buffer up to at least 56 bits, or to whatever is left.
void Refill(BitReader& in) {
  if (in.end - in.next >= 8) {
    std::uint64_t word = 0;
    for (int i = 0; i < 8; ++i)
      word |= std::uint64_t{in.next[i]} << (8 * i);
    // Whole bytes only: the part of the next byte that also fits is the same bits it will
    // bring when it is loaded.
    in.bits |= word << in.count;
    in.next += (63 - in.count) >> 3;
    in.count |= 56;
    return;
  }
  while (in.count <= 56 && (in.next != in.end || NextDataChunk(in))) {
    in.bits |= std::uint64_t{*in.next++} << in.count;
    in.count += 8;
  }
}

std::uint32_t TakeBits(BitReader& in, int wanted) {
  if (in.count < wanted) Refill(in);
  if (in.count < wanted) Fail();
  const auto value = static_cast<std::uint32_t>(in.bits & ((std::uint64_t{1} << wanted) - 1));
  in.bits >>= wanted;
  in.count -= wanted;
  return value;
}

struct HuffmanTable {
  std::array<std::uint32_t, (1 << kFirstBits) + kMaxLiteralCodes*(1 << kSecondBits)> entries;
};

// Builds the canonical code for `lengths` (0: symbol unused). Fails for an over-subscribed code
// and for an incomplete one, except a lone one-bit code (the format's way of sending a single
// distance) where `allowLoneCode`; an empty code builds and fails when used.
void BuildTable(HuffmanTable& table, std::span<const std::uint8_t> lengths, bool allowLoneCode) {
  std::array<std::uint32_t, kMaxCodeLength + 1> lengthCount{};
  for (const std::uint8_t length : lengths)
    ++lengthCount[length];
  std::array<std::uint32_t, kMaxCodeLength + 1> nextCode{};
  std::int64_t unusedCodes = 1;
  std::uint32_t code = 0;
  for (int length = 1; length <= kMaxCodeLength; ++length) {
    unusedCodes = unusedCodes * 2 - lengthCount[length];
    if (unusedCodes < 0) Fail();
    code = (code + (length == 1 ? 0 : lengthCount[length - 1])) << 1;
    nextCode[length] = code;
  }
  const std::size_t used = lengths.size() - lengthCount[0];
  if (unusedCodes > 0 && used > 0 && !(allowLoneCode && used == 1 && lengthCount[1] == 1)) Fail();

  std::fill_n(table.entries.begin(), 1 << kFirstBits, 0);
  std::uint32_t nextSecondTable = 1 << kFirstBits;
  for (std::uint32_t symbol = 0; symbol < lengths.size(); ++symbol) {
    const int length = lengths[symbol];
    if (length == 0) continue;
    // Codes are defined most significant bit first but read least significant bit first.
    std::uint32_t reversed = 0;
    for (std::uint32_t c = nextCode[length]++, i = 0; i < std::uint32_t(length); ++i, c >>= 1)
      reversed = (reversed << 1) | (c & 1);
    const std::uint32_t entry = (symbol << 16) | std::uint32_t(length);
    if (length <= kFirstBits) {
      for (std::uint32_t i = reversed; i < (1u << kFirstBits); i += 1u << length)
        table.entries[i] = entry;
      continue;
    }
    std::uint32_t& link = table.entries[reversed & ((1u << kFirstBits) - 1)];
    if (link == 0) {
      link = (nextSecondTable << 16) | kLink;
      std::fill_n(table.entries.begin() + nextSecondTable, 1 << kSecondBits, 0);
      nextSecondTable += 1 << kSecondBits;
    }
    const std::uint32_t base = link >> 16;
    for (std::uint32_t i = reversed >> kFirstBits; i < (1u << kSecondBits);
         i += 1u << (length - kFirstBits)) {
      table.entries[base + i] = entry;
    }
  }
}

std::uint32_t DecodeSymbol(BitReader& in, const HuffmanTable& table) {
  if (in.count < kMaxCodeLength) Refill(in);
  std::uint32_t entry = table.entries[in.bits & ((1u << kFirstBits) - 1)];
  if (entry & kLink) {
    entry = table.entries[(entry >> 16) + ((in.bits >> kFirstBits) & ((1u << kSecondBits) - 1))];
  }
  const int length = static_cast<int>(entry & kLengthMask);
  if (length == 0 || length > in.count) Fail();
  in.bits >>= length;
  in.count -= length;
  return entry >> 16;
}

int Paeth(int left, int up, int upLeft) {
  const int estimate = left + up - upLeft;
  const int toLeft = std::abs(estimate - left);
  const int toUp = std::abs(estimate - up);
  const int toUpLeft = std::abs(estimate - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) return left;
  return toUp <= toUpLeft ? up : upLeft;
}

// Undoes the row's filter in place; `prior` is the previous row, already unfiltered (zeros
// above the first row).
void Unfilter(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* prior, std::size_t size) {
  const auto add = [](std::uint8_t& byte, int predictor) {
    byte = static_cast<std::uint8_t>(byte + predictor);
  };
  switch (filter) {
    case 0:
      return;
    case 1:
      for (std::size_t i = kBytesPerPixel; i < size; ++i)
        add(row[i], row[i - kBytesPerPixel]);
      return;
    case 2:
      for (std::size_t i = 0; i < size; ++i)
        add(row[i], prior[i]);
      return;
    case 3:
      for (std::size_t i = 0; i < kBytesPerPixel; ++i)
        add(row[i], prior[i] / 2);
      for (std::size_t i = kBytesPerPixel; i < size; ++i)
        add(row[i], (row[i - kBytesPerPixel] + prior[i]) / 2);
      return;
    case 4:
      // With no pixel to the left, the predictor is always the one above.
      for (std::size_t i = 0; i < kBytesPerPixel; ++i)
        add(row[i], prior[i]);
      for (std::size_t i = kBytesPerPixel; i < size; ++i)
        add(row[i], Paeth(row[i - kBytesPerPixel], prior[i], prior[i - kBytesPerPixel]));
      return;
    default:
      Fail();
  }
}

// Takes the inflated bytes (each row a filter type, then its filtered pixels), keeps their
// checksum and hands out each row as soon as it is whole.
struct RowAssembler {
  const std::function<void(std::int32_t, const std::uint8_t*)>* handOut = nullptr;
  std::int32_t height = 0;
  std::size_t filteredSize = 0;  // the filter type byte and the row's pixels
  std::vector<std::uint8_t> current;
  std::vector<std::uint8_t> previous;
  std::size_t filled = 0;
  std::int32_t y = 0;
  std::uint32_t adlerLow = 1;
  std::uint32_t adlerHigh = 0;
};

void UpdateAdler(RowAssembler& rows, const std::uint8_t* bytes, std::size_t size) {
  // 5552 bytes is the most that the sums can take before they could overflow 32 bits.
  constexpr std::size_t kBlock = 5552;
  constexpr std::uint32_t kModulus = 65521;
  // Locals, since the bytes could alias the members and force a store per byte.
  std::uint32_t low = rows.adlerLow;
  std::uint32_t high = rows.adlerHigh;
  while (size > 0) {
    const std::size_t block = std::min(size, kBlock);
    for (std::size_t i = 0; i < block; ++i) {
      low += bytes[i];
      high += low;
    }
    low %= kModulus;
    high %= kModulus;
    bytes += block;
    size -= block;
  }
  rows.adlerLow = low;
  rows.adlerHigh = high;
}

void Feed(RowAssembler& rows, const std::uint8_t* bytes, std::size_t size) {
  UpdateAdler(rows, bytes, size);
  while (size > 0) {
    if (rows.y == rows.height) Fail();
    const std::size_t taken = std::min(size, rows.filteredSize - rows.filled);
    std::memcpy(rows.current.data() + rows.filled, bytes, taken);
    rows.filled += taken;
    bytes += taken;
    size -= taken;
    if (rows.filled < rows.filteredSize) return;
    Unfilter(rows.current[0], rows.current.data() + 1, rows.previous.data() + 1,
             rows.filteredSize - 1);
    (*rows.handOut)(rows.y, rows.current.data() + 1);
    rows.current.swap(rows.previous);
    rows.filled = 0;
    ++rows.y;
  }
}

struct Inflater {
  BitReader in;
  RowAssembler rows;
  // The last 32 KB of output that matches may copy from, then the fresh output not yet fed.
  std::vector<std::uint8_t> output = std::vector<std::uint8_t>(2 * kWindowSize);
  std::size_t position = 0;
  std::size_t fed = 0;
  HuffmanTable literals;
  HuffmanTable distances;
  HuffmanTable codeLengths;
};

// Feeds the fresh output on and keeps only the window, making room for at least 32 KB more.
void Slide(Inflater& inflater) {
  Feed(inflater.rows, inflater.output.data() + inflater.fed, inflater.position - inflater.fed);
  const std::size_t kept = std::min(inflater.position, kWindowSize);
  std::memmove(inflater.output.data(), inflater.output.data() + inflater.position - kept, kept);
  inflater.position = kept;
  inflater.fed = kept;
}

void CopyMatch(std::uint8_t* to, std::size_t distance, std::size_t length) {
  const std::uint8_t* from = to - distance;
  if (distance == 1) {
    std::memset(to, *from, length);
    return;
  }
  // A match that overlaps itself repeats its first `distance` bytes; each copy doubles the
  // stretch that is already repeated, so no copy overlaps.
  while (length > distance) {
    std::memcpy(to, from, distance);
    to += distance;
    length -= distance;
    distance *= 2;
  }
  std::memcpy(to, from, length);
}

void InflateStored(Inflater& inflater) {
  BitReader& in = inflater.in;
  TakeBits(in, in.count % 8);
  const std::uint32_t length = TakeBits(in, 16);
  if (length != (~TakeBits(in, 16) & 0xFFFF)) Fail();
  for (std::uint32_t i = 0; i < length; ++i) {
    if (inflater.position == inflater.output.size()) Slide(inflater);
    inflater.output[inflater.position++] = static_cast<std::uint8_t>(TakeBits(in, 8));
  }
}

void BuildFixedTables(Inflater& inflater) {
  std::array<std::uint8_t, kMaxLiteralCodes> literalLengths;
  std::fill_n(literalLengths.begin(), 144, 8);
  std::fill_n(literalLengths.begin() + 144, 112, 9);
  std::fill_n(literalLengths.begin() + 256, 24, 7);
  std::fill_n(literalLengths.begin() + 280, 8, 8);
  BuildTable(inflater.literals, literalLengths, false);
  // All 32 five-bit codes, although the last two never stand for a distance.
  std::array<std::uint8_t, 32> distanceLengths;
  distanceLengths.fill(5);
  BuildTable(inflater.distances, distanceLengths, false);
}

void ReadDynamicTables(Inflater& inflater) {
  BitReader& in = inflater.in;
  const std::uint32_t literalCount = TakeBits(in, 5) + 257;
  const std::uint32_t distanceCount = TakeBits(in, 5) + 1;
  const std::uint32_t codeLengthCount = TakeBits(in, 4) + 4;
  if (literalCount > 286 || distanceCount > 30) Fail();
  std::array<std::uint8_t, kCodeLengthOrder.size()> codeLengthLengths{};
  for (std::uint32_t i = 0; i < codeLengthCount; ++i)
    codeLengthLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(TakeBits(in, 3));
  BuildTable(inflater.codeLengths, codeLengthLengths, false);

  // One run of lengths for both codes: a repeat may carry on from one into the other.
  std::array<std::uint8_t, 286 + 30> lengths{};
  const std::uint32_t total = literalCount + distanceCount;
  for (std::uint32_t i = 0; i < total;) {
    const std::uint32_t symbol = DecodeSymbol(in, inflater.codeLengths);
    if (symbol < 16) {
      lengths[i++] = static_cast<std::uint8_t>(symbol);
      continue;
    }
    std::uint8_t repeated = 0;
    std::uint32_t times = 0;
    if (symbol == 16) {
      if (i == 0) Fail();
      repeated = lengths[i - 1];
      times = 3 + TakeBits(in, 2);
    } else if (symbol == 17) {
      times = 3 + TakeBits(in, 3);
    } else {
      times = 11 + TakeBits(in, 7);
    }
    if (times > total - i) Fail();
    std::fill_n(lengths.begin() + i, times, repeated);
    i += times;
  }
  BuildTable(inflater.literals, std::span(lengths.data(), literalCount), true);
  BuildTable(inflater.distances, std::span(lengths.data() + literalCount, distanceCount), true);
}

void InflateCompressed(Inflater& inflater) {
  BitReader& in = inflater.in;
  for (;;) {
    if (inflater.position > inflater.output.size() - kMaxMatch) Slide(inflater);
    const std::uint32_t symbol = DecodeSymbol(in, inflater.literals);
    if (symbol < 256) {
      inflater.output[inflater.position++] = static_cast<std::uint8_t>(symbol);
      continue;
    }
    if (symbol == 256) return;
    const std::uint32_t lengthIndex = symbol - 257;
    if (lengthIndex >= kLengthBase.size()) Fail();
    const std::size_t length =
        kLengthBase[lengthIndex] + TakeBits(in, kLengthExtraBits[lengthIndex]);
    const std::uint32_t distanceIndex = DecodeSymbol(in, inflater.distances);
    if (distanceIndex >= kDistanceBase.size()) Fail();
    const std::size_t distance =
        kDistanceBase[distanceIndex] + TakeBits(in, kDistanceExtraBits[distanceIndex]);
    if (distance > inflater.position) Fail();
    CopyMatch(inflater.output.data() + inflater.position, distance, length);
    inflater.position += length;
  }
}

void Inflate(Inflater& inflater) {
  BitReader& in = inflater.in;
  const std::uint32_t method = TakeBits(in, 8);
  const std::uint32_t flags = TakeBits(in, 8);
  // Deflate with a window of at most 32 KB, a valid header check, no preset dictionary.
  if ((method & 0x0F) != 8 || (method >> 4) > 7 || (method * 256 + flags) % 31 != 0 ||
      (flags & 0x20) != 0) {
    Fail();
  }
  bool last = false;
  while (!last) {
    last = TakeBits(in, 1) == 1;
    switch (TakeBits(in, 2)) {
      case 0:
        InflateStored(inflater);
        break;
      case 1:
        BuildFixedTables(inflater);
        InflateCompressed(inflater);
        break;
      case 2:
        ReadDynamicTables(inflater);
        InflateCompressed(inflater);
        break;
      default:
        Fail();
    }
  }
  Slide(inflater);
  TakeBits(in, in.count % 8);
  std::uint32_t adler = 0;
  for (int i = 0; i < 4; ++i)
    adler = (adler << 8) | TakeBits(in, 8);
  if (adler != ((inflater.rows.adlerHigh << 16) | inflater.rows.adlerLow)) Fail();
  if (inflater.rows.y != inflater.rows.height) Fail();
}

}  // namespace

PngSize ReadPngSize(std::span<const std::uint8_t> png) {
  if (png.size() < kHeaderEnd || !std::equal(kSignature.begin(), kSignature.end(), png.begin()))
    Fail();
  const std::uint8_t* header = png.data() + kSignature.size();
  if (ReadBigEndian(header) != 13 || ReadBigEndian(header + 4) != ChunkType("IHDR")) Fail();
  const std::uint8_t* fields = header + 8;
  const std::uint32_t width = ReadBigEndian(fields);
  const std::uint32_t height = ReadBigEndian(fields + 4);
  if (width < 1 || width > kMaxSide || height < 1 || height > kMaxSide) Fail();
  // 8 bits a sample, RGBA, deflate, the adaptive filters, not interlaced.
  if (fields[8] != 8 || fields[9] != 6 || fields[10] != 0 || fields[11] != 0 || fields[12] != 0)
    Fail();
  return {static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
}

void ReadPngRows(std::span<const std::uint8_t> png,
                 const std::function<void(std::int32_t y, const std::uint8_t* rgba)>& row) {
  const PngSize size = ReadPngSize(png);
  // About 120 KB of code tables: the heap, not the caller's stack.
  const auto inflater = std::make_unique<Inflater>();
  RowAssembler& rows = inflater->rows;
  rows.handOut = &row;
  rows.height = size.height;
  rows.filteredSize = 1 + static_cast<std::size_t>(size.width) * kBytesPerPixel;
  rows.current.resize(rows.filteredSize);
  rows.previous.resize(rows.filteredSize);

  std::size_t offset = kHeaderEnd;
  for (;;) {
    const Chunk chunk = ReadChunk(png, offset);
    if (chunk.type == ChunkType("IEND")) Fail();
    if (chunk.type == ChunkType("IDAT")) {
      inflater->in = {png, offset, chunk.data, chunk.data + chunk.length};
      break;
    }
  }
  Inflate(*inflater);
  // A file cut short after its image data is still a damaged file.
  offset = inflater->in.nextChunk;
  while (ReadChunk(png, offset).type != ChunkType("IEND")) {
  }
}

}  // namespace companion
