// The packed point list driven by any bytes as a list of operations: every
// point reads back as packed (X unsigned 16 bits, Y signed 16 bits) and a
// negative index raises the list error, never reads outside.
#include "tests/fuzz/FuzzTarget.h"

#include "components/runtime/qclpointlist.h"

#include <cstring>

namespace {

int valueAt(const std::uint8_t* p) {
    std::int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

}  // namespace

BRIM_FUZZ_TARGET(point_list) {
    TQCLPointList list;
    TQCLPointList copy;
    for (std::size_t i = 0; i + 9 <= size; i += 9) {
        const int index = static_cast<int>(static_cast<signed char>(data[i + 8]));
        const TPoint point(valueAt(data + i), valueAt(data + i + 4));
        try {
            switch (data[i] % 5) {
            case 0: {
                list.AddPoint(point);
                TPoint back;
                list.GetPoint(list.GetCount() - 1, back);
                brimfuzz::check(back.x == (point.x & 0xFFFF) && back.y == static_cast<std::int16_t>(point.y & 0xFFFF),
                                "a point reads back packed");
                break;
            }
            case 1: {
                TPoint back(7, 7);
                list.GetPoint(index, back);
                break;
            }
            case 2: list.PutPoint(index, point); break;
            case 3: list.DeletePoint(index); break;
            default:
                list.Clone(&copy);
                brimfuzz::check(copy.GetCount() == list.GetCount(), "a clone has every point");
                break;
            }
        } catch (const EListError&) {
        }
    }
}
