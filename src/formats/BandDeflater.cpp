#include "formats/BandDeflater.h"

#include "image/ByteBuffer.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace formats {

namespace {

// Filtered bytes per band. Each band loses its predecessor's dictionary, a
// few hundred bytes of output; smaller bands keep the buffers, whose first
// touch is expensive, small, and balance the threads better.
constexpr std::size_t kBandBytes = 2 * 1024 * 1024;
// Threads compressing at once, the calling thread included.
constexpr unsigned kMostThreads = 2;
// Below this many bytes of rows libdeflate may store what zlib would pack
// (it keeps rows of a few bytes as they are), and zlib costs next to
// nothing: both run and the smaller stream is written.
constexpr std::size_t kBothBelow = 64 * 1024;
// Room after a band's raw stream for the empty stored block that ends it.
constexpr std::size_t kTailRoom = 8;

// Owns a libdeflate compressor of one level; null when the level is not one
// of 0 to 12 or memory ran out.
class Compressor {
public:
    explicit Compressor(int level) : handle(libdeflate_alloc_compressor(level)) {}
    ~Compressor() { libdeflate_free_compressor(handle); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    libdeflate_compressor* Get() const { return handle; }

private:
    libdeflate_compressor* handle;
};

// Owns a zlib inflater of raw deflate data, used only to find block
// boundaries: libdeflate reports none.
class BlockWalker {
public:
    BlockWalker() { ready = inflateInit2(&stream, -15) == Z_OK; }
    ~BlockWalker() {
        if (ready) {
            inflateEnd(&stream);
        }
    }
    BlockWalker(const BlockWalker&) = delete;
    BlockWalker& operator=(const BlockWalker&) = delete;

    bool IsReady() const { return ready; }

    // Turns a complete raw stream of length bytes into one that ends in a
    // non-final block on a byte boundary: the last block's BFINAL bit is
    // cleared and an empty stored block (what Z_SYNC_FLUSH writes) follows it.
    // data needs kTailRoom spare bytes; scratch takes the decoded bytes,
    // size of them at most. Returns the new length, 0 on a broken stream.
    std::size_t EndNonFinal(std::uint8_t* data, std::size_t length, std::uint8_t* scratch,
                            std::size_t size) {
        if (inflateReset(&stream) != Z_OK) {
            return 0;
        }
        stream.next_in = data;
        stream.avail_in = static_cast<uInt>(length);
        // With Z_BLOCK inflate returns at each block boundary; data_type then
        // has bit 7 set, bit 6 when the block that ended was the last, and the
        // count of bits not yet used in the last byte taken in its low bits.
        std::size_t header = 0;
        std::size_t end = 0;
        for (;;) {
            stream.next_out = scratch;
            stream.avail_out = static_cast<uInt>(size);
            const int result = inflate(&stream, Z_BLOCK);
            if (result != Z_OK && result != Z_STREAM_END) {
                return 0;
            }
            if ((stream.data_type & 128) != 0) {
                const std::size_t bit =
                    static_cast<std::size_t>(stream.next_in - data) * 8 - (stream.data_type & 7);
                if ((stream.data_type & 64) != 0) {
                    end = bit;
                    break;
                }
                header = bit;
            } else if (stream.avail_in == 0 && stream.avail_out != 0) {
                return 0;
            }
        }
        data[header / 8] &= static_cast<std::uint8_t>(~(1u << (header % 8)));
        std::size_t n = end / 8;
        const unsigned used = end % 8;
        if (used != 0) {
            data[n++] &= static_cast<std::uint8_t>((1u << used) - 1);
        }
        // The stored block's three header bits (all zero) fit after the last
        // used bit when at least three remain; otherwise they start a byte.
        if (used == 0 || used > 5) {
            data[n++] = 0;
        }
        const std::uint8_t lengths[4] = {0, 0, 0xFF, 0xFF};
        std::copy(lengths, lengths + 4, data + n);
        return n + 4;
    }

private:
    z_stream stream = {};
    bool ready = false;
};

// What one thread compresses with.
struct Worker {
    explicit Worker(int level) : compressor(level) {}
    Compressor compressor;
    BlockWalker walker;
};

// One band on its way through: its rows, then its stream.
struct Slot {
    enum State { Free, Busy, Ready };
    State state = Free;
    std::uint32_t band = 0;
    image::ByteBuffer rows;
    image::ByteBuffer packed;
    std::size_t rowSize = 0;
    std::size_t length = 0;
    std::uint32_t adler = 1;
};

// The bands, the slots and who holds which.
class BandQueue {
public:
    BandQueue(std::uint32_t bandCount, std::size_t slotCount)
        : bandCount(bandCount), slots(slotCount) {}

    std::mutex lock;
    std::condition_variable changed;
    const std::uint32_t bandCount;
    std::uint32_t nextBand = 0;
    std::uint32_t nextWrite = 0;
    std::atomic<bool> stop{false};
    std::vector<Slot> slots;

