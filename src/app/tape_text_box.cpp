#include "app/tape_text_box.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace fjl::app {

TapeTextBox::TapeTextBox(QWidget* parent) : QPlainTextEdit(parent) {
  QFont font(QStringLiteral("Courier"), 8);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  setFont(font);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setReadOnly(false);
}

void TapeTextBox::AppendLine(std::string_view line) {
  // appendPlainText() would fill an empty first line instead of adding one.
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertBlock();
  cursor.insertText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

int TapeTextBox::LineCount() const { return document()->blockCount(); }

std::string TapeTextBox::LineAt(int index) const {
  const QTextBlock block = document()->findBlockByNumber(index);
  return block.isValid() ? block.text().toStdString() : std::string();
}

std::vector<std::string> TapeTextBox::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(LineCount()));
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    lines.push_back(block.text().toStdString());
  }
  return lines;
}

}  // namespace fjl::app
