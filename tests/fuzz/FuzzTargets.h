#pragma once

#include <cstddef>
#include <cstdint>

// Entry functions shared by the libFuzzer programs and the corpus replay test. Each returns
// 0 and aborts when it finds the code under test breaking one of its promises.
namespace telvora::fuzz {

int FuzzXmlReader(const std::uint8_t* data, std::size_t size);
int FuzzPercentEscape(const std::uint8_t* data, std::size_t size);

} // namespace telvora::fuzz
