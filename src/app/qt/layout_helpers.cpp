#include "app/qt/layout_helpers.h"

#include <QGridLayout>
#include <QLabel>

namespace fjl::app {

QString ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QLabel* AddLabelledRow(QGridLayout& grid, int row, int column, std::string_view label,
                       QWidget* box) {
  auto* caption = new QLabel(ToQString(label));
  caption->setBuddy(box);
  grid.addWidget(caption, row, column, Qt::AlignLeft | Qt::AlignVCenter);
  grid.addWidget(box, row, column + 1, Qt::AlignLeft | Qt::AlignVCenter);
  return caption;
}

}  // namespace fjl::app
