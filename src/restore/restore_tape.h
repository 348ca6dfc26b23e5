#pragma once
// The restoration of the control tape as text: the header read from the
// printer, every record of the tape image, the footer.

#include "restore/line_sink.h"
#include "restore/restoration_state.h"
#include "restore/restore_run.h"
#include "restore/restore_view.h"
#include "user/message_sink.h"

namespace fjl::restore {

enum class RestoreOutcome {
  Completed,  // footer written, restore disabled, RestoreFinished set
  Stopped,    // a message was shown; the lines so far stay, no footer
  Cancelled,  // the stop signal ended it between records: the lines so far stay, no footer, no message
};

// One run. Appends to `text` (never clears it) and updates `state`. A
// completed run disables the restore button through `view`; a stopped one
// leaves it as it was, so the user can try again.
//
// A record type without a length (13, 21 to 254) inside the tape, or a record
// that runs past the end of the image, stops the run with a message naming
// the type and its position: nothing after it can be framed.
RestoreOutcome RestoreTape(const RestoreInputs& inputs, RestorationState& state, LineSink& text, RestoreView& view,
                           MessageSink& messages);

}  // namespace fjl::restore
