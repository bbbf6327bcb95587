// The disk-space panel under the destination, scenery and repair screens'
// text: the size of the volume that holds dest_dir_path, its free space, the
// space the current choice needs (stg.total_exp_kb) and the caller's sentence.
#pragma once
#include <string>

// Draws the panel; 1 when the free space is at least the space needed (the
// sentence then is the enough-message) or the volume cannot be asked
// (nothing drawn), else 0. Both messages come translated.
int UTIL_disk_space(const std::string& enough_msg, const std::string& not_enough_msg);

// The volume query behind the panel, get_free_space by default: the total
// and free bytes of the volume holding path, 0 or an error code. A test puts
// a volume of its own size here.
extern int (*UTIL_disk_space_query)(const std::string& path, unsigned long long* total,
                                    unsigned long long* free_bytes);
