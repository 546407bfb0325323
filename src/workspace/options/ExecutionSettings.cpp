#include "workspace/options/ExecutionSettings.h"

#include "core/ProfileStore.h"
#include "core/ResultSet.h"

namespace marlix {

int GetDatasetRowLimit(const ProfileStore& profile) {
    return profile.GetInt(kExecutionSettings, kDatasetRowLimit, 0);
}

void SetDatasetRowLimit(ProfileStore& profile, int value) {
    profile.WriteInt(kExecutionSettings, kDatasetRowLimit, value);
}

int GetDatasetSizeLimit(const ProfileStore& profile) {
    return profile.GetInt(kExecutionSettings, kDatasetSizeLimit, 1);
}

void SetDatasetSizeLimit(ProfileStore& profile, int value) {
    profile.WriteInt(kExecutionSettings, kDatasetSizeLimit, value);
}

bool GetTruncateResults(const ProfileStore& profile) {
    return profile.GetInt(kExecutionSettings, kTruncateResults, 1) != 0;
}

void SetTruncateResults(ProfileStore& profile, bool value) {
    profile.WriteInt(kExecutionSettings, kTruncateResults, value ? 1 : 0);
}

} // namespace marlix
