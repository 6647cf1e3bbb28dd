#include "image/Image.h"

#include "win/ScopedGdi.h"

#include <climits>
#include <cstring>
#include <utility>
#include <vector>

namespace image {

int RowStride(int width, int bitCount) {
    if (width <= 0 || bitCount <= 0) {
        return 0;
    }
    const long long bits = static_cast<long long>(width) * bitCount;
    const long long bytes = ((bits + 31) / 32) * 4;
    return bytes > INT_MAX ? 0 : static_cast<int>(bytes);
}

void Image::ClearFields() {
    Bitmap = nullptr;
    Width = 0;
    Height = 0;
    Stride = 0;
    BytesPerPixel = 0;
    Bits = nullptr;
    TopRowOffset = 0;
    roomWidth = 0;
    roomHeight = 0;
    bitmapBits = nullptr;
}

bool Image::Create(int width, int height, int bitCount, const RGBQUAD* palette) {
    if (bitCount == 24 && Bitmap != nullptr && BytesPerPixel == 3 && width == roomWidth &&
        height == roomHeight) {
        // The same bitmap again, cleared as a new one would be: memory the
        // process already touched costs far less than fresh pages, and a job
        // of equal-sized pictures makes one such picture after another.
        SetVisibleSize(width, height);
        std::memset(bitmapBits, 0, static_cast<size_t>(Stride) * height);
        return true;
    }
    Destroy();
    // The whole pixel block must be addressable with the int offsets the pixel
    // operations use; GDI would refuse most such sizes anyway.
    const int stride = RowStride(width, bitCount);
    if (stride == 0 || height <= 0 || static_cast<long long>(stride) * height > INT_MAX) {
        return false;
    }

    struct Header {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    };
    Header info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitCount);
    info.header.biCompression = (bitCount == 16 || bitCount == 32) ? BI_BITFIELDS : BI_RGB;
    auto* masks = reinterpret_cast<DWORD*>(info.colours);
    if (bitCount == 8 && palette != nullptr) {
        std::memcpy(info.colours, palette, sizeof(info.colours));
    } else if (bitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (bitCount == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0xFF00;
        masks[2] = 0xFF;
    }

    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr) {
            DeleteObject(bitmap);
        }
        return false;
    }
    Bitmap = bitmap;
    RefreshFromBitmap();
    return true;
}

bool Image::CreateWithRoom(int width, int height, int roomWidth, int roomHeight) {
    if (width < 1 || height < 1 || roomWidth < width || roomHeight < height ||
        !Create(roomWidth, roomHeight, 24)) {
        return false;
    }
    return SetVisibleSize(width, height);
}

bool Image::SetVisibleSize(int width, int height) {
    if (Bitmap == nullptr || width < 1 || height < 1 || width > roomWidth || height > roomHeight) {
        return false;
    }
    Width = width;
    Height = height;
    PlaceVisibleCorner();
    return true;
}

void Image::PlaceVisibleCorner() {
    // A bottom-up bitmap stores its top row last: the corner's rows are the
    // last Height rows of the block, so its bottom row starts roomHeight -
    // Height rows in, and the corner alone reads as a bottom-up DIB of its
    // own with the bitmap's pitch.
    Bits = bitmapBits + static_cast<ptrdiff_t>(roomHeight - Height) * Stride;
    TopRowOffset = (Height - 1) * Stride;
}

bool Image::Attach(HBITMAP bitmap) {
    Destroy();
    DIBSECTION section = {};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof(section), &section) != sizeof(section) ||
        section.dsBm.bmBits == nullptr) {
        if (bitmap != nullptr) {
            DeleteObject(bitmap);
        }
        return false;
    }
    Bitmap = bitmap;
    RefreshFromBitmap();
    return true;
}

void Image::RefreshFromBitmap() {
    BITMAP info = {};
    if (Bitmap == nullptr || GetObjectA(Bitmap, sizeof(info), &info) != sizeof(info)) {
        HBITMAP keep = Bitmap;
        ClearFields();
        Bitmap = keep;
        return;
    }
    Width = info.bmWidth;
    Height = info.bmHeight;
    BytesPerPixel = info.bmBitsPixel / 8;
    Stride = (BytesPerPixel * Width + 3) & ~3;
    roomWidth = Width;
    roomHeight = Height;
    bitmapBits = static_cast<std::uint8_t*>(info.bmBits);
    PlaceVisibleCorner();
}

bool Image::Destroy() {
    if (Bitmap == nullptr) {
        return false;
    }
    const BOOL deleted = DeleteObject(Bitmap);
    ClearFields();
    return deleted != FALSE;
}

