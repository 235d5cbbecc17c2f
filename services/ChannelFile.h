// The channel file "APP.ini" in the product's folder of the roaming profile: it tells the
// installed product which distribution channel it came from and resets two of its flags.
#pragma once

#include <string>

// For the local application-data folder (…\AppData\Local): the file's path
// "…\AppData\Roaming\Folvane\APP.ini". Empty when the folder path is too short to hold
// the "\Local" ending or the result does not fit MAX_PATH.
std::wstring ChannelFilePathFor(const std::wstring& localAppDataFolder);

// Writes the channel file below the given local application-data folder: "channel"
// becomes "reduri" in section "Install" only when it is missing or exactly "error";
// "isrun" of section "help" and "native" of section "Install" become "0". Other entries
// stay. Failures are silent.
void WriteChannelFileFor(const std::wstring& localAppDataFolder);

// The same for this user's profile.
void WriteChannelFile();
