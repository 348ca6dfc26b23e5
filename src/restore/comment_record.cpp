// A comment printed on a fiscal receipt; its text lives in the auxiliary image.
#include <optional>

#include "restore/record_decoders.h"
#include "tape/aux_records.h"
#include "text/cp1251.h"

namespace fjl::restore {

template <>
Verdict DecodeRecord<tape::TapeRecordType::FiscalComment>(RestoreRun& run, const TapeRecord& record) {
  // A reference that finds no whole comment record inside the image shows an empty comment.
  const std::optional<tape::CommentRecord> comment = tape::CommentAt(run.Aux(), U32(record, 1));
  run.Line("Печать комментария");
  run.AddRecordLine(record);
  std::string text = comment ? text::Cp1251ToUtf8(StoredText(comment->Text, kMaxCommentText)) : std::string();
  run.Line("     " + text);
  if (RecordObserver* observer = run.Observer()) {
    observer->OnRecord(CommentPrinted{record.position, U32(record, 1), comment.has_value(), std::move(text)});
  }
  return Verdict::GoOn;
}

}  // namespace fjl::restore
