#include "files/file_errors.h"
#include <cerrno>
#include <cstdio>

namespace {

struct error_row {
  int code;
  const char* text;
};

// The system's own constants key the POSIX rows, so the sentence follows the
// meaning of the code whatever number this system gives it.
const error_row k_errors[] = {
    {20001, "We were unable to open a zip file. It may be missing or damaged"},
    {20002, "We were unable to read from a zip file (short-read error). It may be missing or damaged"},
    {20003, "We were unable to create a zip file"},
    {20004, "We were unable to write to a zip file. It may be missing or damaged"},
    {20005, "We cannot compress a zip file because its source file resource fork is more than 2 GB. The source file is probably damaged"},
    {20006, "We could not open a file to read from it"},
    {20007, "We were unable to connct to the network due to an internal reconnect error"},
    {20008, "We wre unable to connect to the network due to a bad state error"},
    {20009, "We could not allocate a connection to the network"},
    {20010, "We could not write the incoming file from the web to disk"},
    {20011, "We could not find the server over the network"},
    {20012, "Part of the downloaded zip file is corrupted (the resource fork header is bad)"},
    {20015, "The unpacked file's content does not match its checksum in the directory. The archive may be stale or damaged"},
    {20016, "The server sent a response header longer than we accept"},

    {EPERM, "Operation not permitted. Perhaps you do not have access to a directory or file system"},
    {ENOENT, "No such file or directory"},
    {ESRCH, "No such process"},
    {EINTR, "Interrupted system call"},
    {EIO, "Input/output error"},
    {ENXIO, "Device not configured"},
    {E2BIG, "Argument list too long"},
    {ENOEXEC, "Exec format error"},
    {EBADF, "Bad file descriptor"},
    {ECHILD, "No child processes"},
    {EDEADLK, "Resource deadlock avoided"},
    {ENOMEM, "Out of memory"},
    {EACCES, "Permission denied. Perhaps you do not have access to a directory or file system"},
    {EFAULT, "Bad address"},
    {EBUSY, "Device busy"},
    {EEXIST, "File exists"},
    {EXDEV, "Cross-device link"},
    {ENODEV, "Operation not supported by device"},
    {ENOTDIR, "Not a directory"},
    {EISDIR, "Is a directory"},
    {EINVAL, "Invalid argument"},
    {ENFILE, "Too many open files in system"},
    {EMFILE, "Too many open files"},
    {ENOTTY, "Inappropriate ioctl for device"},
    {EFBIG, "File too large"},
    {ENOSPC, "No space left on device. Perhaps your hard drive is full"},
    {ESPIPE, "Illegal seek"},
    {EROFS, "The destination file system is read-only"},
    {EMLINK, "Too many links"},
    {EPIPE, "Broken pipe"},
    {EDOM, "Numerical argument out of domain"},
    {ERANGE, "Result too large"},
    {EAGAIN, "Resource temporarily unavailable"},
    {ENAMETOOLONG, "File name too long"},
    {ENOTEMPTY, "Directory not empty"},
    {ENOLCK, "No locks available"},
    {ENOSYS, "Function not implemented"},
    {EILSEQ, "Wide character encoding error"},

    // Mac OS codes can still arrive in files and logs written elsewhere.
    {-33, "Directory is full"},
    {-34, "The disk is full"},
    {-35, "no such volume"},
    {-36, "An internal I/O error occurred"},
    {-37, "bad name"},
    {-38, "file not open"},
    {-39, "end of file"},
    {-40, "position error"},
    {-41, "Memory is full"},
    {-42, "Too many files open"},
    {-43, "File not found"},
    {-44, "A disk is write protected"},
    {-45, "File locked"},
    {-46, "Hard disk is locked"},
    {-47, "A file is in use by another application"},
    {-48, "duplicate file name"},
    {-49, "File already open with write permissions by another application"},
    {-50, "param err"},
    {-51, "refnum error"},
    {-52, "get file position error"},
    {-53, "A needed volume is offline"},
    {-54, "Permissions error - perhaps you do not have access to a directory"},
    {-56, "no such drive"},
    {-57, "Not a macintosh disk"},
    {-60, "bad master directory block"},
    {-61, "Write permissions error - perhaps you do not have enough access to a directory"},
    {-108, "Out of memory (memory is full)"},
    {-120, "directory not found"},
    {-5000, "You have insufficient privileges for this operation"},
    {0, nullptr}};

}  // namespace

std::string error_str(int code) {
  if (code == 0) return std::string();
  for (const error_row* r = k_errors; r->text; ++r)
    if (r->code == code) return r->text;
  char buf[32];
  snprintf(buf, sizeof buf, "Error code %d", code);
  return buf;
}