void Image::Swap(Image& other) {
    std::swap(Bitmap, other.Bitmap);
    std::swap(Width, other.Width);
    std::swap(Height, other.Height);
    std::swap(Stride, other.Stride);
    std::swap(BytesPerPixel, other.BytesPerPixel);
    std::swap(Bits, other.Bits);
    std::swap(TopRowOffset, other.TopRowOffset);
    std::swap(roomWidth, other.roomWidth);
    std::swap(roomHeight, other.roomHeight);
    std::swap(bitmapBits, other.bitmapBits);
}

bool Image::StretchTo(Image& destination, bool halftone) const {
    if (Bitmap == nullptr || destination.Bitmap == nullptr) {
        return false;
    }
    win::MemoryDC target;
    win::MemoryDC origin;
    if (!target || !origin) {
        return false;
    }
    // A bitmap already selected into another context cannot be selected here;
    // drawing would then read or write the context's stock bitmap instead.
    win::SelectScope selectTarget(target.Get(), destination.Bitmap);
    win::SelectScope selectOrigin(origin.Get(), Bitmap);
    if (!selectTarget.Selected() || !selectOrigin.Selected()) {
        return false;
    }
    if (halftone) {
        SetStretchBltMode(target.Get(), HALFTONE);
        SetBrushOrgEx(target.Get(), 0, 0, nullptr);
    } else {
        SetStretchBltMode(target.Get(), COLORONCOLOR);
    }
    const BOOL drawn = StretchBlt(target.Get(), 0, 0, destination.Width, destination.Height,
                                  origin.Get(), 0, 0, Width, Height, SRCCOPY);
    GdiFlush();
    return drawn != FALSE;
}

std::uint8_t* Image::PixelAddress(int x, int y) const {
    if (Bitmap == nullptr || x < 0 || x >= Width || y < 0 || y >= Height) {
        return nullptr;
    }
    return Bits + TopRowOffset - static_cast<ptrdiff_t>(y) * Stride +
           static_cast<ptrdiff_t>(x) * BytesPerPixel;
}

std::uint8_t* Image::WritePixel(int x, int y, PixelValue value) {
    std::uint8_t* p = PixelAddress(x, y);
    if (p == nullptr) {
        return nullptr;
    }
    const int count = BytesPerPixel < 4 ? BytesPerPixel : 4;
    for (int i = 0; i < count; ++i) {
        const auto byte = static_cast<std::uint8_t>(value >> (8 * i));
        p[i] = byte;
    }
    return p;
}

void Image::FillArea(int x, int y, int w, int h, PixelValue value) {
    if (Bitmap == nullptr) {
        return;
    }
    if (w == 0) {
        w = Width;
    }
    if (h == 0) {
        h = Height;
    }
    if (x < 0) {
        w += x;
        x = 0;
    }
    if (y < 0) {
        h += y;
        y = 0;
    }
    if (static_cast<long long>(x) + w > Width) {
        w = Width - x;
    }
    if (static_cast<long long>(y) + h > Height) {
        h = Height - y;
    }
    if (w <= 0 || h <= 0) {
        return;
    }
    if (BytesPerPixel == 3) {
        // 24-bit fills (gap strips, undo) can cover most of a large
        // canvas: the first row is written, then copied into the others.
        std::uint8_t* first = PixelAddress(x, y);
        for (int column = 0; column < w; ++column) {
            first[3 * column] = static_cast<std::uint8_t>(value);
            first[3 * column + 1] = static_cast<std::uint8_t>(value >> 8);
            first[3 * column + 2] = static_cast<std::uint8_t>(value >> 16);
        }
        for (int row = y + 1; row < y + h; ++row) {
            std::memcpy(PixelAddress(x, row), first, static_cast<size_t>(w) * 3);
        }
        return;
    }
    for (int row = y; row < y + h; ++row) {
        for (int column = x; column < x + w; ++column) {
            WritePixel(column, row, value);
        }
    }
}

void Image::FillAll(PixelValue value) {
    if (Bitmap == nullptr || BytesPerPixel != 3) {
        return;
    }
    const auto b0 = static_cast<std::uint8_t>(value);
    const auto b1 = static_cast<std::uint8_t>(value >> 8);
    const auto b2 = static_cast<std::uint8_t>(value >> 16);
    // Build one row, then copy it: the padding bytes at each row's end stay as
    // they are.
    std::vector<std::uint8_t> row(static_cast<size_t>(Width) * 3);
    for (size_t i = 0; i < row.size(); i += 3) {
        row[i] = b0;
        row[i + 1] = b1;
        row[i + 2] = b2;
    }
    for (int y = 0; y < Height; ++y) {
        std::memcpy(Bits + static_cast<ptrdiff_t>(y) * Stride, row.data(), row.size());
    }
}

