#pragma once

// The messenger's global settings that must always have a value: written
// once, with their defaults, when missing (so they persist in the settings
// file), and the old saved-password key removed.

namespace parley {
class UserDefaults;
}

namespace parley::shell {

void registerGlobalDefaults(UserDefaults &defaults);

} // namespace parley::shell
