#pragma once

#include "image/CellLayout.h"
#include "image/Image.h"
#include "image/PasteParameters.h"
#include "image/PasteSize.h"
#include "image/PixelValue.h"

#include <windows.h>

#include <list>

namespace image {

// What one successful paste leaves so that it can be taken back. No pixels:
// a paste only ever covers background, so undo repaints the whole cell in
// underColour.
struct UndoRecord {
    int previousWidth = -1; // canvas width before the paste; -1: not enlarged
    int previousHeight = 0; // canvas height before; only with previousWidth != -1
    CellRect previousCell;  // lastCell before the paste
    CellRect pastedCell;    // the cell the paste occupied
    PixelValue underColour = 0;
    int group = 0; // the job's pastes share a number and are undone as one; 0: alone
};

// A picture made ready for pasting: resized by the size settings, before the
// document's lock is taken (a job does this on its loading thread).
struct PreparedPicture {
    Image resized; // empty when the box stays background (a side of 0 pixels)
    PasteSize size;
    // A first picture that covers the whole canvas may become the canvas;
    // a job that compares each picture with the next keeps its own.
    bool mayBecomeCanvas = true;
};

// The joined picture and its undo history.
//
// A cell is the rectangle one paste occupies: a gap strip gapX wide down its
// left side, a strip gapY high across its top, and the box holding the
// picture. Cells never overlap; lastCell is the newest and lies in the bottom
// row of cells. width and height are the size of picture whenever it holds a
// bitmap; the document is empty when width is 0. The canvas keeps spare room
// in the direction it grows (see Image), so a long run of pastes costs each
// paste the same whatever came before; the room stays under twice the canvas.
//
// Locking: the batch worker pastes on its own thread while the user-interface
// thread may paint. PasteImage, Undo and Clear take the document's lock
// exclusively themselves. Any other code that reads picture, width, height,
// lastCell or the undo records while a batch may be running (the canvas
// paint, the title, save, copy) holds a ReadGuard for as long as it uses
// them. The lock is not recursive: never call PasteImage, Undo or Clear while
// holding a ReadGuard on the same thread.
class JoinDocument {
public:
    JoinDocument();
    virtual ~JoinDocument() = default;
    JoinDocument(const JoinDocument&) = delete;
    JoinDocument& operator=(const JoinDocument&) = delete;

    // Shared hold of the document's lock for one scope.
    class ReadGuard {
    public:
        explicit ReadGuard(const JoinDocument& document);
        ~ReadGuard();
        ReadGuard(const ReadGuard&) = delete;
        ReadGuard& operator=(const ReadGuard&) = delete;

    private:
        const JoinDocument& document;
    };

    // Resizes the 24-bit source by the size settings and places it to the
    // right of lastCell, or below everything when below is set (or when a
    // right paste would end beyond a non-zero wrapWidth). Gaps of gapWidth in
    // gapColour separate it from its neighbours; canvas growth is background. The
    // source is released in every case. False, with the document exactly as
    // it was and no undo record, when the resized picture or the larger
    // canvas cannot be made or its size does not fit in 32 bits.
    bool PasteImage(Image& source, bool below, int wrapWidth, const PasteParameters& settings);

    // The two halves of PasteImage. Prepare resizes the source into prepared
    // and touches no document, so any thread may call it; false when the
    // resized picture cannot be made. The source stays the caller's, though
    // a picture pasted at its own size moves into prepared (the source then
    // holds prepared's old bitmap, which a job reuses). PastePrepared places
    // the picture with the same settings; false, with nothing changed, as
    // PasteImage. Both leave the bitmaps to their owners to reuse or free.
    static bool Prepare(Image& source, const PasteParameters& settings, PreparedPicture& prepared);
    bool PastePrepared(PreparedPicture& prepared, bool below, int wrapWidth,
                       const PasteParameters& settings);

    // Joins a screenshot to the one pasted last, which it continues (see
    // StitchCut): the canvas gives up its last dropRows rows and the
    // prepared picture's rows from firstRow down follow, without a gap, from
    // the left edge. The picture must fill its box. False, with nothing
    // changed, as PasteImage.
    bool PasteStitched(const PreparedPicture& prepared, int dropRows, int firstRow,
                       const PasteParameters& settings);

    // A job that knows the size of its result makes room for it at once, so
    // the canvas is made once instead of growing in steps. Until
    // ReleaseRoom, the canvas grows to at least this room whenever it must
    // grow. ReleaseRoom also lets go of room beyond twice the canvas, which
    // a job whose pictures failed may leave.
    void ReserveRoom(int roomWidth, int roomHeight);
    void ReleaseRoom();

    // Releases the document's room when the scope ends, however it ends: a
    // job that stops by an exception must not leave the room of its whole
    // result behind.
    class RoomRelease {
    public:
        explicit RoomRelease(JoinDocument& document) : document(document) {}
        ~RoomRelease();
        RoomRelease(const RoomRelease&) = delete;
        RoomRelease& operator=(const RoomRelease&) = delete;

    private:
        JoinDocument& document;
    };

    // Takes back the newest paste, or the newest job's pastes together;
    // false when there is none. The canvas only gets a smaller view, so it
    // cannot fail.
    bool Undo();

    // Every paste made while an UndoGroup lives (a job's, from any thread)
    // is undone in one step with the others; a job that stopped is undone
    // the same way, as far as it went.
    class UndoGroup {
    public:
        explicit UndoGroup(JoinDocument& document);
        ~UndoGroup();
        UndoGroup(const UndoGroup&) = delete;
        UndoGroup& operator=(const UndoGroup&) = delete;

    private:
        JoinDocument& document;
    };

    // Back to the empty document with no history (New, shutdown).
    void Clear();

    bool IsEmpty() const { return width == 0; }
    // Oldest first. Callers hold the lock.
    const std::list<UndoRecord>& UndoRecords() const { return undoRecords; }

    Image picture;
    int width = 0;
    int height = 0;
    CellRect lastCell;

protected:
    // Makes a new 24-bit canvas of the given size inside a bitmap of the given
    // room. Tests replace it to see how the document copes when there is no
    // memory for a canvas.
    virtual bool CreateCanvas(Image& canvas, int width, int height, int roomWidth, int roomHeight);

private:
    class WriteGuard;

    void BeginUndoGroup();
    void EndUndoGroup();
    // Takes back the newest record; the caller holds the lock.
    void UndoNewest();

    bool Paste(Image& resized, const PictureRect& place, int boxWidth, int boxHeight, bool below,
               int wrapWidth, const PasteParameters& settings, std::list<UndoRecord>& pending,
               bool mayBecomeCanvas);
    bool Grow(int newWidth, int newHeight, bool below, PixelValue background);
    bool MoveToLargerCanvas(int newWidth, int newHeight, bool below);
    void TrimRoom();

    std::list<UndoRecord> undoRecords;
    int reservedWidth = 0;
    int reservedHeight = 0;
    int openGroup = 0; // the group new pastes join; 0: none
    int lastGroup = 0;
    mutable SRWLOCK lock;
};

// The program's one document.
JoinDocument& Document();

} // namespace image
