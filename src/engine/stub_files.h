// Stand-ins for the archive and digest unit of the files subsystem, which is
// not in this tree yet; same names and signatures as its. Removed when the
// real unit arrives.
#pragma once
#include <string>

// Digest of the file at path (of a symbolic link: of its text); 0, or 20006
// with digest untouched.
int calc_file_md5(const std::string& path, std::string& digest);
// Unpack a zip or 7z archive into folder; 0 or an error code.
int zip_to_file(const std::string& archive, const std::string& folder, std::string* name, int rename);
int p7z_to_file(const std::string& archive, const std::string& folder, std::string* name, int rename);
