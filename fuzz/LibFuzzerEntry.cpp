// The libFuzzer entry point of every fuzzer executable; the target's own work is in the
// fuzzOne it is linked with, which the replay tests call too. Only the clang fuzz build
// compiles this file.
#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzOne(data, size);
}

// LeakSanitizer suppressions built into every fuzzer, so that a plain run stops only on
// leaks of ours. Qt 5.15's JSON parser leaks the earlier value of a repeated key when that
// value is an object or array (QJsonDocument::fromJson, no code of ours on the stack), and
// every reader of JSON input reaches it. Qt is built without frame pointers, so the stack
// of such an allocation ends in Qt's anonymous frames and only the library's name can be
// matched: this suppresses leaks of memory that Qt itself allocated (Qt's own `new` or its
// container storage on the allocating stack), while an object that our code allocates and
// loses is still reported, with whatever it holds.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libQt5Core.so\n";
}

// libFuzzer looks for leaks after every input that allocated more than it freed; without
// this each such check would print the table of suppressions used.
extern "C" const char* __lsan_default_options()
{
    return "print_suppressions=0";
}
