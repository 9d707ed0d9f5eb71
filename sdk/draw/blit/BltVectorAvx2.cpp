// BltVectorAvx2.cpp -- the vector rows over 256-bit vectors, compiled for AVX2 and chosen at run
// time only on processors that have it. Only this file's own instantiations get the AVX2 options:
// every library header and every non-template declaration comes in before the target switch, and
// the rows are instantiated before it ends.
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "sdk/draw/blit/BltVector.h"

#if defined(__x86_64__)
#pragma GCC push_options
#pragma GCC target("avx2")
#include "sdk/draw/blit/VectorKernels.h"

namespace zuderadeDoruVAV3ed {
namespace {
const BltVectorRows kRowsAvx2 = VectorKernels<32>::kRows;
} // namespace
} // namespace zuderadeDoruVAV3ed
#pragma GCC pop_options
#endif

namespace zuderadeDoruVAV3ed {

#if defined(__x86_64__)
const BltVectorRows* const kBltVectorRowsAvx2 = &kRowsAvx2;
#else
const BltVectorRows* const kBltVectorRowsAvx2 = nullptr;
#endif

} // namespace zuderadeDoruVAV3ed