    // A free slot taken for the next band, or null; called under lock.
    Slot* Claim() {
        if (stop || nextBand == bandCount) {
            return nullptr;
        }
        for (Slot& slot : slots) {
            if (slot.state == Slot::Free) {
                slot.state = Slot::Busy;
                slot.band = nextBand++;
                return &slot;
            }
        }
        return nullptr;
    }
    // The slot holding the next band to write, once it is ready; under lock.
    Slot* NextReady() {
        for (Slot& slot : slots) {
            if (slot.state == Slot::Ready && slot.band == nextWrite) {
                return &slot;
            }
        }
        return nullptr;
    }
    void Stop() {
        std::lock_guard<std::mutex> hold(lock);
        stop = true;
        changed.notify_all();
    }
};

// Stops and joins a helper thread however the writing ends, so that no
// thread outlives the objects it works on.
class ThreadJoiner {
public:
    ThreadJoiner(BandQueue& queue, std::thread& thread) : queue(queue), thread(thread) {}
    ~ThreadJoiner() {
        if (!thread.joinable()) {
            return;
        }
        try {
            queue.Stop();
        } catch (...) {
            queue.stop = true;
        }
        queue.changed.notify_all();
        try {
            thread.join();
        } catch (...) {
            thread.detach();
        }
    }
    ThreadJoiner(const ThreadJoiner&) = delete;
    ThreadJoiner& operator=(const ThreadJoiner&) = delete;

private:
    BandQueue& queue;
    std::thread& thread;
};

// The rows a deflater works on, in bands of bandRows.
struct BandLayout {
    const BandDeflater::FillRows& fill;
    std::uint32_t rowCount;
    std::size_t rowBytes;
    std::uint32_t bandRows;
};

// Fills, compresses and (but for the last band) re-ends a band's stream.
bool ProcessBand(const BandLayout& layout, Worker& worker, Slot& slot) {
    const std::uint32_t first = slot.band * layout.bandRows;
    const std::uint32_t end = std::min(layout.rowCount, first + layout.bandRows);
    const std::size_t size = static_cast<std::size_t>(end - first) * layout.rowBytes;
    // Both buffers are sized for a whole band once and reused.
    const std::size_t most =
        static_cast<std::size_t>(std::min(layout.bandRows, layout.rowCount)) * layout.rowBytes;
    const std::size_t bound = libdeflate_deflate_compress_bound(worker.compressor.Get(), most);
    if ((slot.rows.IsEmpty() && slot.rows.Allocate(most, false) == nullptr) ||
        (slot.packed.IsEmpty() && slot.packed.Allocate(bound + kTailRoom, false) == nullptr)) {
        return false;
    }
    slot.rowSize = size;
    layout.fill(first, end, slot.rows.Data());
    slot.adler = libdeflate_adler32(1, slot.rows.Data(), size);
    slot.length = libdeflate_deflate_compress(worker.compressor.Get(), slot.rows.Data(), size,
                                              slot.packed.Data(), bound);
    if (slot.length != 0 && end != layout.rowCount) {
        // The rows are no longer needed: inflate rewrites the same bytes.
        slot.length =
            worker.walker.EndNonFinal(slot.packed.Data(), slot.length, slot.rows.Data(), size);
    }
    return slot.length != 0;
}

// A helper thread's work: takes bands until none are left or the writing
// stops.
void WorkBands(const BandLayout& layout, Worker& worker, BandQueue& queue) {
    std::unique_lock<std::mutex> hold(queue.lock);
    for (;;) {
        Slot* slot = queue.Claim();
        if (slot == nullptr) {
            if (queue.stop || queue.nextBand == queue.bandCount) {
                return;
            }
            queue.changed.wait(hold);
            continue;
        }
        hold.unlock();
        bool done = false;
        try {
            done = ProcessBand(layout, worker, *slot);
        } catch (...) {
        }
        hold.lock();
        slot->state = Slot::Ready;
        queue.stop = queue.stop || !done;
        queue.changed.notify_all();
    }
}

// The calling thread's side: writes the zlib framing and the bands' streams
// in order as they become ready, and compresses bands itself meanwhile.
class StreamWriter {
public:
    StreamWriter(BandQueue& queue, const BandDeflater::Sink& sink) : queue(queue), sink(sink) {}

