// The PICT version 2 decoder: QuickDraw opcodes drawn into one picture frame.
#include "ImageCodecs.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "internal/CodecReader.h"

namespace fw::codec {
namespace {

using detail::Area;
using detail::Argb;
using detail::Reader;
using detail::SizeAcceptable;
using detail::UnpackBits;

constexpr std::size_t kPictFileHeader = 512;  // bytes of file-system header before a PICT
constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFF;
constexpr std::uint32_t kOpaqueBlack = 0xFF000000;
// Pixels a PICT may paint, in areas of its frame. A drawing covers its frame
// about once; a few overlapping layers are plausible, thousands are an attack
// (32 bytes of opcode can scale one pixel over the whole frame).
constexpr std::int64_t kPaintBudgetFrames = 4;
constexpr std::int64_t kMinPaintBudget = 1 << 16;  // pixels: small frames may still be drawn in several pieces

struct Rect {
  int top = 0, left = 0, bottom = 0, right = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

Rect ReadRect(Reader& r) {
  Rect rc;
  rc.top = r.S16();
  rc.left = r.S16();
  rc.bottom = r.S16();
  rc.right = r.S16();
  return rc;
}

// How the rows of a CopyBits opcode are laid out, from its PixMap or BitMap.
struct BitsLayout {
  Rect bounds;
  int rowBytes = 0;
  bool direct = false;
  int pixelSize = 1;  // indexed only
  int cmpCount = 3;   // direct only
  enum class Rows { kRaw, kPackBits, kPlanarPackBits } rows = Rows::kRaw;
  std::vector<std::uint32_t> palette = {kOpaqueWhite, kOpaqueBlack};  // a BitMap's black on white
};

bool ReadPixMapFields(Reader& r, BitsLayout& l, int& packType, int& pixelType, int& cmpSize) {
  r.U16();  // pmVersion
  packType = r.U16();
  r.Skip(4 + 4 + 4);  // packSize, hRes, vRes
  pixelType = r.U16();
  l.pixelSize = r.U16();
  l.cmpCount = r.U16();
  cmpSize = r.U16();
  r.Skip(4 + 4 + 4);  // planeBytes, pmTable, pmReserved
  return r.Ok();
}

std::optional<BitsLayout> ReadDirectLayout(Reader& r, int rawRowBytes, const Rect& bounds) {
  BitsLayout l{bounds, rawRowBytes & 0x3FFF, true};
  int packType = 0, pixelType = 0, cmpSize = 0;
  if (!(rawRowBytes & 0x8000) || !ReadPixMapFields(r, l, packType, pixelType, cmpSize)) return std::nullopt;
  if (pixelType != 16 || l.pixelSize != 32 || cmpSize != 8) return std::nullopt;
  if (l.cmpCount != 3 && l.cmpCount != 4) return std::nullopt;
  if (l.rowBytes < 4 * bounds.Width()) return std::nullopt;
  // Rows under 8 bytes are never packed. Otherwise packType 1 keeps xRGB words
  // and 4 (the default 0 means 4 at this depth) packs each row as separate
  // component planes.
  if (l.rowBytes < 8 || packType == 1) {
    l.rows = BitsLayout::Rows::kRaw;
  } else if (packType == 0 || packType == 4) {
    l.rows = BitsLayout::Rows::kPlanarPackBits;
  } else {
    return std::nullopt;
  }
  return l;
}

std::optional<BitsLayout> ReadIndexedLayout(Reader& r, int rawRowBytes, const Rect& bounds, bool packedOpcode) {
  BitsLayout l{bounds, rawRowBytes & 0x3FFF, false};
  l.rows = packedOpcode && l.rowBytes >= 8 ? BitsLayout::Rows::kPackBits : BitsLayout::Rows::kRaw;
  if (rawRowBytes & 0x8000) {
    int packType = 0, pixelType = 0, cmpSize = 0;
    if (!ReadPixMapFields(r, l, packType, pixelType, cmpSize)) return std::nullopt;
    if (pixelType != 0 || l.cmpCount != 1) return std::nullopt;
    if (l.pixelSize != 1 && l.pixelSize != 2 && l.pixelSize != 4 && l.pixelSize != 8) return std::nullopt;
    r.U32();  // ctSeed
    const int ctFlags = r.U16();
    const int entries = r.S16() + 1;
    if (!r.Ok() || entries < 0 || entries > 256) return std::nullopt;
    l.palette.assign(std::size_t{1} << l.pixelSize, kOpaqueBlack);
    for (int i = 0; i < entries; ++i) {
      const int value = r.U16();
      const auto cr = static_cast<std::uint8_t>(r.U16() >> 8);
      const auto cg = static_cast<std::uint8_t>(r.U16() >> 8);
      const auto cb = static_cast<std::uint8_t>(r.U16() >> 8);
      // A device table (flag 0x8000) lists its entries in order and its values mean nothing.
      const auto index = static_cast<std::size_t>((ctFlags & 0x8000) ? i : value);
      if (index < l.palette.size()) l.palette[index] = Argb(0xFF, cr, cg, cb);
    }
    if (!r.Ok()) return std::nullopt;
  }
  if (static_cast<std::int64_t>(l.rowBytes) * 8 < static_cast<std::int64_t>(bounds.Width()) * l.pixelSize) {
    return std::nullopt;
  }
  return l;
}

// Steps over the rows a layout describes, without unpacking them.
bool SkipRows(Reader& r, const BitsLayout& l) {
  const int h = l.bounds.Height();
  if (l.rows == BitsLayout::Rows::kRaw) {
    r.Skip(Area(l.rowBytes, h));
    return r.Ok();
  }
  const bool wordCount = l.rowBytes > 250;
  for (int y = 0; y < h && r.Ok(); ++y) r.Skip(wordCount ? r.U16() : r.U8());
  return r.Ok();
}

// Reads the rows a layout describes into 0xAARRGGBB pixels of its bounds.
std::optional<std::vector<std::uint32_t>> ReadRows(Reader& r, const BitsLayout& l) {
  const int w = l.bounds.Width();
  const int h = l.bounds.Height();
  using Rows = BitsLayout::Rows;
  // The fewest bytes a row can take in the file (a packed run covers at most
  // 128 bytes in 2): refusing early keeps allocations within what the file holds.
  std::int64_t rowLen = l.rowBytes;
  std::int64_t minStored = l.rowBytes;
  if (l.rows == Rows::kPlanarPackBits) rowLen = static_cast<std::int64_t>(l.cmpCount) * w;
  if (l.rows == Rows::kPackBits || l.rows == Rows::kPlanarPackBits) minStored = 1 + 2 * ((rowLen + 127) / 128);
  if (static_cast<std::int64_t>(r.Left()) < minStored * h) return std::nullopt;

  std::vector<std::uint32_t> pixels(Area(w, h));
  std::vector<std::uint8_t> row(static_cast<std::size_t>(rowLen));
  const bool wordCount = l.rowBytes > 250;
  const int plane0 = l.cmpCount == 4 ? w : 0;  // skips the alpha plane: see below
  for (int y = 0; y < h; ++y) {
    if (l.rows == Rows::kPackBits || l.rows == Rows::kPlanarPackBits) {
      const std::size_t count = wordCount ? r.U16() : r.U8();
      auto data = r.Take(count);
      if (!r.Ok() || !UnpackBits(data, row)) return std::nullopt;
    } else {
      auto data = r.Take(row.size());
      if (!r.Ok()) return std::nullopt;
      std::copy(data.begin(), data.end(), row.begin());
    }
    std::uint32_t* out = pixels.data() + Area(y, w);
    const std::uint8_t* in = row.data();
    // QuickDraw ignores a 32-bit pixel's fourth component and writers often
    // leave it zero, so it never makes a pixel transparent.
    for (int x = 0; x < w; ++x) {
      if (!l.direct) {
        const int perByte = 8 / l.pixelSize;
        const int shift = 8 - l.pixelSize * (x % perByte + 1);
        out[x] = l.palette[(in[x / perByte] >> shift) & ((1u << l.pixelSize) - 1)];
      } else if (l.rows == Rows::kPlanarPackBits) {
        out[x] = Argb(0xFF, in[plane0 + x], in[plane0 + w + x], in[plane0 + 2 * w + x]);
      } else {
        out[x] = Argb(0xFF, in[4 * x + 1], in[4 * x + 2], in[4 * x + 3]);
      }
    }
  }
  return pixels;
}

bool SkipRegion(Reader& r) {
  const std::size_t size = r.U16();  // counts its own two bytes
  if (size < 10) return false;
  r.Skip(size - 2);
  return r.Ok();
}

// The pixels of the frame that a copy to dst paints.
std::int64_t PaintedArea(const Rect& src, const Rect& dst, const Rect& frame) {
  if (src.Width() <= 0 || src.Height() <= 0) return 0;
  const std::int64_t w = std::min(dst.right, frame.right) - std::max(dst.left, frame.left);
  const std::int64_t h = std::min(dst.bottom, frame.bottom) - std::max(dst.top, frame.top);
  return w > 0 && h > 0 ? w * h : 0;
}

// Copies src (bitmap coordinates) to dst (picture coordinates), scaling by
// nearest neighbour when they differ, clipped to the picture's frame.
void Blit(const std::vector<std::uint32_t>& bits, const Rect& bounds, const Rect& src, const Rect& dst,
          const Rect& frame, RGBAImage& img) {
  if (img.pixels.empty()) {  // a picture draws on white
    img = {frame.Width(), frame.Height(),
           std::vector<std::uint32_t>(Area(frame.Width(), frame.Height()), kOpaqueWhite)};
  }
  if (src.Width() <= 0 || src.Height() <= 0 || dst.Width() <= 0 || dst.Height() <= 0) return;
  const int y0 = std::max(dst.top, frame.top), y1 = std::min(dst.bottom, frame.bottom);
  const int x0 = std::max(dst.left, frame.left), x1 = std::min(dst.right, frame.right);
  for (int y = y0; y < y1; ++y) {
    const auto sy = src.top + static_cast<int>(std::int64_t{y - dst.top} * src.Height() / dst.Height());
    if (sy < bounds.top || sy >= bounds.bottom) continue;
    for (int x = x0; x < x1; ++x) {
      const auto sx = src.left + static_cast<int>(std::int64_t{x - dst.left} * src.Width() / dst.Width());
      if (sx < bounds.left || sx >= bounds.right) continue;
      img.pixels[Area(y - frame.top, img.width) + static_cast<std::size_t>(x - frame.left)] =
          bits[Area(sy - bounds.top, bounds.Width()) + static_cast<std::size_t>(sx - bounds.left)];
    }
  }
}

// A picture is walked twice: first to weigh what its opcodes would paint,
// painting nothing, then, if that stays within the budget, to draw.
enum class Pass { kWeigh, kDraw };

struct Painting {
  explicit Painting(Pass p) : pass(p) {}
  Rect frame;
  Pass pass;
  std::int64_t budget = 0;  // pixels still allowed to be painted
  RGBAImage img;            // drawn on in the kDraw pass only
};

// A CopyBits opcode: BitMap or PixMap (with colour table), srcRect, dstRect,
// mode, a mask region for the region forms (it only clips: skipped), rows.
bool DrawBitsOpcode(Reader& r, int opcode, Painting& p) {
  const bool direct = opcode == 0x9A || opcode == 0x9B;
  if (direct) r.U32();  // baseAddr
  const int rawRowBytes = r.U16();
  const Rect bounds = ReadRect(r);
  if (!r.Ok()) return false;
  auto layout = direct ? ReadDirectLayout(r, rawRowBytes, bounds)
                       : ReadIndexedLayout(r, rawRowBytes, bounds, opcode == 0x98 || opcode == 0x99);
  if (!layout) return false;
  const Rect src = ReadRect(r);
  const Rect dst = ReadRect(r);
  r.U16();  // transfer mode: every mode is drawn as a plain copy
  if (opcode == 0x91 || opcode == 0x99 || opcode == 0x9B) {
    if (!SkipRegion(r)) return false;
  }
  if (!r.Ok() || !SizeAcceptable(bounds.Width(), bounds.Height())) return false;
  p.budget -= PaintedArea(src, dst, p.frame);
  if (p.budget < 0) return false;
  if (p.pass == Pass::kWeigh) return SkipRows(r, *layout);
  auto pixels = ReadRows(r, *layout);
  if (!pixels) return false;
  Blit(*pixels, bounds, src, dst, p.frame, p.img);
  return true;
}

// Steps over an opcode that does not change the pixels (state, comments,
// vector drawing, reserved codes); false when its length is not known.
bool SkipOpcode(Reader& r, int op) {
  auto skipByteCounted = [&r] { r.Skip(r.U8()); };
  if (op >= 0x0100 && op <= 0x7FFF) {  // reserved: the high byte counts words
    r.Skip(static_cast<std::size_t>(op >> 8) * 2);
  } else if (op >= 0x8100) {
    r.Skip(r.U32());
  } else if (op >= 0x8000) {
    // reserved, no data
  } else {
    switch (op) {
      case 0x00:
      case 0x1C:
      case 0x1E:
        break;
      case 0x04:
        r.Skip(1);
        break;
      case 0x03:
      case 0x05:
      case 0x08:
      case 0x0D:
      case 0x15:
      case 0x16:
      case 0x23:
      case 0xA0:
        r.Skip(2);
        break;
      case 0x06:
      case 0x07:
      case 0x0B:
      case 0x0C:
      case 0x0E:
      case 0x0F:
      case 0x21:
        r.Skip(4);
        break;
      case 0x1A:
      case 0x1B:
      case 0x1D:
      case 0x1F:
      case 0x22:
        r.Skip(6);
        break;
      case 0x02:
      case 0x09:
      case 0x0A:
      case 0x10:
      case 0x20:
        r.Skip(8);
        break;
      case 0x28:
        r.Skip(4);
        skipByteCounted();
        break;
      case 0x29:
      case 0x2A:
        r.Skip(1);
        skipByteCounted();
        break;
      case 0x2B:
        r.Skip(2);
        skipByteCounted();
        break;
      case 0xA1:
        r.Skip(2);
        r.Skip(r.U16());
        break;
      default:
        if ((op >= 0x30 && op <= 0x37) || (op >= 0x40 && op <= 0x47) || (op >= 0x50 && op <= 0x57)) {
          r.Skip(8);  // rect shapes
        } else if ((op >= 0x38 && op <= 0x3F) || (op >= 0x48 && op <= 0x4F) || (op >= 0x58 && op <= 0x5F) ||
                   (op >= 0x78 && op <= 0x7F) || (op >= 0x88 && op <= 0x8F) || (op >= 0xB0 && op <= 0xCF)) {
          // "same shape" forms and reserved codes without data
        } else if (op >= 0x60 && op <= 0x67) {
          r.Skip(12);
        } else if (op >= 0x68 && op <= 0x6F) {
          r.Skip(4);
        } else if ((op >= 0x70 && op <= 0x77) || (op >= 0x80 && op <= 0x87)) {
          const std::size_t size = r.U16();  // polygon or region, counting its own word
          if (size < 2) return false;
          r.Skip(size - 2);
        } else if ((op >= 0x24 && op <= 0x27) || (op >= 0x2C && op <= 0x2F) || (op >= 0x92 && op <= 0x97) ||
                   (op >= 0x9C && op <= 0x9F) || (op >= 0xA2 && op <= 0xAF)) {
          r.Skip(r.U16());
        } else if (op >= 0xD0 && op <= 0xFE) {
          r.Skip(r.U32());
        } else {
          return false;  // pixel patterns and anything unknown
        }
    }
  }
  return r.Ok();
}

bool LooksLikeVersion2(std::span<const std::uint8_t> b) {
  // picSize (2) and picFrame (8) precede the version opcode 0x0011 0x02FF.
  return b.size() >= 14 && b[10] == 0x00 && b[11] == 0x11 && b[12] == 0x02 && b[13] == 0xFF;
}

// One walk over the opcodes after the version. False for anything refused.
bool WalkPICT(std::span<const std::uint8_t> bytes, Painting& p) {
  Reader r(bytes);
  r.U16();  // picSize: only the low 16 bits of the length, so useless for version 2
  p.frame = ReadRect(r);
  r.Skip(4);  // version opcode and version, checked by the caller

  bool headerSeen = false;
  bool framed = false;  // the drawing frame is fixed once the first drawing opcode comes
  for (;;) {
    if (r.Pos() % 2) r.Skip(1);  // version 2 opcodes start on even offsets
    const int op = r.U16();
    if (!r.Ok()) return false;
    if (op == 0x00FF) break;
    if (op == 0x0C00) {
      // An extended header (-2) gives the native-resolution bounds in which the
      // opcodes are drawn; the other form keeps the 72 dpi picFrame.
      const int version = r.S16();
      r.Skip(2 + 4 + 4);  // reserved, hRes, vRes
      const Rect nativeRect = ReadRect(r);
      r.Skip(4);
      if (!r.Ok() || headerSeen || framed) return false;
      if (version == -2) p.frame = nativeRect;
      headerSeen = true;
      continue;
    }
    if (!framed) {
      if (!SizeAcceptable(p.frame.Width(), p.frame.Height())) return false;
      p.budget = std::max(kPaintBudgetFrames * p.frame.Width() * p.frame.Height(), kMinPaintBudget);
      framed = true;
    }
    if (op == 0x0001) {
      if (!SkipRegion(r)) return false;
    } else if (op == 0x90 || op == 0x91 || op == 0x98 || op == 0x99 || op == 0x9A || op == 0x9B) {
      if (!DrawBitsOpcode(r, op, p)) return false;
    } else if (!SkipOpcode(r, op)) {
      return false;
    }
  }
  return framed;
}

}  // namespace

std::optional<RGBAImage> DecodePICT(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > kPictFileHeader && LooksLikeVersion2(bytes.subspan(kPictFileHeader))) {
    bytes = bytes.subspan(kPictFileHeader);
  } else if (!LooksLikeVersion2(bytes)) {
    return std::nullopt;
  }
  Painting weighed(Pass::kWeigh);
  if (!WalkPICT(bytes, weighed)) return std::nullopt;
  Painting drawn(Pass::kDraw);
  if (!WalkPICT(bytes, drawn) || drawn.img.pixels.empty()) return std::nullopt;  // no pixels: nothing to show
  return std::move(drawn.img);
}

}  // namespace fw::codec
