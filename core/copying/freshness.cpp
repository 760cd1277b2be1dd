#include "freshness.h"

namespace verdaline {

Freshness compareDates(FileDate source, FileDate target) {
    if (target == source) {
        return Freshness::Equal;
    }
    return target < source ? Freshness::TargetEarlier : Freshness::TargetLater;
}

}  // namespace verdaline
