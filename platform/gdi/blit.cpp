// BitBlt and StretchBlt with SRCCOPY between any two pixel formats: indexed
// sources go through a colour table per blit, RGB into indexed destinations
// through the destination palette by nearest colour.
#include "platform/gdi/blit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/pixel_codec.h"

namespace {

// One axis of a blit: the destination span that gets written and, for each
// of its coordinates, the source coordinate it samples (-1: outside source).
struct AxisMap {
    int first = 0;
    std::vector<int> source;
};

// A destination coordinate i of n samples source s + floor((i + 1/2) * sn / n),
// counted from the far end when mirrored; equal sizes give s + i exactly.
AxisMap MapAxis(int d, int dn, int s, int sn, int low, int high, int sourceSize) {
    AxisMap map;
    const bool mirror = (dn < 0) != (sn < 0);
    if (dn < 0) d += dn, dn = -dn;
    if (sn < 0) s += sn, sn = -sn;
    if (dn == 0 || sn == 0) return map;
    map.first = std::max(d, low);
    const int last = std::min<int64_t>(static_cast<int64_t>(d) + dn, high);
    for (int pos = map.first; pos < last; ++pos) {
        const int64_t i = pos - static_cast<int64_t>(d);
        const int64_t t = mirror ? dn - 1 - i : i;
        const int64_t sc = s + (2 * t + 1) * sn / (2 * static_cast<int64_t>(dn));
        map.source.push_back(sc >= 0 && sc < sourceSize ? static_cast<int>(sc) : -1);
    }
    return map;
}

// Source spans that follow the destination one for one allow whole-row copies.
bool IsContiguous(const std::vector<int>& source) {
    if (source.empty() || source[0] < 0) return false;
    for (size_t i = 1; i < source.size(); ++i)
        if (source[i] != source[0] + static_cast<int>(i)) return false;
    return true;
}

BOOL BlitContexts(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                  int srcHeight, DWORD rop) {
    if (rop != SRCCOPY || !IsLiveDC(dst) || !IsLiveDC(src) || !dst->target.bits || !src->target.bits) return FALSE;
    StretchPixels(dst->target, DrawableRect(*dst), x, y, width, height, src->target, srcX, srcY, srcWidth,
                  srcHeight);
    return TRUE;
}

}  // namespace

void StretchPixels(const PixelBuffer& dst, const RECT& bounds, int x, int y, int width, int height,
                   const PixelBuffer& src, int srcX, int srcY, int srcWidth, int srcHeight) {
    const int left = std::max<int>(bounds.left, 0), top = std::max<int>(bounds.top, 0);
    const int right = std::min<int>(bounds.right, dst.width), bottom = std::min<int>(bounds.bottom, dst.height);
    const AxisMap columns = MapAxis(x, width, srcX, srcWidth, left, right, src.width);
    const AxisMap rows = MapAxis(y, height, srcY, srcHeight, top, bottom, src.height);
    if (columns.source.empty() || rows.source.empty()) return;

    const PixelCodec in(src), out(dst);
    const bool sameFormat = in.SameFormat(out);
    const int bpp = dst.format.bitsPerPixel;
    const bool rowCopy = sameFormat && bpp >= 8 && IsContiguous(columns.source);
    // Indexed sources: every index's destination value, worked out once.
    std::vector<uint32_t> indexTable;
    if (in.IsIndexed() && !sameFormat) {
        indexTable.resize(size_t{1} << src.format.bitsPerPixel);
        for (size_t i = 0; i < indexTable.size(); ++i)
            indexTable[i] = out.FromColor(in.ToColor(static_cast<uint32_t>(i)));
    }
    // A source value's destination value; runs of one value convert once.
    bool converted = false;
    uint32_t lastRaw = 0, lastValue = 0;
    auto convert = [&](uint32_t raw) {
        if (!indexTable.empty()) return indexTable[raw];
        if (sameFormat) return raw;
        if (!converted || raw != lastRaw) {
            converted = true;
            lastRaw = raw;
            lastValue = out.FromColor(in.ToColor(raw));
        }
        return lastValue;
    };
    // Rows whose source follows the destination one for one are converted a
    // row at a time (read whole before written, so overlaps are safe).
    const bool rowConvert = !rowCopy && IsContiguous(columns.source);
    std::vector<uint32_t> line(rowConvert ? columns.source.size() : 0);
    // Copies within one buffer run against the direction of the move.
    const bool overlapping = dst.bits == src.bits;
    const bool rowsBackward = overlapping && y > srcY;
    const bool columnsBackward = overlapping && x > srcX;

    const int rowCount = static_cast<int>(rows.source.size());
    const int columnCount = static_cast<int>(columns.source.size());
    for (int r = 0; r < rowCount; ++r) {
        const int ri = rowsBackward ? rowCount - 1 - r : r;
        const int sy = rows.source[ri], dy = rows.first + ri;
        if (sy < 0) continue;
        if (rowCopy) {
            const int bytesPerPixel = bpp / 8;
            std::memmove(dst.bits + static_cast<ptrdiff_t>(dy) * dst.pitch + columns.first * bytesPerPixel,
                         src.bits + static_cast<ptrdiff_t>(sy) * src.pitch + columns.source[0] * bytesPerPixel,
                         static_cast<size_t>(columnCount) * bytesPerPixel);
            continue;
        }
        if (rowConvert) {
            in.ReadRow(columns.source[0], sy, line.data(), columnCount);
            for (uint32_t& value : line) value = convert(value);
            out.WriteRow(columns.first, dy, line.data(), columnCount);
            continue;
        }
        for (int c = 0; c < columnCount; ++c) {
            const int ci = columnsBackward ? columnCount - 1 - c : c;
            const int sx = columns.source[ci];
            if (sx >= 0) out.Write(columns.first + ci, dy, convert(in.Read(sx, sy)));
        }
    }
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    return BlitContexts(dst, x, y, width, height, src, srcX, srcY, width, height, rop);
}

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop) {
    return BlitContexts(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, rop);
}
