#include "engine/optimization/rulecheck.h"

#include <memory>

RuleCheckMatrices& ruleCheckMatrices()
{
    static thread_local std::unique_ptr<RuleCheckMatrices> scratch = std::make_unique<RuleCheckMatrices>();
    return *scratch;
}
