#include "image/Resampler.h"

#include "image/ResampleWeights.h"
#include "image/RowCombine.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <exception>
#include <thread>
#include <vector>

namespace image {

namespace {

// Picture rows transposed together by the horizontal pass: a column of 32
// rows is 96 bytes, which the vector loop takes in three steps.
constexpr int BlockRows = 32;

// A pass smaller than this many multiply-adds is not worth starting threads.
constexpr std::int64_t ParallelWork = std::int64_t{1} << 21;

int ThreadCount(const ResampleOptions& options, std::int64_t work, int units) {
    int threads = options.threads;
    if (threads <= 0) {
        threads = static_cast<int>(std::thread::hardware_concurrency());
    }
    threads = std::min(threads, 64);
    if (work < ParallelWork) {
        threads = 1;
    }
    return std::max(1, std::min(threads, units));
}

// Runs body(begin, end) over 0 .. count - 1 cut into one contiguous part per
// thread; the calling thread takes the first part, and a part whose thread
// cannot be started runs on the caller too. body returns false when it could
// not get its working memory; the result is true only if every part ran.
template <typename Body> bool ParallelFor(int count, int threads, const Body& body) {
    std::atomic<bool> ok{true};
    auto run = [&](int begin, int end) {
        if (begin < end && !body(begin, end)) {
            ok = false;
        }
    };
    auto partStart = [&](int part) {
        return static_cast<int>(static_cast<std::int64_t>(count) * part / threads);
    };
    // Both lists are reserved before any thread starts, so nothing can throw
    // while a thread is running unjoined.
    std::vector<std::thread> workers;
    std::vector<int> leftOver;
    workers.reserve(static_cast<std::size_t>(threads));
    leftOver.reserve(static_cast<std::size_t>(threads));
    for (int part = 1; part < threads; ++part) {
        try {
            workers.emplace_back(run, partStart(part), partStart(part + 1));
        } catch (const std::exception&) {
            leftOver.push_back(part);
        }
    }
    run(0, partStart(1));
    for (int part : leftOver) {
        run(partStart(part), partStart(part + 1));
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    return ok;
}

const std::uint8_t* Row(const Image& img, int y) {
    return img.PixelAddress(0, y);
}

// Blue, green and red of every pixel of a row, dropping a 32-bit source's
// fourth byte.
void CopyRowTo24(const std::uint8_t* source, int bytesPerPixel, int width, std::uint8_t* target) {
    if (bytesPerPixel == 3) {
        std::memcpy(target, source, static_cast<std::size_t>(width) * 3);
        return;
    }
    for (int x = 0; x < width; ++x) {
        std::memcpy(target + 3 * x, source + static_cast<std::size_t>(x) * bytesPerPixel, 3);
    }
}

// Computes rows of the horizontal pass: source rows first .. first + count - 1
// (count at most BlockRows) into the given 24-bit target rows. The rows are
// transposed together so that one source column of the block is a single run
// of bytes; each target column is then the same weighted sum of such runs as a
// target row is of whole rows in the vertical pass. One per thread: it owns
// that thread's working memory.
class RowProducer {
public:
    RowProducer(const Image& source, const ResampleWeights& table, CombineRowsFunction combine)
        : source(source), table(table), combine(combine), identity(table.IsIdentity()),
          blockRows(std::min(BlockRows, source.Height)), columnBytes(blockRows * 3) {}

    // False when the working memory cannot be had.
    bool Prepare() {
        if (identity) {
            return true;
        }
        try {
            // Slack for the four-byte stores of the transposition.
            columns.resize(static_cast<std::size_t>(source.Width) * columnBytes + 4);
            taps.resize(static_cast<std::size_t>(table.Taps));
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

    int BlockSize() const { return blockRows; }

    void Produce(int first, int count, std::uint8_t* const* targetRows) {
        const int width = table.TargetLength;
        if (identity) {
            for (int r = 0; r < count; ++r) {
                CopyRowTo24(Row(source, first + r), source.BytesPerPixel, width, targetRows[r]);
            }
            return;
        }
        // A short block repeats its last row; those results are never stored.
        const std::uint8_t* sourceRows[BlockRows];
        for (int r = 0; r < blockRows; ++r) {
            sourceRows[r] = Row(source, first + std::min(r, count - 1));
        }
        Transpose(sourceRows);
        std::uint8_t out[BlockRows * 3 + 1];
        for (int x = 0; x < width; ++x) {
            const std::int32_t* index = table.IndicesOf(x);
            for (int j = 0; j < table.Taps; ++j) {
                taps[j] = columns.data() + static_cast<std::size_t>(index[j]) * columnBytes;
            }
            combine(taps.data(), table.WeightsOf(x), table.Taps, out, columnBytes);
            // Four-byte stores run one byte into the next pixel, which the
            // next column overwrites; the last pixel of a row, followed by
            // padding or by the end of the picture, takes three.
            if (x + 1 < width) {
                for (int r = 0; r < count; ++r) {
                    std::memcpy(targetRows[r] + 3 * x, out + 3 * r, 4);
                }
            } else {
                for (int r = 0; r < count; ++r) {
                    std::memcpy(targetRows[r] + 3 * x, out + 3 * r, 3);
                }
            }
        }
    }

private:
    // Column x of the block becomes the run columns[x * columnBytes ...]:
    // blue, green, red of row 0, then of row 1, and so on. Pixels move as
    // four-byte words where the fourth byte is sure to exist (a 32-bit
    // pixel, or a 24-bit one with another pixel after it); the extra byte
    // lands where the next row's or column's bytes are written afterwards.
    void Transpose(const std::uint8_t* const* sourceRows) {
        const int bytesPerPixel = source.BytesPerPixel;
        const int wordColumns = bytesPerPixel == 4 ? source.Width : source.Width - 1;
        std::uint8_t* column = columns.data();
        for (int x = 0; x < source.Width; ++x, column += columnBytes) {
            const std::size_t offset = static_cast<std::size_t>(x) * bytesPerPixel;
            if (x < wordColumns) {
                for (int r = 0; r < blockRows; ++r) {
                    std::memcpy(column + 3 * r, sourceRows[r] + offset, 4);
                }
            } else {
                for (int r = 0; r < blockRows; ++r) {
                    std::memcpy(column + 3 * r, sourceRows[r] + offset, 3);
                }
            }
        }
    }

    const Image& source;
    const ResampleWeights& table;
    CombineRowsFunction combine;
    bool identity;
    int blockRows;
    int columnBytes;
    std::vector<std::uint8_t> columns;
    std::vector<const std::uint8_t*> taps;
};

// Only the width changes: the horizontal pass writes the result directly.
bool HorizontalOnly(const Image& source, Image& target, const ResampleWeights& table,
                    CombineRowsFunction combine, const ResampleOptions& options) {
    const int height = source.Height;
    const int blockRows = std::min(BlockRows, height);
    const int blocks = (height + blockRows - 1) / blockRows;
    const std::int64_t work = std::int64_t{target.Width} * height * table.Taps * 3;
    return ParallelFor(blocks, ThreadCount(options, work, blocks), [&](int first, int end) {
        RowProducer producer(source, table, combine);
        if (!producer.Prepare()) {
            return false;
        }
        std::uint8_t* targetRows[BlockRows];
        for (int block = first; block < end; ++block) {
            const int top = block * blockRows;
            const int count = std::min(blockRows, height - top);
            for (int r = 0; r < count; ++r) {
                targetRows[r] = target.PixelAddress(0, top + r);
            }
            producer.Produce(top, count, targetRows);
        }
        return true;
    });
}

// Both passes, streamed: each thread takes a run of target rows and keeps
// only the horizontal-pass rows its vertical taps still need, in a ring of
// Taps + BlockRows rows. The intermediate picture never exists as a whole,
// which saves its memory and keeps the working rows in the cache. The rows
// a target row needs only move forward as the row index grows, so a row
// that has left the ring is never needed again.
bool BothPasses(const Image& source, Image& target, const ResampleWeights& horizontal,
                const ResampleWeights& vertical, CombineRowsFunction combine,
                const ResampleOptions& options) {
    const int width = target.Width;
    const int height = target.Height;
    const int sourceHeight = source.Height;
    const int rowBytes = width * 3;
    const int ringRows = static_cast<int>(
        std::min<std::int64_t>(std::int64_t{vertical.Taps} + BlockRows, sourceHeight));
    const std::int64_t work =
        std::int64_t{rowBytes} *
        (std::int64_t{sourceHeight} * horizontal.Taps + std::int64_t{height} * vertical.Taps);
    return ParallelFor(height, ThreadCount(options, work, height), [&](int firstRow, int endRow) {
        RowProducer producer(source, horizontal, combine);
        std::vector<std::uint8_t> ring;
        std::vector<const std::uint8_t*> taps;
        try {
            ring.resize(static_cast<std::size_t>(ringRows) * rowBytes);
            taps.resize(static_cast<std::size_t>(vertical.Taps));
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (!producer.Prepare()) {
            return false;
        }
        auto slot = [&](int row) {
            return ring.data() + static_cast<std::size_t>(row % ringRows) * rowBytes;
        };
        int next = 0; // first source row not yet in the ring
        std::uint8_t* blockRows[BlockRows];
        for (int y = firstRow; y < endRow; ++y) {
            const std::int32_t* index = vertical.IndicesOf(y);
            const int lowest = index[0];
            const int highest = index[vertical.Taps - 1];
            next = std::max(next, lowest);
            while (next <= highest) {
                const int count = std::min(producer.BlockSize(), sourceHeight - next);
                for (int r = 0; r < count; ++r) {
                    blockRows[r] = slot(next + r);
                }
                producer.Produce(next, count, blockRows);
                next += count;
            }
            for (int j = 0; j < vertical.Taps; ++j) {
                taps[j] = slot(index[j]);
            }
            combine(taps.data(), vertical.WeightsOf(y), vertical.Taps, target.PixelAddress(0, y),
                    rowBytes);
        }
        return true;
    });
}

// Only the height changes (or the width kept): every target row is a
// weighted sum of whole 24-bit source rows.
bool VerticalOnly(const Image& source, Image& target, const ResampleWeights& table,
                  CombineRowsFunction combine, const ResampleOptions& options) {
    const int rowBytes = target.Width * 3;
    const int height = target.Height;
    const std::int64_t work = std::int64_t{rowBytes} * height * table.Taps;
    return ParallelFor(height, ThreadCount(options, work, height), [&](int firstRow, int endRow) {
        std::vector<const std::uint8_t*> taps;
        try {
            taps.resize(static_cast<std::size_t>(table.Taps));
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (int y = firstRow; y < endRow; ++y) {
            const std::int32_t* index = table.IndicesOf(y);
            for (int j = 0; j < table.Taps; ++j) {
                taps[j] = Row(source, index[j]);
            }
            combine(taps.data(), table.WeightsOf(y), table.Taps, target.PixelAddress(0, y),
                    rowBytes);
        }
        return true;
    });
}

bool ResampleInto(const Image& source, Image& target, int width, int height,
                  const ResampleOptions& options) {
    if (width == source.Width && height == source.Height) {
        if (!target.Create(width, height, 24)) {
            return false;
        }
        if (!source.StretchTo(target, false)) {
            target.Destroy();
            return false;
        }
        return true;
    }
    const ResampleWeights horizontal = BuildWeights(source.Width, width);
    const ResampleWeights vertical = BuildWeights(source.Height, height);
    if (horizontal.Taps == 0 || vertical.Taps == 0) {
        target.Destroy();
        return false;
    }
    const CombineRowsFunction combine = SelectCombineRows(options.vector);

    // An axis whose table only copies needs no pass of its own: an unchanged
    // height lets the horizontal pass write the result, and a 24-bit source
    // with an unchanged width serves the vertical pass directly.
    if (!target.Create(width, height, 24)) {
        return false;
    }
    bool done = false;
    if (vertical.IsIdentity()) {
        done = HorizontalOnly(source, target, horizontal, combine, options);
    } else if (horizontal.IsIdentity() && source.BytesPerPixel == 3) {
        done = VerticalOnly(source, target, vertical, combine, options);
    } else {
        done = BothPasses(source, target, horizontal, vertical, combine, options);
    }
    if (!done) {
        target.Destroy();
    }
    return done;
}

} // namespace

bool Resample(const Image& source, Image& target, int width, int height) {
    return Resample(source, target, width, height, ResampleOptions());
}

bool Resample(const Image& source, Image& target, int width, int height,
              const ResampleOptions& options) {
    if (source.IsEmpty() || source.BytesPerPixel < 3 || width < 1 || height < 1) {
        return false;
    }
    try {
        if (&source != &target) {
            return ResampleInto(source, target, width, height, options);
        }
        Image result;
        if (!ResampleInto(source, result, width, height, options)) {
            target.Destroy();
            return false;
        }
        target.Swap(result);
        return true;
    } catch (const std::exception&) {
        // Only the workers' setup can throw; no thread is left running.
        target.Destroy();
        return false;
    }
}

} // namespace image
