// The row codec on any text: counting, reading and replacing fields stay
// inside the text, and a field set is the field read back.
#include "tests/fuzz/FuzzTarget.h"

#include "components/runtime/qclstrings.h"
#include "framework/SysUtils.h"

BRIM_FUZZ_TARGET(row_codec) {
    if (size < 2) return;
    const char delimiter = static_cast<char>(data[0]);
    const int field = static_cast<int>(static_cast<signed char>(data[1]));
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    const int count = QCLGetCodedCount(text, delimiter);
    brimfuzz::check(count >= 0 && static_cast<std::size_t>(count) <= text.size() + 1, "a text has at most one field per byte");
    for (int i = -1; i <= count + 1 && i < 64; ++i) {
        QCLGetCodedString(text, delimiter, i);
        try {
            QCLGetCodedInt(text, delimiter, i);
        } catch (const EConvertError&) {
        }
    }
    const std::string value = "v";
    QCLSetCodedString(text, value, delimiter, field);
    if (field >= 1 && field <= count && delimiter != 'v')
        brimfuzz::check(QCLGetCodedString(text, delimiter, field) == value, "a field set reads back");
}
