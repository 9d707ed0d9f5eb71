// BltVectorSse2.cpp -- the vector rows over 128-bit vectors (the base instruction set of x86-64).
#include "sdk/draw/blit/VectorKernels.h"

namespace zuderadeDoruVAV3ed {

const BltVectorRows kBltVectorRowsSse2 = VectorKernels<16>::kRows;

} // namespace zuderadeDoruVAV3ed
