#pragma once

#include <functional>

#include "core/transcription/convertdata.h"

// Where LatinToTengwar takes the stored switches from when its caller has not
// filled them. The settings store installs itself here at start; until then
// (and in tests that do not install one) the default switches and an empty
// never-with-tilde list are used.
using SettingsSource = std::function<void(TConvertData&)>;

void setSettingsSource(SettingsSource source);

// Fills the record from the installed source.
void loadSettings(TConvertData& settings);

// Fills the record with the defaults of a fresh store.
void loadDefaultSettings(TConvertData& settings);
