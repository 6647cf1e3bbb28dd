// Built with -mavx2; reached only through SelectCombineRows after the
// processor check.
#include "image/RowCombine.h"

#include <immintrin.h>

namespace image {

namespace {

// Eight bytes widened to eight 32-bit lanes.
inline __m256i Widen(const std::uint8_t* p) {
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
}

inline __m256i RoundShift(__m256i sum) {
    return _mm256_srai_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(32768)), 16);
}

// Four accumulators of eight lanes each become 32 bytes in order. The two
// saturating packs clamp to 0..255 exactly as the scalar code does (a value
// beyond the 16-bit range saturates there first and then to 0 or 255); they
// interleave the 128-bit halves, which the final permutation undoes.
inline void Store32(std::uint8_t* out, __m256i a0, __m256i a1, __m256i a2, __m256i a3) {
    const __m256i p01 = _mm256_packs_epi32(RoundShift(a0), RoundShift(a1));
    const __m256i p23 = _mm256_packs_epi32(RoundShift(a2), RoundShift(a3));
    const __m256i bytes = _mm256_packus_epi16(p01, p23);
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permutevar8x32_epi32(bytes, order));
}

inline void Store8(std::uint8_t* out, __m256i a) {
    const __m256i p = _mm256_packs_epi32(RoundShift(a), RoundShift(a));
    const __m256i bytes = _mm256_packus_epi16(p, p);
    const __m256i order = _mm256_setr_epi32(0, 4, 0, 4, 0, 4, 0, 4);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out),
                     _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(bytes, order)));
}

// Groups*32 bytes starting at offset, all taps, accumulators kept in
// registers.
template <int Groups>
inline void CombineBlock(const std::uint8_t* const* rows, const std::int32_t* weights, int taps,
                         std::uint8_t* out, int offset) {
    __m256i acc[Groups * 4];
    for (int g = 0; g < Groups * 4; ++g) {
        acc[g] = _mm256_setzero_si256();
    }
    for (int j = 0; j < taps; ++j) {
        const __m256i w = _mm256_set1_epi32(weights[j]);
        const std::uint8_t* p = rows[j] + offset;
        for (int g = 0; g < Groups * 4; ++g) {
            acc[g] = _mm256_add_epi32(acc[g], _mm256_mullo_epi32(Widen(p + 8 * g), w));
        }
    }
    for (int g = 0; g < Groups; ++g) {
        Store32(out + offset + 32 * g, acc[4 * g], acc[4 * g + 1], acc[4 * g + 2], acc[4 * g + 3]);
    }
}

} // namespace

void CombineRowsAvx2(const std::uint8_t* const* rows, const std::int32_t* weights, int taps,
                     std::uint8_t* out, int bytes) {
    int k = 0;
    // A transposed block of 32 picture rows is exactly 96 bytes.
    for (; k + 96 <= bytes; k += 96) {
        CombineBlock<3>(rows, weights, taps, out, k);
    }
    for (; k + 32 <= bytes; k += 32) {
        CombineBlock<1>(rows, weights, taps, out, k);
    }
    for (; k + 8 <= bytes; k += 8) {
        __m256i acc = _mm256_setzero_si256();
        for (int j = 0; j < taps; ++j) {
            acc = _mm256_add_epi32(
                acc, _mm256_mullo_epi32(Widen(rows[j] + k), _mm256_set1_epi32(weights[j])));
        }
        Store8(out + k, acc);
    }
    CombineRowsScalarRange(rows, weights, taps, out, k, bytes);
}

} // namespace image
