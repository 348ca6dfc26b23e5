#pragma once
// Filling and resetting the port and speed lists of step 1.

#include <QStringList>

class QComboBox;

namespace fjl::app {

// "110" .. "115200"; the seventh, "9600", is the default.
const QStringList& SpeedItems();
inline constexpr int kDefaultSpeedIndex = 6;

// Empties `list` and refills it from port discovery, first entry selected.
void RefillPortList(QComboBox& list);
// Puts the fixed speeds into `list` if they are not there, selects "9600".
void ResetSpeedList(QComboBox& list);

}  // namespace fjl::app
