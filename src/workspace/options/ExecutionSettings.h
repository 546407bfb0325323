#pragma once
// The "Execution Settings" of the profile: autocommit per server type (GetAutocommit and
// SetAutocommit of the session), the limits of a fetched result set and the truncation of the
// results history. Getters read the profile every time and setters write at once, so the
// Options dialog, the Results menu and the next batch always see one value.
#include "db/ODBCSession.h"

namespace marlix {

class ProfileStore;

inline constexpr const char* kTruncateResults = "TruncateResults";

// Rows stored at most per result set; 0 = no limit. Default 0.
int GetDatasetRowLimit(const ProfileStore& profile);
void SetDatasetRowLimit(ProfileStore& profile, int value);
// Megabytes stored at most per result set. Default 1.
int GetDatasetSizeLimit(const ProfileStore& profile);
void SetDatasetSizeLimit(ProfileStore& profile, int value);
// Each run keeps only its own results. Default on.
bool GetTruncateResults(const ProfileStore& profile);
void SetTruncateResults(ProfileStore& profile, bool value);

} // namespace marlix
