#include "app/qt/tape_text_box.h"

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

namespace {

// The characters QTextCursor::insertText turns into a new block.
bool BreaksLine(QChar c) {
  return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar(char16_t{0xFDD0}) ||
         c == QChar(char16_t{0xFDD1});
}

QString OneLine(std::string_view line) {
  QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  for (QChar& c : text) {
    if (BreaksLine(c)) c = u' ';
  }
  return text;
}

}  // namespace

void TapeTextBox::AppendLine(std::string_view line) {
  // appendPlainText() would fill an empty first line instead of adding one.
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertBlock();
  cursor.insertText(OneLine(line));
}

void TapeTextBox::AppendLines(std::span<const std::string> lines) {
  if (lines.empty()) return;
  QString text;
  for (const std::string& line : lines) {
    text += u'\n';
    text += OneLine(line);
  }
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  // Every "\n" starts a new block: the lines go below the last one.
  cursor.insertText(text);
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
