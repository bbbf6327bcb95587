// Mounted volumes: which volume holds a path, and ejecting a removable one.
#pragma once
#include <string>

// How long an eject may take before it counts as failed.
constexpr int PLAT_EJECT_TIMEOUT_MS = 20000;

// The mount point (no trailing '/' except for the root) and the mounted
// device or file-system source of the volume that holds path; 0 or errno.
int PLAT_volume_of_path(const std::string& path, std::string& mount_point, std::string& device);
// Unmounts and ejects the volume mounted at mount_point with the system's
// tools ("eject", then "gio mount -e", then "udisksctl unmount"), each given
// at most timeout_ms. Returns 0 when one succeeded; EBUSY for the system's own
// root volume (never ejected) or when every tool failed; ETIMEDOUT when a tool
// hung and was killed; ENOSYS when the system has none of the tools.
int PLAT_eject_volume(const std::string& mount_point, const std::string& device, int timeout_ms);
