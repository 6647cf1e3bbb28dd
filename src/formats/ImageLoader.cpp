#include "formats/ImageLoader.h"

#include "formats/BmpHeader.h"
#include "formats/JpegReader.h"
#include "formats/PictureFormat.h"
#include "formats/PngReader.h"
#include "formats/WebpReader.h"
#include "win/ScopedGdi.h"

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

namespace formats {

namespace {

// HIMETRIC units are hundredths of a millimetre: 2540 per inch.
constexpr int kHimetricPerInch = 2540;

// Keeps COM initialised on the calling thread while a picture is decoded; the
// decoder may create COM objects. A thread already in another apartment keeps
// it (and is not uninitialised here).
class ComScope {
public:
    ComScope() : result(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(result)) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result;
};

// Releases one COM interface at the end of the scope.
template <typename Interface> class Released {
public:
    Released() = default;
    ~Released() {
        if (pointer != nullptr) {
            pointer->Release();
        }
    }
    Released(const Released&) = delete;
    Released& operator=(const Released&) = delete;

    Interface* pointer = nullptr;
};

// Owns a global memory block until a stream takes it over.
class GlobalBlock {
public:
    GlobalBlock() = default;
    ~GlobalBlock() {
        if (block != nullptr) {
            GlobalFree(block);
        }
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    // Reads the whole source into a new movable block; false on failure.
    bool ReadAll(ByteSource& source) {
        if (block != nullptr) {
            return false;
        }
        const DWORD size = source.Size();
        if (size == 0 || size == INVALID_FILE_SIZE || source.Seek(0, FILE_BEGIN) != 0) {
            return false;
        }
        block = GlobalAlloc(GMEM_MOVEABLE, size);
        void* data = block != nullptr ? GlobalLock(block) : nullptr;
        if (data == nullptr) {
            return false;
        }
        const bool read = source.Read(data, size) == size;
        GlobalUnlock(block);
        return read;
    }
    HGLOBAL Get() const { return block; }
    void Release() { block = nullptr; }

private:
    HGLOBAL block = nullptr;
};

} // namespace

bool LoadBmp(image::Image& picture, const char* path, std::uint32_t background) {
    ByteSource source;
    if (!source.OpenFile(path)) {
        picture.Destroy();
        return false;
    }
    return LoadBmp(picture, source, background);
}

bool LoadBmp(image::Image& picture, ByteSource& source, std::uint32_t background) {
    // The picture's bitmap is kept until the new one is made: one of the
    // same size is reused (see Image::Create).
    BmpHeader file;
    if (!file.Read(source) || !picture.Create(file.Width(), file.Height(), 24)) {
        picture.Destroy();
        return false;
    }
    if (file.RunLength()) {
        picture.FillAll(file.FirstColour());
    }
    // GDI draws the file's rows into the bottom-up Image at 24 bits, from
    // any of the file's bit depths, run-length coded or not, top-down rows
    // the right way round. No system loader sees the path.
    win::MemoryDC memory;
    const int copied =
        memory ? SetDIBits(memory.Get(), picture.Bitmap, 0, static_cast<UINT>(file.Height()),
                           file.Bits(), static_cast<const BITMAPINFO*>(file.Info()), DIB_RGB_COLORS)
               : 0;
    if (copied != file.Height()) {
        picture.Destroy();
        return false;
    }
    // GDI drops the alpha channel; it is applied to the colours it drew.
    file.BlendAlpha(picture, background);
    return true;
}

bool LoadGif(image::Image& picture, const char* path, std::uint32_t background) {
    ByteSource source;
    if (!source.OpenFile(path)) {
        picture.Destroy();
        return false;
    }
    return LoadGif(picture, source, background);
}

bool LoadGif(image::Image& picture, ByteSource& source, std::uint32_t background) {
    picture.Destroy();
    GlobalBlock block;
    if (!block.ReadAll(source)) {
        return false;
    }
    ComScope com;
    Released<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.Get(), TRUE, &stream.pointer))) {
        return false;
    }
    // The stream frees the block when it is released.
    const SIZE_T size = GlobalSize(block.Get());
    block.Release();
    Released<IPicture> decoded;
    if (FAILED(OleLoadPicture(stream.pointer, static_cast<LONG>(size), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&decoded.pointer))) ||
        decoded.pointer == nullptr) {
        return false;
    }
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    if (FAILED(decoded.pointer->get_Width(&himetricWidth)) ||
        FAILED(decoded.pointer->get_Height(&himetricHeight))) {
        return false;
    }

    // A memory context compatible with the screen, whose resolution turns the
    // picture's HIMETRIC size into pixels.
    win::MemoryDC memory;
    int dpiX = 0;
    int dpiY = 0;
    if (memory) {
        dpiX = GetDeviceCaps(memory.Get(), LOGPIXELSX);
        dpiY = GetDeviceCaps(memory.Get(), LOGPIXELSY);
    }
    const int width = MulDiv(himetricWidth, dpiX, kHimetricPerInch);
    const int height = MulDiv(himetricHeight, dpiY, kHimetricPerInch);
    if (!memory || width <= 0 || height <= 0 || !picture.Create(width, height, 24)) {
        picture.Destroy();
        return false;
    }

    // The decoder leaves transparent pixels as they are.
    picture.FillAll(image::ColourToPixel(background));
    HRESULT rendered = E_FAIL;
    {
        // The bitmap must leave the context before it can be deleted.
        win::SelectScope select(memory.Get(), picture.Bitmap);
        // A negative source height with the source starting at the bottom
        // edge draws the picture upright.
        if (select.Selected()) {
            rendered = decoded.pointer->Render(memory.Get(), 0, 0, width, height, 0, himetricHeight,
                                               himetricWidth, -himetricHeight, nullptr);
        }
        GdiFlush();
    }
    if (FAILED(rendered)) {
        picture.Destroy();
        return false;
    }
    return true;
}

bool LoadImageFile(image::Image& picture, const char* path, std::uint32_t background,
                   bool* damaged) {
    if (damaged != nullptr) {
        *damaged = false;
    }
    ByteSource source;
    return source.OpenFile(path) && LoadImageFile(picture, source, background, damaged);
}

bool LoadImageFile(image::Image& picture, ByteSource& source, std::uint32_t background,
                   bool* damaged) {
    bool damagedFile = false;
    if (damaged != nullptr) {
        *damaged = false;
    }
    std::uint8_t head[kRecognisedBytes] = {};
    const DWORD got = source.Seek(0, FILE_BEGIN) == 0 ? source.Read(head, sizeof(head)) : 0;
    switch (RecognisePicture(head, got)) {
    case PictureFormat::Bmp:
        LoadBmp(picture, source, background);
        break;
    case PictureFormat::Png:
        LoadPng(picture, source, background, &damagedFile);
        break;
    case PictureFormat::Jpeg:
        LoadJpeg(picture, source, &damagedFile);
        break;
    case PictureFormat::Gif:
        LoadGif(picture, source, background);
        break;
    case PictureFormat::Webp:
        LoadWebp(picture, source, background);
        break;
    default:
        return false;
    }
    // Whatever the decoder did, only a 24-bit picture reaches the caller.
    if (!picture.IsEmpty() && picture.BytesPerPixel != 3) {
        picture.Destroy();
    }
    if (damaged != nullptr) {
        *damaged = damagedFile && !picture.IsEmpty();
    }
    return !picture.IsEmpty();
}

} // namespace formats
