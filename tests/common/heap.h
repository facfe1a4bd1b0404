#pragma once

// Whether repeated work gives back the heap it takes, counted by glibc.
// Under AddressSanitizer the count means nothing: LeakSanitizer checks instead.

#include <QtGlobal>

#include <malloc.h>

/// Bytes of the C heap in use now.
inline qint64 heapInUse() { return qint64(mallinfo2().uordblks); }

/// How much the heap in use grows over @p cycles runs of @p cycle, after
/// @p settle runs that fill whatever caches the work fills.
template <typename Cycle>
qint64 heapGrowth(Cycle cycle, int settle = 3, int cycles = 30)
{
    for (int i = 0; i < settle; ++i)
        cycle();
    const qint64 settled = heapInUse();
    for (int i = 0; i < cycles; ++i)
        cycle();
    return heapInUse() - settled;
}
