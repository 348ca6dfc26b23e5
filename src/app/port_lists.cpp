#include "app/port_lists.h"

#include <QComboBox>
#include <string>

#include "link/port_control.h"

namespace fjl::app {

const QStringList& SpeedItems() {
  static const QStringList items{"110",  "300",   "600",   "1200",  "2400",  "4800",
                                 "9600", "19200", "38400", "57600", "115200"};
  return items;
}

void RefillPortList(QComboBox& list) {
  using link::TPortControl;
  list.clear();
  // Ended however the walk ends, so a failure cannot leave the class-wide
  // enumeration active and every later refill empty.
  struct EnumerationScope {
    EnumerationScope() { TPortControl::BeginEnumeratePorts(); }
    ~EnumerationScope() { TPortControl::EndEnumeratePorts(); }
    EnumerationScope(const EnumerationScope&) = delete;
    EnumerationScope& operator=(const EnumerationScope&) = delete;
  } scope;
  // A failed start leaves nothing to enumerate; the loop then ends at once.
  for (int taken = 0; taken < kMaxListedPorts; ++taken) {
    const std::string name = TPortControl::EnumeratePorts();
    if (name.empty()) {
      break;
    }
    list.addItem(QString::fromStdString(name));
  }
  list.setCurrentIndex(list.count() > 0 ? 0 : -1);
}

void ResetSpeedList(QComboBox& list) {
  const QStringList& items = SpeedItems();
  bool same = list.count() == items.size();
  for (int i = 0; same && i < items.size(); ++i) {
    same = list.itemText(i) == items[i];
  }
  if (!same) {
    list.clear();
    list.addItems(items);
  }
  list.setCurrentIndex(kDefaultSpeedIndex);
}

}  // namespace fjl::app
