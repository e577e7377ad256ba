// libFuzzer target for the code file reader (built with clang only):
//   build-fuzz/tests/editor/fuzz_codefile -runs=200000 tests/editor/corpus
#include "tests/editor/codefilecheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString problem = checkCodeFileBytes(
        QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
