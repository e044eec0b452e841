// Feeds the issues list arbitrary lines and asks for every row and role,
// including rows that do not exist.
#include "qmessages.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QMessages m;
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == '\n') {
            const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data) + start,
                                                   qsizetype(i - start));
            switch (line.size() % 3) {
            case 0: m.addError(line); break;
            case 1: m.addWarning(line); break;
            default: m.addInfo(line); break;
            }
            start = i + 1;
        }
    }
    for (int r = -1; r <= m.rowCount(); ++r)
        (void)m.data(m.index(r), Qt::DisplayRole);
    m.clear();
    return 0;
}
