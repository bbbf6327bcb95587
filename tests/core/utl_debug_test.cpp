#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>
#include "core/utl_debug.h"
#include "platform/plat_bundle.h"
#include "support/test_env.h"

// A known call chain; each calls on and does more work after the call, so no
// frame is dropped by a tail call.
namespace crawl_chain {
__attribute__((noinline)) void leaf(FILE* f) {
  UTL_dump_stack(f, nullptr, nullptr);
  asm volatile("");
}
__attribute__((noinline)) void middle(FILE* f) {
  leaf(f);
  asm volatile("");
}
__attribute__((noinline)) void outer(FILE* f) {
  middle(f);
  asm volatile("");
}
__attribute__((noinline)) int start_of_function(int x) { return x * 3 + 1; }
}  // namespace crawl_chain

namespace {

// What fn writes to a file.
template <class Fn>
std::string capture(Fn fn) {
  FILE* f = tmpfile();
  fn(f);
  std::string s;
  rewind(f);
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof(buf), f)) > 0) s.append(buf, n);
  fclose(f);
  return s;
}

std::vector<std::string> lines_of(const std::string& s) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < s.size()) {
    size_t nl = s.find('\n', at);
    out.push_back(s.substr(at, nl - at));
    at = nl == std::string::npos ? s.size() : nl + 1;
  }
  return out;
}

TEST(StackCrawl, NamesOurFunctionsAsAddr2lineDoes) {
  const std::vector<std::string> lines = lines_of(capture(crawl_chain::outer));
  ASSERT_GE(lines.size(), 4u);
  const char* names[] = {"_ZN11crawl_chain4leafEP8_IO_FILE", "_ZN11crawl_chain6middleEP8_IO_FILE",
                         "_ZN11crawl_chain5outerEP8_IO_FILE"};
  const std::string exe = PLAT_executable_path();
  const std::string image = exe.substr(exe.rfind('/') + 1);
  for (int i = 0; i < 3; ++i) {
    const std::string& line = lines[i];
    char number[8];
    snprintf(number, sizeof(number), " % 2d) ", i);
    EXPECT_EQ(line.rfind(number, 0), 0u) << line;
    // "name + distance (file:line) (image + offset)"
    const size_t start = line.find(") ") + 2;
    const std::string name = line.substr(start, line.find(" + ") - start);
    EXPECT_EQ(name, names[i]) << line;
    EXPECT_NE(line.find("(utl_debug_test.cpp:"), std::string::npos) << line;
    const std::string tail = " (" + image + " + ";
    const size_t at = line.rfind(tail);
    ASSERT_NE(at, std::string::npos) << line;
    const unsigned long offset = strtoul(line.c_str() + at + tail.size(), nullptr, 10);
    char cmd[4200];
    snprintf(cmd, sizeof(cmd), "timeout 60 addr2line -f -e '%s' 0x%lx", exe.c_str(), offset);
    const std::string answer = test_capture(cmd);
    EXPECT_EQ(answer.substr(0, answer.find('\n')), names[i]) << line;
  }
  // The chain goes on into the test that called it.
  bool found_test = false;
  for (size_t i = 3; i < lines.size() && i < 6; ++i)
    found_test = found_test || lines[i].find("NamesOurFunctionsAsAddr2lineDoes") != std::string::npos;
  EXPECT_TRUE(found_test);
}

TEST(StackCrawl, FaultAddressComesFirst) {
  void* frames[2] = {nullptr, nullptr};  // a record whose next frame is null: nothing to walk
  const std::string text =
      capture([&](FILE* f) { UTL_dump_stack(f, frames, (void*)&crawl_chain::start_of_function); });
  const std::vector<std::string> lines = lines_of(text);
  ASSERT_EQ(lines.size(), 1u) << text;
  EXPECT_EQ(lines[0].rfind("  0) _ZN11crawl_chain17start_of_functionEi + 0 (utl_debug_test.cpp:", 0), 0u) << text;
}

// A chain of frame records laid out in order in one block of memory.
std::string walk(std::vector<stack_frame>& frames, void* code_addr = nullptr) {
  return capture([&](FILE* f) { UTL_dump_stack(f, frames.data(), code_addr); });
}

TEST(StackCrawl, WalkLimitsAndEnds) {
  void* ret = (void*)&crawl_chain::start_of_function;
  std::vector<stack_frame> frames(151);
  for (size_t i = 0; i < frames.size(); ++i) {
    frames[i].next_frame = i + 1 < frames.size() ? &frames[i + 1] : nullptr;
    frames[i].return_addr = ret;
  }
  std::vector<std::string> lines = lines_of(walk(frames));
  ASSERT_EQ(lines.size(), 100u);  // at most 100 lines
  EXPECT_EQ(lines[0].rfind("  0) ", 0), 0u);
  EXPECT_EQ(lines[99].rfind("  99) ", 0), 0u);

  lines = lines_of(walk(frames, ret));
  ASSERT_EQ(lines.size(), 100u);  // the fault address counts as line 0
  EXPECT_EQ(lines[1].rfind("  1) ", 0), 0u);

  frames[5].next_frame = nullptr;  // the outermost frame
  EXPECT_EQ(lines_of(walk(frames)).size(), 5u);
  frames[5].next_frame = &frames[2];  // a chain that does not climb
  EXPECT_EQ(lines_of(walk(frames)).size(), 5u);
}

