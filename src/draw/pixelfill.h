// Setting a run of 32-bit pixels to one colour, four pixels a store where the processor allows:
// the canvas's own fills (rectangles, flood fills, rounded shapes) cover millions of pixels an
// item on a large screen.
#pragma once
#include <QRgb>
#include <QtGlobal>
#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kav {

inline void FillPixels(QRgb* p, qsizetype n, QRgb c)
{
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(int(c));
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), four);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i + 4), four);
    }
    for (; i < n; ++i)
        p[i] = c;
#else
    std::fill(p, p + n, c);
#endif
}

}  // namespace kav
