#pragma once
// Small pieces the step layouts share.

#include <string_view>

#include <QString>

class QGridLayout;
class QLabel;
class QWidget;

namespace fjl::app {

QString ToQString(std::string_view utf8);

// Puts a label and its box side by side in one row of `grid`, starting at
// `column`; the label is the box's buddy.
QLabel* AddLabelledRow(QGridLayout& grid, int row, int column, std::string_view label,
                       QWidget* box);

}  // namespace fjl::app
