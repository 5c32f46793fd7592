// libFuzzer target for the stored party character (clang builds only).
#include "RulesFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return fuzzStoredChar(data, size); }
