// libFuzzer target for the sprite file reader (built with clang only):
//   build-fuzz/tests/sprite/fuzz_spritefile -runs=200000 tests/sprite/corpus
#include "tests/sprite/spritefilecheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString problem = checkSpriteFileBytes(
        QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
