// libFuzzer target for the item file (clang builds only).
#include "RulesFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return fuzzItemFile(data, size); }
