#include "image/JoinDocument.h"

#include "image/Resampler.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>

namespace image {

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
                       wrapWidth, settings, pending, prepared.mayBecomeCanvas);
    } catch (const std::bad_alloc&) {
        pasted = false;
    }
    return pasted;
}

bool JoinDocument::Paste(Image& resized, const PictureRect& place, int boxWidth, int boxHeight,
                         bool below, int wrapWidth, const PasteParameters& settings,
                         std::list<UndoRecord>& pending, bool mayBecomeCanvas) {
    UndoRecord& record = pending.front();
    record.previousWidth = -1;
    record.previousCell = lastCell;
    record.group = openGroup;
    CellPlacement placement;
    if (!PlaceCell(width, height, lastCell, boxWidth, boxHeight, below, wrapWidth,
                   settings.gapWidth, placement)) {
        return false;
    }
    const int newWidth = placement.canvasWidth;
    const int newHeight = placement.canvasHeight;
    if (mayBecomeCanvas && width == 0 && resized.Width == newWidth && resized.Height == newHeight &&
        resized.BytesPerPixel == 3 && reservedWidth <= newWidth && reservedHeight <= newHeight) {
        // The first picture covers the whole canvas: it becomes the canvas,
        // which saves a copy and a second picture's worth of memory.
        picture.Swap(resized);
        width = picture.Width;
        height = picture.Height;
        record.previousWidth = 0;
        record.previousHeight = 0;
        record.underColour = ColourToPixel(static_cast<std::uint32_t>(settings.background));
        lastCell = CellRect{0, 0, width, height};
        record.pastedCell = lastCell;
        undoRecords.splice(undoRecords.end(), pending);
        return true;
    }
    if (newWidth > width || newHeight > height) {
        const int oldWidth = width;
        const int oldHeight = height;
        if (!Grow(newWidth, newHeight, placement.below,
                  ColourToPixel(static_cast<std::uint32_t>(settings.background)))) {
            return false;
        }
        record.previousWidth = oldWidth;
        record.previousHeight = oldHeight;
    }

    const CellRect& cell = placement.cell;
    record.underColour = picture.ReadPixel(cell.x, cell.y);
    const PixelValue padColour = ColourToPixel(static_cast<std::uint32_t>(settings.gapColour));
    if (placement.gapX > 0) {
        picture.FillArea(cell.x, cell.y, placement.gapX, cell.height, padColour);
    }
    if (placement.gapY > 0) {
        picture.FillArea(cell.x, cell.y, cell.width, placement.gapY, padColour);
    }
    if (!resized.IsEmpty()) {
        picture.BlitFrom(cell.x + placement.gapX + place.x, cell.y + placement.gapY + place.y,
                         resized, 0, 0, resized.Width, resized.Height);
    }
    lastCell = cell;
    record.pastedCell = cell;
    undoRecords.splice(undoRecords.end(), pending);
    return true;
}

bool JoinDocument::PasteStitched(const PreparedPicture& prepared, int dropRows, int firstRow,
                                 const PasteParameters& settings) {
    const Image& rows = prepared.resized;
    try {
        std::list<UndoRecord> pending(1);
        WriteGuard guard(*this);
        if (rows.IsEmpty() || dropRows < 0 || dropRows > height || firstRow < 0 ||
            firstRow > rows.Height) {
            return false;
        }
        const std::int64_t newHeight =
            static_cast<std::int64_t>(height) - dropRows + (rows.Height - firstRow);
        const int newWidth = std::max(width, rows.Width);
        if (!CanvasFits(newWidth, newHeight)) {
            return false;
        }
        UndoRecord& record = pending.front();
        record.previousCell = lastCell;
        record.group = openGroup;
        // Undone with the job it belongs to: the rows it covered are the
        // previous picture's, which that picture's own undo repaints.
        record.underColour = ColourToPixel(static_cast<std::uint32_t>(settings.background));
        if (newWidth > width || newHeight > height) {
            const int oldWidth = width;
            const int oldHeight = height;
            if (!Grow(newWidth, static_cast<int>(newHeight), true, record.underColour)) {
                return false;
            }
            record.previousWidth = oldWidth;
            record.previousHeight = oldHeight;
        }
        const CellRect cell{0, static_cast<int>(newHeight) - (rows.Height - firstRow), rows.Width,
                            rows.Height - firstRow};
        if (cell.height > 0) { // BlitFrom reads a height of 0 as the whole source
            picture.BlitFrom(0, cell.y, rows, 0, firstRow, cell.width, cell.height);
        }
        lastCell = cell;
        record.pastedCell = cell;
        undoRecords.splice(undoRecords.end(), pending);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
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
        picture.FillArea(width, 0, newWidth - width, height, background);
    }
    if (newHeight > height) {
        picture.FillArea(0, height, newWidth, newHeight - height, background);
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
    // A job's pastes go back together, newest first, to the picture before it.
    const int group = undoRecords.back().group;
    do {
        UndoNewest();
    } while (group != 0 && !undoRecords.empty() && undoRecords.back().group == group);
    return true;
}

void JoinDocument::BeginUndoGroup() {
    WriteGuard guard(*this);
    openGroup = ++lastGroup;
}

void JoinDocument::EndUndoGroup() {
    WriteGuard guard(*this);
    openGroup = 0;
}

JoinDocument::UndoGroup::UndoGroup(JoinDocument& document) : document(document) {
    document.BeginUndoGroup();
}

JoinDocument::UndoGroup::~UndoGroup() {
    document.EndUndoGroup();
}

void JoinDocument::UndoNewest() {
    const UndoRecord record = undoRecords.back();
    const CellRect& cell = record.pastedCell;
    if (cell.width > 0 && cell.height > 0) {
        picture.FillArea(cell.x, cell.y, cell.width, cell.height, record.underColour);
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
    openGroup = 0;
}

JoinDocument& Document() {
    static JoinDocument document;
    return document;
}

} // namespace image
