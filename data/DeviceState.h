#pragma once

// The state of a patient's remote device as the status text shows it. The
// numbers are fixed because models and translations refer to them.
enum class DeviceState
{
    NotConnected = 0,
    NoCommand = 1,
    RecordInProgress = 2,
    RecordComplete = 3,
    RecipeInProgress = 4,
    RecipeComplete = 5,
};
