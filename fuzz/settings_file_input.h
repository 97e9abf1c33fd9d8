// How the settings file target's input is laid out: the settings file, then,
// after KEPT_SEPARATOR when the input holds it, the kept copy a damaged read
// takes from. The seeds are made the same way.
#pragma once

namespace SettingsFileInput {
constexpr const char KEPT_SEPARATOR[] = "\n--kept copy--\n";
constexpr int KEPT_SEPARATOR_LENGTH = sizeof(KEPT_SEPARATOR) - 1;
} // namespace SettingsFileInput
