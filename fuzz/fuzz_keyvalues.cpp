#include "core/core.h"

#include <cstdlib>

// Steam's library list and app manifests, written by another program.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QList<KeyValue> values;
    if (!readKeyValues(text, values))
        return 0;
    // The game finder relies on every value having a key, and on the depth
    // bound holding: 16 blocks, then the value's own key.
    for (const KeyValue &value : values)
        if (value.keys.isEmpty() || value.keys.size() > 17)
            std::abort();
    return 0;
}
