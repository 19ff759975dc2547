#pragma once

#include <cstddef>
#include <cstdint>

/// Runs one input through the reader a fuzz target exercises. Each fuzz/*_fuzzer.cpp defines
/// it; libFuzzer calls it for every input it makes and the replay tests for every file of
/// the target's corpus. A fault ends the process (abort, trap or sanitizer report); the result
/// goes back to libFuzzer as it is.
int fuzzOne(const uint8_t* data, size_t size);
