// How the hot loops ask for vector code: function multiversioning where the compiler and
// the target support it (x86-64 ELF with ifunc, GCC or Clang), plain portable code elsewhere.
// Defining QUENDRA_PORTABLE_KERNELS forces the portable path (to build and test it anywhere).
#pragma once

#if !defined(QUENDRA_PORTABLE_KERNELS) && defined(__x86_64__) && defined(__GNUC__) && \
    defined(__ELF__) && defined(__has_attribute)
#if __has_attribute(target_clones)
// Compiled twice, for AVX2 and for the baseline; the loader picks one per processor.
#define QUENDRA_KERNEL __attribute__((target_clones("avx2", "default")))
#endif
#endif
#ifndef QUENDRA_KERNEL
#define QUENDRA_KERNEL
#endif

// Tells the vectoriser that the arrays of the next loop do not overlap. GCC's spelling;
// Clang takes its own, and other compilers get nothing (the loop is still correct).
#if defined(__clang__)
#define QUENDRA_IVDEP _Pragma("clang loop vectorize(assume_safety)")
#elif defined(__GNUC__)
#define QUENDRA_IVDEP _Pragma("GCC ivdep")
#else
#define QUENDRA_IVDEP
#endif
