// libFuzzer target: any bytes through the library reader and, when anything was read, the
// writer and the reader again (LibraryRoundTripFault). A fault aborts, so the fuzzer keeps the
// input; copy it into tests/fuzz/cases/ so that ctest replays it from then on.
#include "LibraryRoundTrip.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString fault = LibraryRoundTripFault(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!fault.isEmpty()) {
        std::fprintf(stderr, "library round trip: %s\n", fault.toLocal8Bit().constData());
        std::abort();
    }
    return 0;
}
