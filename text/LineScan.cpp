#include "LineScan.h"

namespace tembrook {

TAsciiNeedle::TAsciiNeedle(std::string_view lowerNeedle)
    : FNeedle(lowerNeedle), FFailure(lowerNeedle.size(), 0)
{
    for (std::size_t i = 1, k = 0; i < FNeedle.size(); ++i) {
        while (k > 0 && FNeedle[i] != FNeedle[k])
            k = FFailure[k - 1];
        if (FNeedle[i] == FNeedle[k])
            ++k;
        FFailure[i] = k;
    }
}

}  // namespace tembrook
