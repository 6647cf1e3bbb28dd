#include "image/RowCombine.h"

namespace image {

namespace {

std::uint8_t Round(std::uint32_t sum) {
    // Unsigned wrap-around like the vector lanes; the shift is arithmetic.
    const std::int32_t value = static_cast<std::int32_t>(sum + 32768u) >> 16;
    return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

} // namespace

void CombineRowsScalar(const std::uint8_t* const* rows, const std::int32_t* weights, int taps,
                       std::uint8_t* out, int bytes) {
    CombineRowsScalarRange(rows, weights, taps, out, 0, bytes);
}

void CombineRowsScalarRange(const std::uint8_t* const* rows, const std::int32_t* weights, int taps,
                            std::uint8_t* out, int begin, int end) {
    for (int k = begin; k < end; ++k) {
        std::uint32_t sum = 0;
        for (int j = 0; j < taps; ++j) {
            sum += static_cast<std::uint32_t>(weights[j]) * rows[j][k];
        }
        out[k] = Round(sum);
    }
}

bool CpuHasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}

CombineRowsFunction SelectCombineRows(bool allowVector) {
    static const bool avx2 = CpuHasAvx2();
    return allowVector && avx2 ? CombineRowsAvx2 : CombineRowsScalar;
}

} // namespace image
