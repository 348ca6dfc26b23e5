// Writes the full 200,004-byte tape and its auxiliary area as raw images
// (tape.img, aux.img in the folder given), for the simulator program's
// --tape and --aux: what scripts/resume-saving downloads.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "bench/full_tape_journal.h"

namespace {

bool Write(const std::filesystem::path& path, const fjl::sim::Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_full_tape FOLDER\n");
    return 2;
  }
  const fjl::bench::FullJournal journal = fjl::bench::MakeFullJournal();
  const std::filesystem::path folder = argv[1];
  if (!Write(folder / "tape.img", journal.tape) || !Write(folder / "aux.img", journal.aux)) {
    std::fprintf(stderr, "write_full_tape: cannot write into %s\n", argv[1]);
    return 1;
  }
  std::printf("tape.img %zu bytes, aux.img %zu bytes\n", journal.tape.size(), journal.aux.size());
  return 0;
}
