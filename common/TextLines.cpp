#include "common/TextLines.h"

#include "common/FileSystem.h"
#include "common/ShiftJis.h"
#include "common/TextEncoding.h"

#include <cstdint>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnoke {

namespace {

bool IsLineBreak(char byte) {
    return byte == '\r' || byte == '\n';
}

#if defined(__SSE2__)
// The number of bits set. The processors the program is built for need not
// have an instruction for it, and a call into the compiler's library for
// each block of text costs more than these few steps.
int BitCount(std::uint64_t bits) {
#if defined(__POPCNT__)
    return __builtin_popcountll(bits);
#else
    bits -= (bits >> 1) & 0x5555555555555555u;
    bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<int>((bits * 0x0101010101010101u) >> 56);
#endif
}

// One bit for each of the 16 bytes at `p` that equals `byte`.
std::uint64_t BytesEqual(const char* p, __m128i byte) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, byte)));
}

// One bit for each of the 64 bytes at `p` that equals `byte`.
std::uint64_t BlockBytesEqual(const char* p, __m128i byte) {
    return BytesEqual(p, byte) | BytesEqual(p + 16, byte) << 16 | BytesEqual(p + 32, byte) << 32 |
           BytesEqual(p + 48, byte) << 48;
}
#endif

// Appends the end of every line whose break lies among the 64 bytes at
// `offset`: the position of a lone CR or LF, or of the CR of a CR LF.
// Lines are short and many, so the breaks of a whole block come from one
// mask, and the first four are written without asking whether there are
// four. `afterCarriageReturn` carries a CR at the end of a block into the
// next. The ends are counted from `start`, where the scanned part begins.
#if defined(__SSE2__)
void AppendBlockLineEnds(std::string_view text, size_t offset, size_t start,
                         bool& afterCarriageReturn, TLargeArray<size_t>& ends) {
    const std::uint64_t crs = BlockBytesEqual(text.data() + offset, _mm_set1_epi8('\r'));
    const std::uint64_t lfs = BlockBytesEqual(text.data() + offset, _mm_set1_epi8('\n'));
    // An LF right after a CR is the second half of one break.
    const std::uint64_t secondHalves = lfs & (crs << 1 | (afterCarriageReturn ? 1u : 0u));
    afterCarriageReturn = (crs >> 63) != 0;
    std::uint64_t mask = crs | (lfs & ~secondHalves);
    const int count = BitCount(mask);
    size_t* out = ends.Room(64);
    for (int i = 0; i < 4; ++i) {
        // Beyond the last break the values are of no use, and are not kept.
        out[i] = start + offset + static_cast<size_t>(__builtin_ctzll(mask | 1ull << 63));
        mask &= mask - 1;
    }
    for (int i = 4; i < count; ++i) {
        out[i] = start + offset + static_cast<size_t>(__builtin_ctzll(mask));
        mask &= mask - 1;
    }
    ends.Grow(static_cast<size_t>(count));
}
#endif

} // namespace

TTextLines::TTextLines(std::string sjisText) : text_(std::move(sjisText)) {
    FindLines();
}

TTextLines::TTextLines(TByteBuffer sjisText) : buffer_(std::move(sjisText)) {
    FindLines();
}

namespace {

// The ends of the lines whose breaks lie in `text`, a part of a larger
// text that starts `start` bytes into it; `afterCarriageReturn` says
// whether the byte before the part is a CR.
void AppendLineEnds(std::string_view text, size_t start, bool afterCarriageReturn,
                    TLargeArray<size_t>& ends) {
    size_t offset = 0;
#if defined(__SSE2__)
    for (; text.size() - offset >= 64; offset += 64)
        AppendBlockLineEnds(text, offset, start, afterCarriageReturn, ends);
#endif
    for (; offset < text.size(); ++offset) {
        const char byte = text[offset];
        if (byte == '\r' || (byte == '\n' && !afterCarriageReturn))
            ends.PushBack(start + offset);
        afterCarriageReturn = byte == '\r';
    }
}

// From this size on the two halves of a text are scanned at once.
constexpr size_t TwoHalvesFrom = 4 * 1024 * 1024;

} // namespace

void TTextLines::FindLines() {
    const std::string_view text = Text();
    ends_.Reserve(text.size() / 32 + 64); // a guess: lines are rarely shorter
    if (text.size() < TwoHalvesFrom) {
        AppendLineEnds(text, 0, false, ends_);
    } else {
        const size_t middle = text.size() / 2;
        TLargeArray<size_t> secondHalf;
        std::thread second([&] {
            secondHalf.Reserve(middle / 32 + 64);
            AppendLineEnds(text.substr(middle), middle, text[middle - 1] == '\r', secondHalf);
        });
        AppendLineEnds(text.substr(0, middle), 0, false, ends_);
        second.join();
        ends_.Append(secondHalf);
    }
    lastLineHasBreak_ = !text.empty() && IsLineBreak(text.back());
    if (!text.empty() && !lastLineHasBreak_)
        ends_.PushBack(text.size()); // the last line, without a break
}

bool LoadTextLines(const TNativePath& path, TTextLines& lines, TTextFileSigns* signs) {
    TByteBuffer bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    if (HasUtf16ByteOrderMark(bytes.View())) {
        const TDecodedText text = DecodeText(bytes.View());
        if (signs != nullptr)
            signs->NulBytes = text.HasNulBytes;
        lines = TTextLines(Utf8ToSjis(text.Utf8));
        return true;
    }
    if (signs != nullptr)
        signs->NulBytes = bytes.View().find('\0') != std::string_view::npos;
    TByteBuffer converted;
    if (Utf8TextToSjis(bytes.View(), converted))
        lines = TTextLines(std::move(converted));
    else
        lines = TTextLines(std::move(bytes));
    return true;
}

std::string DecodeTextFile(std::string_view fileBytes) {
    if (HasUtf16ByteOrderMark(fileBytes))
        return Utf8ToSjis(DecodeText(fileBytes).Utf8);
    if (std::optional<std::string> converted = Utf8TextToSjis(fileBytes))
        return std::move(*converted);
    return std::string(fileBytes);
}

} // namespace varnoke
