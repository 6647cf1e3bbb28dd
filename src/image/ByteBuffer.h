#pragma once

#include <cstddef>

namespace image {

// A heap block from malloc/realloc owned by one object: the working memory of
// the PNG reader and writer. Freed by Free, Allocate and the destructor.
class ByteBuffer {
public:
    ByteBuffer() = default;
    ~ByteBuffer() { Free(); }

    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    void Free();
    // Replaces the block; null (and an empty buffer) when malloc fails.
    unsigned char* Allocate(std::size_t size, bool zeroFill);
    // Keeps the old block, with its old size, when realloc fails; returns
    // whether the block now has the new size.
    bool Resize(std::size_t size);
    bool IsEmpty() const { return block == nullptr; }
    unsigned char* Data() const { return block; }

private:
    unsigned char* block = nullptr;
};

} // namespace image
