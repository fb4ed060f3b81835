// A manual of the usual shape for the benchmarks: a main heading every few
// dozen lines, a heading every few paragraphs, body lines of Japanese text
// of varying length, some indented, comments and blank lines in between.
// The same seed gives the same text, so figures compare across runs.
#pragma once

#include <cstddef>
#include <string>

namespace varnoke::bench {

std::string GenerateManual(size_t bytes);

} // namespace varnoke::bench
