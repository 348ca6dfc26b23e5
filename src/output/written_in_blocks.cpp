#include "output/written_in_blocks.h"

namespace fjl::output {

platform::SystemResult WriteInBlocks(const std::function<void(const PartWriter&)>& produce, std::size_t block_bytes,
                                     const StopSignal* stop, const platform::SystemResult& stopped,
                                     const std::function<platform::SystemResult(std::string_view)>& write_block) {
  platform::SystemResult failed;
  produce([&](std::string_view part) {
    while (failed && !part.empty()) {
      if (StopRequested(stop)) {
        failed = stopped;
        break;
      }
      const std::string_view block = part.substr(0, block_bytes);
      failed = write_block(block);
      part.remove_prefix(block.size());
    }
  });
  return failed;
}

}  // namespace fjl::output
