#include "base/Base64.h"

#include <algorithm>
#include <cstring>

#ifdef SONVERA_BASE64_OPENSSL
#include <openssl/evp.h>
#endif

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Runs of valid text are checked and decoded a slice at a time, so the decoder
// reads what the check has just brought into the cache. A multiple of 4.
constexpr int sliceSize = 16 * 1024;
static_assert(sliceSize % 4 == 0, "slices must hold whole groups of four characters");

bool isAlphabet(unsigned char c)
{
    // c | 0x20 folds upper case onto lower case and nothing else onto a-z.
    return unsigned((c | 0x20) - 'a') < 26u || unsigned(c - '0') < 10u || c == '+' || c == '/';
}

// Decodes groups of four alphabet characters (size a multiple of 4).
#ifdef SONVERA_BASE64_OPENSSL
// EVP_DecodeBlock is the fast part of the work; it is given only alphabet
// characters because it also trims whitespace and reads '=' anywhere, where the
// toolkit's rules skip them.
bool decodeGroups(unsigned char* out, const unsigned char* in, int size)
{
    return size == 0 || EVP_DecodeBlock(out, in, size) == size / 4 * 3;
}
#else
// Where OpenSSL is not at hand (the Windows build), the same groups are
// decoded through a table of the 64 characters' values; a character outside
// the alphabet has a value with bit 6 set, which fails the whole decoding.
struct Base64Values
{
    unsigned char of[256];

    constexpr Base64Values() : of()
    {
        for (unsigned char& value : of)
            value = 0x40;
        const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (unsigned char i = 0; i < 64; ++i)
            of[static_cast<unsigned char>(alphabet[i])] = i;
    }
};
constexpr Base64Values base64Values;

bool decodeGroups(unsigned char* out, const unsigned char* in, int size)
{
    unsigned outside = 0;
    for (int i = 0; i < size; i += 4, out += 3) {
        const unsigned a = base64Values.of[in[i]], b = base64Values.of[in[i + 1]];
        const unsigned c = base64Values.of[in[i + 2]], d = base64Values.of[in[i + 3]];
        outside |= a | b | c | d;
        const unsigned bits = a << 18 | b << 12 | c << 6 | d;
        out[0] = static_cast<unsigned char>(bits >> 16);
        out[1] = static_cast<unsigned char>(bits >> 8);
        out[2] = static_cast<unsigned char>(bits);
    }
    return (outside & 0x40) == 0;
}
#endif

} // namespace

int base64AlphabetRun(const char* data, int size)
{
    const auto* in = reinterpret_cast<const unsigned char*>(data);
    int i = 0;
#ifdef __SSE2__
    // Sixteen characters per step. Signed comparisons on shifted bytes test a
    // range each; bytes from 0x80 up fall outside every range.
    const __m128i caseBit = _mm_set1_epi8(0x20);
    const __m128i letterBase = _mm_set1_epi8(char('a' ^ 0x80));
    const __m128i letterEnd = _mm_set1_epi8(char(-128 + 26));
    const __m128i digitBase = _mm_set1_epi8(char('0' ^ 0x80));
    const __m128i digitEnd = _mm_set1_epi8(char(-128 + 10));
    const __m128i plus = _mm_set1_epi8('+');
    const __m128i slash = _mm_set1_epi8('/');
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i letter = _mm_cmplt_epi8(_mm_sub_epi8(_mm_or_si128(v, caseBit), letterBase), letterEnd);
        const __m128i digit = _mm_cmplt_epi8(_mm_sub_epi8(v, digitBase), digitEnd);
        const __m128i sign = _mm_or_si128(_mm_cmpeq_epi8(v, plus), _mm_cmpeq_epi8(v, slash));
        const int valid = _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(letter, digit), sign));
        if (valid != 0xFFFF)
            return i + __builtin_ctz(unsigned(~valid));
    }
#endif
    while (i < size && isAlphabet(in[i]))
        ++i;
    return i;
}

QByteArray decodeBase64(const char* data, int size)
{
    size = std::max(size, 0);
    const auto* in = reinterpret_cast<const unsigned char*>(data);
    // Room for the longest result; 64-bit arithmetic because size * 3 overflows int.
    QByteArray result(int(qint64(size) * 3 / 4), Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(result.data());
    int written = 0;
    bool decoded = true;
    // Alphabet characters that do not yet make a group of four: skipped
    // characters may split a group anywhere.
    unsigned char pending[4];
    int pendingCount = 0;

    int position = 0;
    while (position < size) {
        const int limit = std::min(size - position, sliceSize);
        int run = base64AlphabetRun(data + position, limit);
        const unsigned char* characters = in + position;
        position += run;
        const bool stray = run < limit;
        while (pendingCount > 0 && run > 0) {
            pending[pendingCount++] = *characters++;
            --run;
            if (pendingCount == 4) {
                decoded = decodeGroups(out + written, pending, 4) && decoded;
                written += 3;
                pendingCount = 0;
            }
        }
        const int whole = run & ~3;
        decoded = decodeGroups(out + written, characters, whole) && decoded;
        written += whole / 4 * 3;
        for (int i = whole; i < run; ++i)
            pending[pendingCount++] = characters[i];
        if (stray) {
            // Skipping the character that ended the run unconditionally makes
            // progress certain.
            ++position;
            while (position < size && !isAlphabet(in[position]))
                ++position;
        }
    }
    // Two or three characters left give one or two bytes; the bits of a lone
    // character are dropped, and so are the low bits that do not fill a byte.
    if (pendingCount >= 2) {
        std::fill(pending + pendingCount, pending + 4, 'A');
        unsigned char last[3];
        decoded = decodeGroups(last, pending, 4) && decoded;
        std::memcpy(out + written, last, size_t(pendingCount - 1));
        written += pendingCount - 1;
    }
    // The fast decoder cannot refuse alphabet characters; should it ever do,
    // the toolkit's own decoder still gives the right answer.
    if (!decoded)
        return QByteArray::fromBase64(QByteArray::fromRawData(data, size));
    result.truncate(written);
    return result;
}

QByteArray decodeBase64(const QByteArray& text)
{
    return decodeBase64(text.constData(), text.size());
}
