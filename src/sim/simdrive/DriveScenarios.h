#pragma once
// Trips the simulated drive can serve besides its demo trips: one realistic trip for each
// likely cause a diagnosis names, so that the windows, the pictures and the tests can show each.

#include "DriveModel.h"

#include <string_view>
#include <vector>

/// Names of the scenarios: the ids of the likely causes ("accel-overcurrent", ..., "none").
const std::vector<std::string_view> &ScenarioNames();

/// Puts the trip of scenario name into the drive's new trace with its header, and the drive
/// type the scenario needs into romId ('E', or 'V' where the motor temperature is recorded);
/// the old trace keeps what it held. False, changing nothing, for an unknown name.
bool FillScenarioTrace(TDriveModel &drive, std::string_view name);