    // Writes the whole stream; process compresses a band on this thread.
    bool Run(int level, const std::function<bool(Slot&)>& process) {
        bool ok = WriteHeader(level);
        std::unique_lock<std::mutex> hold(queue.lock);
        while (ok && !queue.stop && queue.nextWrite < queue.bandCount) {
            if (Slot* ready = queue.NextReady()) {
                hold.unlock();
                ok = WriteBand(*ready);
                hold.lock();
            } else if (Slot* slot = queue.Claim()) {
                hold.unlock();
                const bool done = process(*slot);
                hold.lock();
                slot->state = Slot::Ready;
                queue.stop = queue.stop || !done;
                queue.changed.notify_all();
            } else {
                // Timed, in case the helper thread stopped without the lock.
                queue.changed.wait_for(hold, std::chrono::milliseconds(100));
            }
        }
        ok = ok && queue.nextWrite == queue.bandCount;
        queue.stop = true;
        queue.changed.notify_all();
        return ok;
    }

private:
    // Deflate with a 32 KiB window, the level class libdeflate writes, and
    // the check bits that make the header a multiple of 31.
    bool WriteHeader(int level) {
        const unsigned levelClass = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
        unsigned header = 0x7800 | levelClass << 6;
        header += 31 - header % 31;
        const std::uint8_t head[2] = {static_cast<std::uint8_t>(header >> 8),
                                      static_cast<std::uint8_t>(header)};
        return sink(head, 2);
    }

    // Writes a ready band (without the lock), frees its slot, and after the
    // last band the checksum of all the rows.
    bool WriteBand(Slot& ready) {
        if (queue.bandCount == 1 && ready.rowSize < kBothBelow && WriteWithZlib(ready)) {
            std::lock_guard<std::mutex> hold(queue.lock);
            queue.nextWrite = queue.bandCount;
            return written;
        }
        bool ok = sink(ready.packed.Data(), ready.length);
        adler = ready.band == 0 ? ready.adler
                                : static_cast<std::uint32_t>(adler32_combine(
                                      adler, ready.adler, static_cast<z_off_t>(ready.rowSize)));
        bool last = false;
        {
            std::lock_guard<std::mutex> hold(queue.lock);
            ready.state = Slot::Free;
            last = ++queue.nextWrite == queue.bandCount;
            queue.changed.notify_all();
        }
        if (last) {
            const std::uint8_t check[4] = {
                static_cast<std::uint8_t>(adler >> 24), static_cast<std::uint8_t>(adler >> 16),
                static_cast<std::uint8_t>(adler >> 8), static_cast<std::uint8_t>(adler)};
            ok = ok && sink(check, 4);
        }
        return ok;
    }

    // A small picture's rows through zlib too: when its stream is the
    // smaller, it is written whole (header and checksum included) instead.
    // False when zlib's stream is not taken; written tells the sink's answer.
    bool WriteWithZlib(const Slot& ready) {
        uLongf packed = compressBound(static_cast<uLong>(ready.rowSize));
        image::ByteBuffer other;
        if (other.Allocate(packed, false) == nullptr ||
            compress2(other.Data(), &packed, ready.rows.Data(), static_cast<uLong>(ready.rowSize),
                      6) != Z_OK ||
            packed >= ready.length + 6) {
            return false;
        }
        written = sink(other.Data() + 2, packed - 2);
        return true;
    }

    BandQueue& queue;
    const BandDeflater::Sink& sink;
    std::uint32_t adler = 1;
    bool written = false;
};

} // namespace

BandDeflater::BandDeflater(std::uint32_t rowCount, std::size_t rowBytes, int level, bool lean)
    : rowCount(rowCount), rowBytes(rowBytes), level(level), lean(lean) {}

std::uint32_t BandDeflater::BandRows(std::size_t rowBytes) {
    const std::size_t rows = rowBytes == 0 ? 1 : kBandBytes / rowBytes;
    return static_cast<std::uint32_t>(std::max<std::size_t>(rows, 1));
}

bool BandDeflater::Write(const FillRows& fill, const Sink& sink) {
    try {
        return rowCount != 0 && rowBytes != 0 && WriteBands(fill, sink);
    } catch (...) {
        return false;
    }
}

bool BandDeflater::WriteBands(const FillRows& fill, const Sink& sink) {
    const BandLayout layout{fill, rowCount, rowBytes, BandRows(rowBytes)};
    const std::uint32_t bandCount = (rowCount - 1) / layout.bandRows + 1;
    const unsigned threads =
        bandCount < 2 ? 1u
                      : std::min(kMostThreads, std::max(1u, std::thread::hardware_concurrency()));
    // One slot more than threads lets a thread start its next band while the
    // band before it waits to be written.
    BandQueue queue(bandCount, threads == 1 || lean ? threads : threads + 1);
    std::vector<std::unique_ptr<Worker>> workers;
    for (unsigned i = 0; i < threads; ++i) {
        workers.push_back(std::make_unique<Worker>(level));
        if (workers.back()->compressor.Get() == nullptr || !workers.back()->walker.IsReady()) {
            return false;
        }
    }
    std::thread helper;
    ThreadJoiner joiner(queue, helper);
    if (threads > 1) {
        try {
            helper = std::thread([&layout, &workers, &queue] {
                try {
                    WorkBands(layout, *workers[1], queue);
                } catch (...) {
                    queue.stop = true;
                }
            });
        } catch (const std::system_error&) {
            // The calling thread does all the bands.
        }
    }
    return StreamWriter(queue, sink).Run(level, [&](Slot& slot) {
        return ProcessBand(layout, *workers[0], slot);
    });
}

} // namespace formats
