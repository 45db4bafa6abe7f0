#include "bells/EnsembleSettings.h"

namespace ensemble_settings {

Text read(const ProfileFile& file) {
    return {file.readString(kSection, kBellsKey, kMissingBells),
            file.readString(kSection, kTypesKey, kMissingTypes)};
}

bool write(ProfileFile& file, const Text& text) {
    // Both keys are tried even when the first fails.
    const bool bellsWritten = file.writeString(kSection, kBellsKey, text.bells);
    const bool typesWritten = file.writeString(kSection, kTypesKey, text.types);
    return bellsWritten && typesWritten;
}

} // namespace ensemble_settings