TEST(StackCrawl, UnmappedFrameStopsTheWalk) {
  const long page = sysconf(_SC_PAGESIZE);
  char* mem = (char*)mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(mem, MAP_FAILED);
  ASSERT_EQ(munmap(mem + page, page), 0);
  stack_frame* f0 = (stack_frame*)(mem + page - 2 * sizeof(stack_frame));
  f0[0].next_frame = &f0[1];
  f0[0].return_addr = (void*)&crawl_chain::start_of_function;
  f0[1].next_frame = (stack_frame*)(mem + page + 64);  // into the unmapped page
  f0[1].return_addr = (void*)&crawl_chain::start_of_function;
  const std::string s = capture([&](FILE* f) { UTL_dump_stack(f, f0, nullptr); });
  munmap(mem, page);
  EXPECT_EQ(lines_of(s).size(), 2u) << s;
}

TEST(DebugSymbols, UnknownAddressAndTheRecord) {
  EXPECT_EQ(capture([](FILE* f) { print_symbol(f, (void*)0x10); }), "0x0000000000000010 (?" "?" "?)\n");

  symbol_info info;
  UTL_get_debug_symbol((void*)0x10, &info);
  EXPECT_EQ(info.image_path[0], 0);
  EXPECT_EQ(info.image_base, nullptr);
  EXPECT_EQ(info.source_line, -1);

  void* fn = (void*)&crawl_chain::start_of_function;
  UTL_get_debug_symbol((char*)fn + 1, &info);
  EXPECT_STREQ(info.symbol_name, "_ZN11crawl_chain17start_of_functionEi");
  EXPECT_EQ(info.symbol_addr, fn);
  EXPECT_NE(std::string(info.source_file).find("utl_debug_test.cpp"), std::string::npos);
  EXPECT_GT(info.source_line, 0);
  EXPECT_EQ(std::string(info.image_path), PLAT_executable_path());

  // A function of a shared library, found through the dynamic symbols.
  UTL_get_debug_symbol((void*)&getpid, &info);
  EXPECT_NE(std::string(info.image_path).find("libc.so"), std::string::npos);
  EXPECT_STRNE(info.symbol_name, "");
}

TEST(DebugAids, HexDumpLayout) {
  unsigned char data[20];
  for (int i = 0; i < 20; ++i) data[i] = (unsigned char)(i < 16 ? 'A' + i : i);
  data[3] = 0x7F;
  const std::string want = " 4142437F 45464748 494A4B4C 4D4E4F50     ABC. EFGH IJKL MNOP\n"
                           " 10111213" + std::string(27 + 5, ' ') + "...." + std::string(15, ' ') + "\n";
  EXPECT_EQ(capture([&](FILE* f) { dump_hex(f, data, 20); }), want);
}

TEST(DebugAids, ValidMemory) {
  const long page = sysconf(_SC_PAGESIZE);
  char* mem = (char*)mmap(nullptr, 3 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(mem, MAP_FAILED);
  ASSERT_EQ(mprotect(mem + page, page, PROT_READ), 0);
  ASSERT_EQ(munmap(mem + 2 * page, page), 0);
  EXPECT_EQ(UTL_valid_memory(mem, 0, 1, 1), 1);
  EXPECT_EQ(UTL_valid_memory(mem, (uint32_t)page, 1, 1), 1);
  EXPECT_EQ(UTL_valid_memory(mem, (uint32_t)(2 * page), 1, 0), 1);   // across two regions
  EXPECT_EQ(UTL_valid_memory(mem, (uint32_t)(2 * page), 1, 1), 0);   // the second is read-only
  EXPECT_EQ(UTL_valid_memory(mem + page, (uint32_t)(2 * page), 1, 0), 0);  // into the hole
  EXPECT_EQ(UTL_valid_memory(mem + 2 * page, 8, 0, 0), 0);
  munmap(mem, 2 * page);
  int local = 0;
  EXPECT_EQ(UTL_valid_memory(&local, sizeof(local), 1, 1), 1);
}

TEST(DebugAids, BrokenPipeIsIgnored) {
  UTL_debug_init();
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);
  EXPECT_EQ(write(fds[1], "x", 1), -1);  // an error instead of the end of the process
  EXPECT_EQ(errno, EPIPE);
  close(fds[1]);
  signal(SIGPIPE, SIG_DFL);
}

}  // namespace
