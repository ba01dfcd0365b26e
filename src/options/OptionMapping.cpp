#include "options/OptionMapping.h"

namespace {

bool CheckFromValue(int value, bool before)
{
    switch (value) {
    case 0:
        return false;
    case 1:
        return true;
    default:
        return before;
    }
}

}  // namespace

TOptionChecks ChecksFromOptions(const TAppOptions& options, const TOptionChecks& before)
{
    return {CheckFromValue(options.AutoLogin, before[0]), CheckFromValue(options.ShowFavorites, before[1]),
            CheckFromValue(options.BidRestraint, before[2])};
}

TAppOptions OptionsFromChecks(const TOptionChecks& checks)
{
    return {checks[0] ? 1 : 0, checks[1] ? 1 : 0, checks[2] ? 1 : 0};
}