PixelValue Image::ReadPixel(int x, int y) const {
    const std::uint8_t* p = PixelAddress(x, y);
    if (p == nullptr) {
        return 0;
    }
    // Always three bytes; on narrower pixels the bytes of the next pixel (or
    // the row padding) are read, which stays inside the row's stride.
    if (BytesPerPixel >= 3) {
        return p[0] | (p[1] << 8) | (p[2] << 16);
    }
    if (BytesPerPixel == 2) {
        const bool last = x == Width - 1 && (Width * 2) % 4 == 0;
        return p[0] | (p[1] << 8) | (last ? 0 : (p[2] << 16));
    }
    const int available = Stride - x;
    return p[0] | (available > 1 ? (p[1] << 8) : 0) | (available > 2 ? (p[2] << 16) : 0);
}

void Image::BlitFrom(int dstX, int dstY, const Image& source, int srcX, int srcY, int w, int h) {
    if (Bitmap == nullptr || source.Bitmap == nullptr) {
        return;
    }
    if (w == 0) {
        w = source.Width;
    }
    if (h == 0) {
        h = source.Height;
    }
    if (dstX < 0) {
        w += dstX;
        srcX -= dstX;
        dstX = 0;
    }
    if (dstY < 0) {
        h += dstY;
        srcY -= dstY;
        dstY = 0;
    }
    if (static_cast<long long>(dstX) + w > Width) {
        w = Width - dstX;
    }
    if (static_cast<long long>(dstY) + h > Height) {
        h = Height - dstY;
    }
    // The caller keeps the source rectangle inside the source; a rectangle that
    // is not is cut to the source as well, so nothing outside either buffer is
    // touched.
    if (srcX < 0 || srcY < 0 || BytesPerPixel != source.BytesPerPixel) {
        return;
    }
    if (static_cast<long long>(srcX) + w > source.Width) {
        w = source.Width - srcX;
    }
    if (static_cast<long long>(srcY) + h > source.Height) {
        h = source.Height - srcY;
    }
    if (w <= 0 || h <= 0) {
        return;
    }
    const size_t bytes = static_cast<size_t>(BytesPerPixel) * w;
    for (int row = 0; row < h; ++row) {
        std::memcpy(PixelAddress(dstX, dstY + row), source.PixelAddress(srcX, srcY + row), bytes);
    }
}

BITMAPINFO Image::DrawHeader() const {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    // The bitmap's own width gives the row pitch; the corner's height makes
    // Bits its first (bottom) row.
    info.bmiHeader.biWidth = roomWidth;
    info.bmiHeader.biHeight = Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(BytesPerPixel * 8);
    return info;
}

void Image::DrawTo(HDC dc, int x, int y, int w, int h, int srcX, int srcY) const {
    if (Bitmap == nullptr) {
        return;
    }
    if (w == 0) {
        w = Width;
    }
    if (h == 0) {
        h = Height;
    }
    if (x < 0) {
        w += x;
        srcX -= x;
        x = 0;
    }
    if (y < 0) {
        h += y;
        srcY -= y;
        y = 0;
    }
    if (static_cast<long long>(srcX) + w > Width) {
        w = Width - srcX;
    }
    if (static_cast<long long>(srcY) + h > Height) {
        h = Height - srcY;
    }
    if (w <= 0 || h <= 0) {
        return;
    }
    BITMAPINFO info = DrawHeader();
    // SetDIBitsToDevice counts source rows from the bottom of a bottom-up DIB.
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(w), static_cast<DWORD>(h), srcX,
                      Height - h - srcY, 0, static_cast<UINT>(Height), Bits, &info, DIB_RGB_COLORS);
}

void Image::StretchDrawTo(HDC dc, int x, int y, int w, int h, int srcX, int srcY, int srcW,
                          int srcH) const {
    if (Bitmap == nullptr) {
        return;
    }
    if (srcW == 0) {
        srcW = Width;
    }
    if (srcH == 0) {
        srcH = Height;
    }
    if (static_cast<long long>(srcX) + srcW > Width) {
        srcW = Width - srcX;
    }
    if (static_cast<long long>(srcY) + srcH > Height) {
        srcH = Height - srcY;
    }
    if (srcW <= 0 || srcH <= 0 || w <= 0 || h <= 0) {
        return;
    }
    BITMAPINFO info = DrawHeader();
    // StretchDIBits counts source rows from the bottom of a bottom-up DIB.
    StretchDIBits(dc, x, y, w, h, srcX, Height - srcY - srcH, srcW, srcH, Bits, &info,
                  DIB_RGB_COLORS, SRCCOPY);
}

} // namespace image
