#include "files/file_inside.h"
#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include "files/file_ops.h"
#include "files/file_paths.h"

namespace {

const int k_max_links = 40;  // as the system allows in one lookup

// Pushes the components of text onto the walk's stack, last first, so the
// first is taken next.
void push_components(const std::string& text, std::vector<std::string>& stack) {
  size_t end = text.size();
  for (;;) {
    const size_t slash = end == 0 ? std::string::npos : text.rfind('/', end - 1);
    const size_t begin = slash == std::string::npos ? 0 : slash + 1;
    if (end > begin) stack.push_back(text.substr(begin, end - begin));
    if (slash == std::string::npos) return;
    end = slash;
  }
}

std::string real_path(const std::string& path, int& err) {
  char* r = realpath(path.c_str(), nullptr);
  if (!r) {
    err = errno;
    return std::string();
  }
  std::string out = r;
  free(r);
  return out;
}

std::string parent_of(const std::string& at) {
  const size_t slash = at.rfind('/');
  return slash == 0 || slash == std::string::npos ? std::string("/") : at.substr(0, slash);
}

std::string child_of(const std::string& at, const std::string& name) {
  return at == "/" ? "/" + name : at + "/" + name;
}

// The walk of the rule: stack holds the components still to take, the next
// one last. follow_last: a link as the very last component is walked too.
int walk(const std::string& real_root, std::vector<std::string>& stack, bool follow_last) {
  std::string at = real_root, floor = real_root;
  bool by_text = false;  // a missing component was passed: the rest is text
  int links = 0;
  while (!stack.empty()) {
    const std::string c = stack.back();
    stack.pop_back();
    if (c == ".") continue;
    if (c == "..") {
      if (at == floor) return EINVAL;
      at = parent_of(at);
      continue;
    }
    const std::string next = child_of(at, c);
    if (by_text || (stack.empty() && !follow_last)) {
      at = next;
      continue;
    }
    struct stat st;
    if (lstat(next.c_str(), &st) != 0) {
      if (errno != ENOENT && errno != ENOTDIR) return errno;
      by_text = true;
      at = next;
      continue;
    }
    if (S_ISLNK(st.st_mode)) {
      if (++links > k_max_links) return ELOOP;
      std::string target;
      int err = read_link_text(next, target);
      if (err) return err;
      if (target.empty()) {
        by_text = true;
        at = next;
      } else if (target[0] == '/') {
        // The user's link: its folder is part of the installation.
        const std::string real = real_path(next, err);
        if (real.empty()) {
          if (err != ENOENT && err != ENOTDIR) return err;
          by_text = true;
          at = next;
        } else {
          at = floor = real;
        }
      } else {
        push_components(target, stack);
      }
      continue;
    }
    // Through a file nothing is reached; the system stops there too.
    if (!S_ISDIR(st.st_mode)) by_text = true;
    at = next;
  }
  return 0;
}

// The components of path below root onto stack; false when path does not
// lie below root by its text.
bool below_root(const std::string& root, const std::string& path, std::vector<std::string>& stack) {
  if (path.compare(0, root.size(), root) != 0) return false;
  if (path.size() > root.size() && path[root.size()] != '/' && root.back() != '/') return false;
  push_components(path.substr(root.size()), stack);
  return true;
}

// root made full, repaired like the paths the callers pass, and without its
// trailing '/'; its real path in real.
int prepare_root(const std::string& root_in, std::string& root, std::string& real) {
  root = root_in;
  set_path_to_full(root);
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  int err = 0;
  real = real_path(root, err);
  return real.empty() ? err : 0;
}

}  // namespace

int inside_check(const std::string& root_in, const std::string& path, int use) {
  std::string root, real;
  if (int err = prepare_root(root_in, root, real)) return err;
  std::vector<std::string> stack;
  if (!below_root(root, path, stack)) return EINVAL;
  return walk(real, stack, use == inside_through);
}

int inside_check_link(const std::string& root_in, const std::string& link, const std::string& target) {
  if (target.empty() || target[0] == '/') return EINVAL;
  std::string root, real;
  if (int err = prepare_root(root_in, root, real)) return err;
  std::vector<std::string> stack;
  push_components(target, stack);
  // Below the target: the folder the link stands in, taken first.
  std::string folder;
  get_path_with_path(folder, link);
  std::vector<std::string> head;
  if (!below_root(root, folder, head)) return EINVAL;
  if (link.size() <= root.size() + 1) return EINVAL;  // the link would be root itself
  stack.insert(stack.end(), head.begin(), head.end());
  return walk(real, stack, true);
}
