#pragma once

#include <cstdint>

namespace image {

// The inner loop of both resampling passes. For every byte position k below
// bytes:
//   out[k] = clamp((sum over j of weights[j] * rows[j][k] + 32768) >> 16, 0, 255)
// with the sum in 32-bit integers and an arithmetic shift. Each row is a run
// of bytes (one channel per byte), so the same loop serves a picture row and
// a transposed column.
using CombineRowsFunction = void (*)(const std::uint8_t* const* rows, const std::int32_t* weights,
                                     int taps, std::uint8_t* out, int bytes);

void CombineRowsScalar(const std::uint8_t* const* rows, const std::int32_t* weights, int taps,
                       std::uint8_t* out, int bytes);
// The scalar loop over the byte positions begin .. end - 1 only.
void CombineRowsScalarRange(const std::uint8_t* const* rows, const std::int32_t* weights, int taps,
                            std::uint8_t* out, int begin, int end);
// Same results with AVX2; call only when CpuHasAvx2() is true.
void CombineRowsAvx2(const std::uint8_t* const* rows, const std::int32_t* weights, int taps,
                     std::uint8_t* out, int bytes);

bool CpuHasAvx2();

// The fastest loop this processor runs, or the scalar one.
CombineRowsFunction SelectCombineRows(bool allowVector);

} // namespace image
