// The libFuzzer entry point of every fuzzer executable; the target's own work is in the
// fuzzOne it is linked with, which the replay tests call too.
#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzOne(data, size);
}
