#pragma once
// "Читать вспом. параметры": download the auxiliary flash area into the
// AuxImage and count its records by kind in the step 2 counter boxes.

#include <cstdint>
#include <string>
#include <string_view>

#include "tape/download_view.h"
#include "tape/flash_image.h"

namespace fjl::tape {

// Reads the auxiliary window from its first address into `image` from index
// 0. The counter boxes (kAuxCounterBoxes order) restart at "0". Every
// outcome has shown its message through context.Messages (a counter fault
// through ShowError). `password` is the step 1 password as Windows-1251 bytes.
// `already_stored`: the first bytes of the image hold an interrupted
// download's data; they are walked and counted, and the download goes on
// after them.
DownloadOutcome AuxDownload(std::string_view password, AuxImage& image,
                             const DownloadContext& context, std::int64_t already_stored = 0);

// "Запись нулевой длины по адресу 0x5EE60. Чтение данных остановлено."
std::string ZeroLengthRecordMessage(std::int64_t address);

}  // namespace fjl::tape
