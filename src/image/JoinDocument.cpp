#include "image/JoinDocument.h"

#include "image/Resampler.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>

namespace image {

namespace {

// Whether a 24-bit canvas of this size can be asked for at all: both sides
// and the whole pixel block must fit the int arithmetic that Image uses.
bool CanvasFits(std::int64_t width, std::int64_t height) {
    if (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX) {
        return false;
    }
    const int stride = RowStride(static_cast<int>(width), 24);
    return stride != 0 && stride * height <= INT_MAX;
}

} // namespace

class JoinDocument::WriteGuard {
public:
    explicit WriteGuard(JoinDocument& document) : document(document) {
        AcquireSRWLockExclusive(&document.lock);
    }
    ~WriteGuard() { ReleaseSRWLockExclusive(&document.lock); }
    WriteGuard(const WriteGuard&) = delete;
    WriteGuard& operator=(const WriteGuard&) = delete;

private:
    JoinDocument& document;
};

JoinDocument::ReadGuard::ReadGuard(const JoinDocument& document) : document(document) {
    AcquireSRWLockShared(&document.lock);
}

JoinDocument::ReadGuard::~ReadGuard() {
    ReleaseSRWLockShared(&document.lock);
}

JoinDocument::JoinDocument() {
    InitializeSRWLock(&lock);
}

bool JoinDocument::CreateCanvas(Image& canvas, int width, int height, int roomWidth,
                                int roomHeight) {
    return canvas.CreateWithRoom(width, height, roomWidth, roomHeight);
}

JoinDocument::Gaps JoinDocument::ComputeGap(bool below, int padSize) const {
    Gaps gaps;
    if (padSize <= 0) {
        return gaps;
    }
    if (below) {
        gaps.y = height != 0 ? padSize : 0;
        return gaps;
    }
    // A left gap only after a cell in this row, a top gap only below the
    // first row, so that every picture of a row keeps the same top edge.
    gaps.x = static_cast<std::int64_t>(lastCell.x) + lastCell.width != 0 ? padSize : 0;
    gaps.y = lastCell.y != 0 ? padSize : 0;
    return gaps;
}

bool JoinDocument::PasteImage(Image& source, bool below, int wrapWidth,
                              const PasteParameters& settings) {
    PreparedPicture prepared;
    const bool made = Prepare(source, settings, prepared);
    source.Destroy();
    return made && PastePrepared(prepared, below, wrapWidth, settings);
}

bool JoinDocument::Prepare(Image& source, const PasteParameters& settings,
                           PreparedPicture& prepared) {
    prepared.size = ComputePasteSize(source.Width, source.Height, settings);
    const PasteSize& size = prepared.size;
    // No canvas can hold a box that is itself too large: fail before spending
    // time and memory on resampling to it.
    if (!CanvasFits(size.boxWidth, size.boxHeight)) {
        prepared.resized.Destroy();
        return false;
    }
    // A fitted side of 0 pixels is a picture too thin to show: its box stays
    // background. Any other picture that cannot be made fails the paste, or
    // it would leave an empty box behind as if it had worked.
    const bool visible = size.pictureRect.width > 0 && size.pictureRect.height > 0;
    if (visible && size.pictureRect.width == source.Width &&
        size.pictureRect.height == source.Height && source.BytesPerPixel == 3) {
        // Pasted at its own size: the picture itself, without a copy.
        prepared.resized.Swap(source);
        return true;
    }
    if (!visible) {
        prepared.resized.Destroy();
        return true;
    }
    return Resample(source, prepared.resized, size.pictureRect.width, size.pictureRect.height);
}

bool JoinDocument::PastePrepared(PreparedPicture& prepared, bool below, int wrapWidth,
                                 const PasteParameters& settings) {
    const PasteSize& size = prepared.size;
    bool pasted = false;
    try {
        // The record's list node is allocated before the document changes,
        // so appending it afterwards cannot fail.
        std::list<UndoRecord> pending(1);
        WriteGuard guard(*this);
        pasted = Paste(prepared.resized, size.pictureRect, size.boxWidth, size.boxHeight, below,
                       wrapWidth, settings, pending);
    } catch (const std::bad_alloc&) {
        pasted = false;
    }
    return pasted;
}

bool JoinDocument::Paste(Image& resized, const PictureRect& place, int boxWidth, int boxHeight,
                         bool below, int wrapWidth, const PasteParameters& settings,
                         std::list<UndoRecord>& pending) {
    const int padSize = settings.PadSize;
    UndoRecord& record = pending.front();
    record.previousWidth = -1;
    record.previousCell = lastCell;

    // All layout arithmetic in 64 bits: a sum past 32 bits fails the paste
    // instead of wrapping around.
    const std::int64_t rowEnd = static_cast<std::int64_t>(lastCell.x) + lastCell.width;
    Gaps gaps = ComputeGap(below, padSize);
    std::int64_t cellWidth = static_cast<std::int64_t>(boxWidth) + gaps.x;
    std::int64_t cellHeight = static_cast<std::int64_t>(boxHeight) + gaps.y;
    if (!below && wrapWidth != 0 && rowEnd + cellWidth > wrapWidth) {
        below = true;
        gaps = ComputeGap(true, padSize);
        cellWidth = static_cast<std::int64_t>(boxWidth) + gaps.x;
        cellHeight = static_cast<std::int64_t>(boxHeight) + gaps.y;
    }
    std::int64_t newWidth = 0;
    std::int64_t newHeight = 0;
    if (below) {
        newWidth = std::max<std::int64_t>(cellWidth, width);
        newHeight = height + cellHeight;
    } else {
        newWidth = std::max<std::int64_t>(rowEnd + cellWidth, width);
        newHeight = std::max<std::int64_t>(lastCell.y + cellHeight, height);
    }
    if (!CanvasFits(newWidth, newHeight)) {
        return false;
    }
    if (width == 0 && resized.Width == newWidth && resized.Height == newHeight &&
        resized.BytesPerPixel == 3 && reservedWidth <= newWidth && reservedHeight <= newHeight) {
        // The first picture covers the whole canvas: it becomes the canvas,
        // which saves a copy and a second picture's worth of memory.
        picture.Swap(resized);
        width = picture.Width;
        height = picture.Height;
        record.previousWidth = 0;
        record.previousHeight = 0;
        record.underColour = ColourToPixel(static_cast<std::uint32_t>(settings.BkColor));
        lastCell = CellRect{0, 0, width, height};
        record.pastedCell = lastCell;
        undoRecords.splice(undoRecords.end(), pending);
        return true;
    }
    if (newWidth > width || newHeight > height) {
        const int oldWidth = width;
        const int oldHeight = height;
        if (!Grow(static_cast<int>(newWidth), static_cast<int>(newHeight), below,
                  ColourToPixel(static_cast<std::uint32_t>(settings.BkColor)))) {
            return false;
        }
        record.previousWidth = oldWidth;
        record.previousHeight = oldHeight;
    }

    CellRect cell;
    cell.width = static_cast<int>(cellWidth);
    cell.height = static_cast<int>(cellHeight);
    if (below) {
        cell.x = 0;
        cell.y = height - cell.height;
    } else {
        cell.x = static_cast<int>(rowEnd);
        cell.y = lastCell.y;
    }
    record.underColour = picture.ReadPixel(cell.x, cell.y);
    const PixelValue padColour = ColourToPixel(static_cast<std::uint32_t>(settings.PadCol));
    if (gaps.x > 0) {
        picture.FillArea(cell.x, cell.y, gaps.x, cell.height, padColour, false);
    }
    if (gaps.y > 0) {
        picture.FillArea(cell.x, cell.y, cell.width, gaps.y, padColour, false);
    }
    if (!resized.IsEmpty()) {
        picture.BlitFrom(cell.x + gaps.x + place.x, cell.y + gaps.y + place.y, resized, 0, 0,
                         resized.Width, resized.Height);
    }
    lastCell = cell;
    record.pastedCell = cell;
    undoRecords.splice(undoRecords.end(), pending);
    return true;
}

// Enlarges the canvas, in its room when it fits, and paints what comes into
// view in background: the room may still hold pixels of undone pastes.
bool JoinDocument::Grow(int newWidth, int newHeight, bool below, PixelValue background) {
    if (newWidth > picture.RoomWidth() || newHeight > picture.RoomHeight()) {
        if (!MoveToLargerCanvas(newWidth, newHeight, below)) {
            return false;
        }
    } else {
        picture.SetVisibleSize(newWidth, newHeight);
    }
    if (newWidth > width && height > 0) {
        picture.FillArea(width, 0, newWidth - width, height, background, false);
    }
    if (newHeight > height) {
        picture.FillArea(0, height, newWidth, newHeight - height, background, false);
    }
    width = newWidth;
    height = newHeight;
    return true;
}

// Moves the picture into a new bitmap with room to spare: half as much again
// in the direction of this paste, so that a long row or column copies each
// pixel only a few times in all, and the other side exact, so that the room
// stays under twice the canvas. A reserved room is honoured. When a bitmap
// that large cannot be had, one of the exact size is tried before failing.
// The old canvas is kept until the new one exists, so a failure changes
// nothing.
bool JoinDocument::MoveToLargerCanvas(int newWidth, int newHeight, bool below) {
    std::int64_t roomWidth = newWidth;
    std::int64_t roomHeight = newHeight;
    if (below) {
        roomHeight += newHeight / 2;
    } else {
        roomWidth += newWidth / 2;
    }
    roomWidth = std::max<std::int64_t>(roomWidth, reservedWidth);
    roomHeight = std::max<std::int64_t>(roomHeight, reservedHeight);
    Image grown;
    const bool roomy = CanvasFits(roomWidth, roomHeight) &&
                       CreateCanvas(grown, newWidth, newHeight, static_cast<int>(roomWidth),
                                    static_cast<int>(roomHeight));
    if (!roomy && !CreateCanvas(grown, newWidth, newHeight, newWidth, newHeight)) {
        return false;
    }
    if (width > 0) {
        grown.BlitFrom(0, 0, picture, 0, 0, width, height);
    }
    picture.Swap(grown);
    return true;
}

// Undo shrinks the visible canvas inside its bitmap; once the room is more
// than twice what is shown, the picture moves to a bitmap of its own size.
// Without memory for it the larger bitmap simply stays.
void JoinDocument::TrimRoom() {
    if (width == 0) {
        return;
    }
    const std::int64_t room = static_cast<std::int64_t>(picture.RoomWidth()) * picture.RoomHeight();
    if (room <= 2 * static_cast<std::int64_t>(width) * height) {
        return;
    }
    Image trimmed;
    if (CreateCanvas(trimmed, width, height, width, height)) {
        trimmed.BlitFrom(0, 0, picture, 0, 0, width, height);
        picture.Swap(trimmed);
    }
}

void JoinDocument::ReserveRoom(int roomWidth, int roomHeight) {
    WriteGuard guard(*this);
    reservedWidth = std::max(roomWidth, 0);
    reservedHeight = std::max(roomHeight, 0);
}

void JoinDocument::ReleaseRoom() {
    WriteGuard guard(*this);
    reservedWidth = 0;
    reservedHeight = 0;
    TrimRoom();
}

JoinDocument::RoomRelease::~RoomRelease() {
    try {
        document.ReleaseRoom();
    } catch (...) {
        // Trimming only saves memory: a canvas that cannot be trimmed stays.
    }
}

bool JoinDocument::Undo() {
    WriteGuard guard(*this);
    if (undoRecords.empty()) {
        return false;
    }
    const UndoRecord record = undoRecords.back();
    const CellRect& cell = record.pastedCell;
    if (cell.width > 0 && cell.height > 0) {
        picture.FillArea(cell.x, cell.y, cell.width, cell.height, record.underColour, false);
    }
    if (record.previousWidth > 0 && record.previousHeight > 0) {
        // Back to the size before the paste: a smaller view of the same
        // bitmap, which cannot fail.
        picture.SetVisibleSize(record.previousWidth, record.previousHeight);
        width = record.previousWidth;
        height = record.previousHeight;
        TrimRoom();
    } else if (record.previousWidth != -1) {
        // The first paste: the document is empty again.
        picture.Destroy();
        width = 0;
        height = 0;
    }
    lastCell = record.previousCell;
    undoRecords.pop_back();
    return true;
}

void JoinDocument::Clear() {
    WriteGuard guard(*this);
    picture.Destroy();
    width = 0;
    height = 0;
    lastCell = CellRect();
    undoRecords.clear();
    reservedWidth = 0;
    reservedHeight = 0;
}

JoinDocument& Document() {
    static JoinDocument document;
    return document;
}

} // namespace image
