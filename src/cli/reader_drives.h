// The reader's own `Drives` settings, so that qbx maps stored Windows
// targets to Linux paths as the reader would.
#pragma once

#include "app/profile_store.h"
#include "app/settings_location.h"
#include "app/system_env.h"
#include "article/link_targets.h"

namespace qbx {

inline qb::DriveMap ReaderDrives() {
    qb::LinuxSystemEnv env;
    qb::ProfileStore store(qb::ChooseSettingsLocation(env).settingsPath);
    store.Load();
    return store.SectionEntries("Drives");
}

}  // namespace qbx
