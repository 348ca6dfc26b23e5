#include "app/qt/port_lists.h"

#include <QComboBox>
#include <string>

#include "link/port_listing.h"

namespace fjl::app {

const QStringList& SpeedItems() {
  static const QStringList items{"110",  "300",   "600",   "1200",  "2400",  "4800",
                                 "9600", "19200", "38400", "57600", "115200"};
  return items;
}

void RefillPortList(QComboBox& list) {
  list.clear();
  for (const std::string& name : link::ListPorts()) list.addItem(QString::fromStdString(name));
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
