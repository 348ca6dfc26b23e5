#include "app/qt/download_views.h"

#include <stdexcept>

#include "app/qt/layout_helpers.h"

namespace fjl::app {

CounterBoxesView::CounterBoxesView(std::span<const tape::CounterBox> boxes,
                                   const std::function<QLineEdit*(int kind)>& box_for_kind) {
  boxes_.reserve(boxes.size());
  for (const tape::CounterBox& box : boxes) {
    QLineEdit* edit = box_for_kind(box.kind);
    if (edit == nullptr) {
      throw std::logic_error("no counter box for \"" + std::string(box.label) + "\"");
    }
    boxes_.emplace_back(edit);
  }
}

QLineEdit* CounterBoxesView::Box(std::size_t box) const {
  return box < boxes_.size() ? boxes_[box].data() : nullptr;
}

std::string CounterBoxesView::CounterText(std::size_t box) const {
  const QLineEdit* edit = Box(box);
  return edit != nullptr ? edit->text().toStdString() : std::string();
}

void CounterBoxesView::SetCounterText(std::size_t box, std::string_view text) {
  QLineEdit* edit = Box(box);
  if (edit == nullptr) return;
  edit->setText(ToQString(text));
  edit->repaint();
}

}  // namespace fjl::app
