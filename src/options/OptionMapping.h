// The options dialog's logic: option.ini's values to the three check boxes
// and back.
#pragma once

#include "settings/AppFiles.h"

#include <array>

// The states of CheckBox1..3 (auto-login, show favorites, bid
// self-restraint), checked = true.
using TOptionChecks = std::array<bool, 3>;

// The boxes after reading values: 0 unchecks a box, 1 checks it, any other
// value leaves it as it was.
TOptionChecks ChecksFromOptions(const TAppOptions& options, const TOptionChecks& before);

// The values OK writes: 1 for a checked box, 0 for an unchecked one.
TAppOptions OptionsFromChecks(const TOptionChecks& checks);
