#pragma once
// "Читать эл. контр. ленту": download the control tape into TapeData and
// count its records by type in the step 1 counter boxes.

#include <cstdint>
#include <string>
#include <string_view>

#include "tape/download_view.h"
#include "tape/flash_image.h"

namespace fjl::tape {

// Reads the tape window from its first address into tape.Image from index 0.
// The counter boxes (kTapeCounterBoxes order) restart at "0". tape.TapeLength
// changes only when the end marker is met. Every outcome has shown its
// message through context.Messages (a counter fault through ShowError).
// `password` is the password box's text as Windows-1251 bytes.
// `already_stored`: the first bytes of the image hold an interrupted
// download's data; they are walked and counted, and the download goes on
// after them.
DownloadOutcome TapeDownload(std::string_view password, TapeData& tape,
                             const DownloadContext& context, std::int64_t already_stored = 0);

// "Неизвестный тип записи 13 по адресу 0x10005BC4. Чтение данных остановлено."
// A tape image read earlier (a dump), `stored` bytes of it: TapeLength and
// EndMarkerFound as the download that stored them left them.
void FrameStoredTape(TapeData& tape, std::int64_t stored);

std::string UnknownRecordTypeMessage(std::uint8_t type, std::int64_t address);

}  // namespace fjl::tape
