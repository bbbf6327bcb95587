// Where a path below the installation really leads. Every pass that creates,
// writes, reads as an official version or deletes anything in the
// installation (its folders, the install and download passes' unpacking, the
// checksum and delete passes) asks here first, with the exact path it is
// about to use (made full and letter-case repaired already), so the check and
// the act name the same file.
//
// The rule. The installation is its folder (root) plus whatever the user
// linked into it. A path is walked from root one component at a time, the
// way the system resolves it, with lstat and readlink:
// - a folder is entered; ".." steps back to the physical parent, and may not
//   rise above the floor of the walk (root, or the folder a user's link leads
//   to): that path leads out, EINVAL;
// - a link with a relative target has its target walked in its place, under
//   the same floor, wherever it was made and whenever;
// - a link with an absolute target is the user's: it leads where the system
//   resolves it, and that folder becomes the floor of the rest of the walk;
// - from a component that is missing (or is no folder), the rest is walked
//   by its text alone: nothing can be reached through it now, but a ".." in
//   it still may not rise above the floor, since the component may appear
//   later.
// Why absolute means the user's: the disc set can make links only through
// the archive layer, and that refuses every absolute target
// (inside_check_link), so no absolute link in an installation is the set's.
// A set's relative link is judged afresh at every use, because a link made
// later (by the same archive, another one or a later run) can change where an
// earlier one leads; a check of the target's text, or one made only when the
// link is created, would miss that. The walk resolves links itself instead of
// asking realpath about the whole path, so a path longer than the system's
// limit fails with the system's code rather than being judged by a cut copy.
// Relative links that the user made to places outside the installation are
// taken for the set's and refused.
//
// Each function returns 0 when the path stays inside; EINVAL when it leads
// out or does not lie below root by its text; ELOOP after more than 40 links;
// or the errno of an lstat, readlink or realpath that failed otherwise.
// Safe on any thread; they read the file system and change nothing.
#pragma once
#include <string>

// What the caller does with the last component of its path.
enum inside_use {
  inside_entry = 0,   // acts on the entry itself: creates, replaces or deletes it, reads a link's text
  inside_through = 1  // goes through it: uses it as a folder or reads the file a link leads to
};

// Judges path (full, below root, both as the caller will use them) by the rule
// above; use tells whether a link as its last component is followed.
int inside_check(const std::string& root, const std::string& path, int use);
// Judges a link the set is about to make at link (full, below root) with the
// text target: EINVAL when target is empty or absolute, else inside_check's
// answer for the place the link would lead to, links followed to the end.
int inside_check_link(const std::string& root, const std::string& link, const std::string& target);
