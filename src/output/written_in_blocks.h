#pragma once
// The part of a save both systems share: a text made as it is written goes
// to the file in blocks, with a look at the stop request before each.

#include <cstddef>
#include <functional>
#include <string_view>

#include "output/save_text_file.h"
#include "platform/system_result.h"
#include "user/stop_signal.h"

namespace fjl::output {

// Runs `produce`, handing each part it gives to `write_block` in blocks of
// at most `block_bytes`. Before each block `stop` is polled; a stop answers
// `stopped`. After a failed block or a stop the rest is passed over
// unpolled and unwritten. Answers the first failure, or success.
platform::SystemResult WriteInBlocks(const std::function<void(const PartWriter&)>& produce, std::size_t block_bytes,
                                     const StopSignal* stop, const platform::SystemResult& stopped,
                                     const std::function<platform::SystemResult(std::string_view)>& write_block);

}  // namespace fjl::output
