// A manual of the usual shape for the benchmarks: a main heading every few
// dozen lines, a heading every few paragraphs, body lines of Japanese text
// of varying length, some indented, comments and blank lines in between.
// The same seed gives the same text, so figures compare across runs.
#pragma once

#include <cstddef>
#include <string>

namespace varnoke::bench {

std::string GenerateManual(size_t bytes);

// The same shape, with body lines of characters drawn as in Japanese prose:
// hiragana most, a few thousand kanji by a long-tailed frequency, some
// katakana and ASCII words. The generated manual above repeats a handful of
// words, which says little about the size of anything made from its
// characters.
std::string GenerateVariedManual(size_t bytes);

} // namespace varnoke::bench
