// Archives and file digests: unpacking the discs' zip and 7z archives into a
// folder, writing one-file zip archives, and the MD5 digest of a file.
//
// Result codes: 0 for success; a positive errno; a negative zip-library code
// (-100 end of the entry list, -103 damaged archive, -105 CRC mismatch); a 7z
// decoding failure (P7Z_ERR_* below); the program's own codes 20001 (archive
// cannot be opened), 20002 (an entry yields fewer bytes than its stated size),
// 20003 (zip cannot be created), 20004 (short write of a 7z file), 20005 (a
// resource fork of 2 GiB or more), 20006 (file cannot be mapped), 20012 (a
// bad AppleDouble header) and 20015 (content of another digest than wanted);
// -1 for a failed link creation or a failed setting of file times. The zip
// operations log their failures to xer; p7z_to_file logs only entries it
// refuses, calc_file_md5 nothing.
//
// Every extraction keeps inside root (an ancestor of its folder, or the folder
// itself when root is "") by file_inside's rule: an entry whose name is
// absolute or holds a ".." component, one whose path, letter case repaired
// as it is written, leads out of root through a link, and a link whose target
// is absolute or leads out of root (alone or through other links) are
// refused with EINVAL. So is a link that makes a link the same extraction
// made before it lead out; it is removed again. An extracted file appears
// only when complete; a failed entry leaves whatever was at its path before.
#pragma once
#include <string>
#include <unzip.h>

// 7z decoding failures, kept clear of the errno values and of every other
// code so that error_str never reads them as a system error: the 7z
// decoder's own result numbers (1 data, 2 memory, 3 CRC, 6 archive) less 1000.
enum {
  P7Z_ERR_DATA = -1001,        // the data is damaged or packed in a way this decoder lacks
  P7Z_ERR_MEM = -1002,         // the decoder ran out of memory
  P7Z_ERR_CRC = -1003,         // a file's bytes fail their CRC
  P7Z_ERR_ARCHIVE = -1006      // the archive's structure is damaged
};

// Digest of the file at path (of a symbolic link: of its text) as 32
// lowercase hexadecimal digits; 0, or 20006 with digest untouched.
int calc_file_md5(const std::string& path, std::string& digest);

// Unpacks every entry of a zip archive into folder (ending in '/'): folders,
// files with their permission bits and times, symbolic links, and "__MACOSX"
// AppleDouble companions as resource forks and Finder information. With
// rename, files go to folder + *name. When name is given, it receives the
// first entry's name as stored. Entries before a failing one stay extracted.
// With want_md5, every file and link written must have that digest (a link's
// of its text, as calc_file_md5 takes it): one that differs is not put in
// place, and the extraction ends with err_content_mismatch.
int zip_to_file(const std::string& archive, const std::string& folder, std::string* name, int rename,
                const std::string& root = std::string(), const std::string* want_md5 = nullptr);

// Unpacks every file of a 7z archive into folder (ending in '/'), creating no
// folders and applying no stored times or attributes. With rename, files go
// to folder + the name *name held at the call. When name is given, it
// receives each written file's full path in turn. want_md5 as for zip_to_file.
int p7z_to_file(const std::string& archive, const std::string& folder, std::string* name, int rename,
                const std::string& root = std::string(), const std::string* want_md5 = nullptr);

// Removes from folder (ending in '/') the hidden files that extractions of
// processes no longer alive left half-written (a run killed in the middle of
// an unpack); every other name, and those of live processes, stay. 0, or the
// errno of a folder that cannot be read. Logs each removal.
int ARC_remove_stale_temporaries(const std::string& folder);

// Writes a one-entry zip archive of source at archive (replacing any file
// there): a link as a link entry, a file with its mode and time, and its
// resource fork, when it has one, as a "__MACOSX/._<name>" companion entry.
int file_to_zip(const std::string& source, const std::string& archive);

// Creates the symbolic link of the current entry of z at path (replacing
// whatever is there) when its target leads inside root, else EINVAL; used by
// zip_to_file. With want_md5, a link text of another digest replaces nothing
// and gives err_content_mismatch.
int unzip_symlink(unzFile z, std::string path, unz_file_info64_s& info, const std::string& root,
                  const std::string* want_md5 = nullptr);

// Applies the current entry of z, an AppleDouble companion extracted as
// path ('folder/._name'), to its data file 'folder/name'; a missing data file
// drops it with 0. Used by zip_to_file.
int unzip_resource_fork(unzFile z, std::string path, unz_file_info64_s& info);
