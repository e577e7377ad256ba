#include "base/textsearch.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quill {

qsizetype findText(QStringView text, QStringView needle, qsizetype from)
{
    const qsizetype size = text.size();
    const qsizetype length = needle.size();
    if (from < 0 || from > size)
        return -1;
    if (length == 0)
        return from;
    if (length > size - from)
        return -1;
    if (length == 1)
        return text.indexOf(needle.front(), from);

    const char16_t *const chars = text.utf16();
    const char16_t *const wanted = needle.utf16();
    const char16_t first = wanted[0];
    const char16_t last = wanted[length - 1];
    const std::size_t middleBytes = std::size_t(length - 2) * sizeof(char16_t);
    const qsizetype lastStart = size - length;  // the last place a match can begin
    qsizetype at = from;
#if defined(__SSE2__)
    const __m128i firsts = _mm_set1_epi16(static_cast<short>(first));
    const __m128i lasts = _mm_set1_epi16(static_cast<short>(last));
    for (; at + 8 <= lastStart + 1; at += 8) {
        const __m128i begins = _mm_loadu_si128(reinterpret_cast<const __m128i *>(chars + at));
        const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i *>(chars + at + length - 1));
        // Two bits per place where both the first and the last character fit.
        unsigned places = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(begins, firsts), _mm_cmpeq_epi16(ends, lasts))));
        while (places != 0) {
            const int bit = __builtin_ctz(places);
            const qsizetype candidate = at + bit / 2;
            if (std::memcmp(chars + candidate + 1, wanted + 1, middleBytes) == 0)
                return candidate;
            places &= ~(3u << bit);
        }
    }
#endif
    for (; at <= lastStart; ++at) {
        if (chars[at] == first && chars[at + length - 1] == last
            && std::memcmp(chars + at + 1, wanted + 1, middleBytes) == 0)
            return at;
    }
    return -1;
}

qsizetype replaceText(QString &text, QStringView before, QStringView after)
{
    if (before.isEmpty())
        return 0;
    std::vector<qsizetype> places;
    for (qsizetype at = findText(text, before); at >= 0; at = findText(text, before, at + before.size()))
        places.push_back(at);
    if (places.empty())
        return 0;
    const qsizetype oldSize = text.size();
    const qsizetype newSize = oldSize + qsizetype(places.size()) * (after.size() - before.size());
    // The pieces between the places move within the text's own buffer:
    // forward when the text shrinks, from the back when it grows (into room
    // reserved beforehand, or a new buffer).
    if (after.size() <= before.size()) {
        QChar *chars = text.data();
        qsizetype to = places.front();
        for (std::size_t i = 0; i < places.size(); ++i) {
            std::copy(after.begin(), after.end(), chars + to);
            to += after.size();
            const qsizetype from = places[i] + before.size();
            const qsizetype next = i + 1 < places.size() ? places[i + 1] : oldSize;
            std::copy(chars + from, chars + next, chars + to);
            to += next - from;
        }
        text.truncate(newSize);
        return qsizetype(places.size());
    }
    text.resize(newSize);
    QChar *chars = text.data();
    qsizetype to = newSize;
    qsizetype end = oldSize;
    for (std::size_t i = places.size(); i-- > 0;) {
        const qsizetype from = places[i] + before.size();
        to -= end - from;
        std::copy_backward(chars + from, chars + end, chars + to + (end - from));
        to -= after.size();
        std::copy(after.begin(), after.end(), chars + to);
        end = places[i];
    }
    return qsizetype(places.size());
}

} // namespace quill
