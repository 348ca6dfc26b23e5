#pragma once
// The step 3 presenter's restoration call, made on a shown window of either
// toolkit: the lines go to the window's text box in batches and the gauge
// moves as the run goes. What the display benchmarks time.

#include "full_tape_journal.h"
#include "restore/restore_tape.h"
#include "wizard/step3_presenter.h"

namespace fjl::bench {

struct ShownRestoration {
  restore::RestoreOutcome Outcome;
  std::size_t Lines;  // in the whole text, the box's first empty one too
};

inline ShownRestoration RestoreIntoWindow(wizard::Step3View& window, wizard::Toolkit& toolkit,
                                          const tape::TapeData& tape, const tape::AuxImage& aux,
                                          MessageSink& messages) {
  InstantPrinter printer;
  restore::LineSink text(window.TapeLines(), &window);
  wizard::RestoreWindowView view(window, toolkit);
  restore::RestorationState restoration;
  const restore::RestoreInputs inputs{printer, "482913", tape, aux, {}};
  const restore::RestoreOutcome outcome = restore::RestoreTape(inputs, restoration, text, view, messages);
  text.Flush();
  return {outcome, text.LineCount()};
}

}  // namespace fjl::bench
