#include "PlausibilityHints.h"

std::vector<PlausibilityHint> PlausibilityHints(const TTraceRecord &, bool, std::int32_t, bool) {
    return {};
}
