#pragma once
// What the three steps share besides one another.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "link/device_link.h"
#include "wizard/toolkit.h"

namespace fjl::wizard {

struct WizardServices {
  link::DeviceLink& device_link;
  Toolkit& ui;
  // The names the port list offers, asked afresh whenever step 1 is
  // activated while disconnected.
  std::function<std::vector<std::string>()> list_ports;
  // The user's folder of kept downloads; empty keeps nothing.
  std::filesystem::path kept_downloads = {};
  // Where the first save of a run opens (UTF-8); empty: the working directory.
  std::string documents_folder = {};
};

}  // namespace fjl::wizard
