// Fuzz entry points for the two stored forms the rules model reads from
// outside: the item file and the stored party character. Each takes any
// bytes and must neither crash nor leak; the driver and libFuzzer call them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

int fuzzItemFile(const uint8_t* data, size_t size);
int fuzzStoredChar(const uint8_t* data, size_t size);

// Valid inputs to start from.
std::vector<uint8_t> seedItemFile();
std::vector<uint8_t> seedStoredChar();
