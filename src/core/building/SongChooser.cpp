#include "building/SongChooser.h"

#include <algorithm>

namespace kestrune {

std::vector<int32_t> SearchOrder(int32_t remaining, int32_t lowest, bool rotate) {
    std::vector<int32_t> order;
    if (rotate) {
        for (int32_t n = lowest; n < remaining; ++n) order.push_back(n);
    } else {
        for (int32_t n = remaining - 2; n >= lowest; --n) order.push_back(n);
    }
    return order;
}

void BringToTop(const WalkSight& sight, LineList& working, size_t n) {
    if (n >= working.size()) return;
    if (sight.broughtFrom != nullptr) *sight.broughtFrom = n;
    if (sight.rotate) {
        std::rotate(working.begin(), working.begin() + static_cast<long>(n),
                    working.begin() + static_cast<long>(n) + 1);
    } else {
        std::swap(working[0], working[n]);
    }
}

}  // namespace kestrune
