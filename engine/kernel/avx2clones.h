#pragma once
// UDECOMP_AVX2_CLONES before a kernel builds it twice, for AVX2 and for any
// x86-64, and picks one at load time. GCC only: clang's clones cannot be called
// from another source file, and clang builds here are the fuzz targets alone.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define UDECOMP_AVX2_CLONES [[gnu::target_clones("avx2", "default")]]
#else
#define UDECOMP_AVX2_CLONES
#endif
