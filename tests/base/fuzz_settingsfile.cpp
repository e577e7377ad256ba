// libFuzzer target for the settings reader (built with clang only):
//   build-fuzz/tests/base/fuzz_settingsfile -runs=200000 tests/base/corpus
#include "tests/base/settingsfilecheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString problem = checkSettingsFileBytes(
        QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
