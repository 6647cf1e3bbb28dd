#include "image/ByteBuffer.h"

#include <cstdlib>
#include <cstring>

namespace image {

void ByteBuffer::Free() {
    if (block != nullptr) {
        std::free(block);
        block = nullptr;
    }
}

unsigned char* ByteBuffer::Allocate(std::size_t size, bool zeroFill) {
    Free();
    // malloc(0) may return null or a unique pointer; ask for one byte so that an
    // empty block is still a block.
    block = static_cast<unsigned char*>(std::malloc(size == 0 ? 1 : size));
    if (block != nullptr && zeroFill) {
        std::memset(block, 0, size);
    }
    return block;
}

bool ByteBuffer::Resize(std::size_t size) {
    if (block == nullptr) {
        return false;
    }
    void* grown = std::realloc(block, size == 0 ? 1 : size);
    if (grown == nullptr) {
        return false;
    }
    block = static_cast<unsigned char*>(grown);
    return true;
}

} // namespace image
