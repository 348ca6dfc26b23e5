#pragma once
// The record counter boxes of a step window, in the order the core numbers
// them.

#include <QLineEdit>
#include <QPointer>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tape/record_counters.h"

namespace fjl::app {

// Box i of the core's table is the window's box for that table entry's kind.
class CounterBoxesView : public tape::RecordCounterView {
 public:
  // `box_for_kind` gives the window's box of a record kind, or of
  // tape::kTotalKind for "Всего:".
  CounterBoxesView(std::span<const tape::CounterBox> boxes,
                   const std::function<QLineEdit*(int kind)>& box_for_kind);

  std::string CounterText(std::size_t box) const override;
  // Written and painted at once: the counts move while the download runs.
  void SetCounterText(std::size_t box, std::string_view text) override;

  QLineEdit* Box(std::size_t box) const;

 private:
  std::vector<QPointer<QLineEdit>> boxes_;
};

}  // namespace fjl::app
