// ComInit.h -- per-thread counted initialisation of the component runtime (counting only: the
// platform has no such runtime, but callers keep their paired calls).
#pragma once

namespace zuderadeDoruVAV3ed {

// Counts the calling thread up; returns its count after the call.
int COMInitializeThisThread();
// Counts the calling thread down; returns its count after the call. An unpaired call is logged
// and changes nothing.
int COMUninitializeThisThread();

} // namespace zuderadeDoruVAV3ed
