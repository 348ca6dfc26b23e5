#include "tape/aux_records.h"

namespace fjl::tape {
namespace {

constexpr std::int64_t kItemFixedLength = 16;    // 14 bytes before the name, 2 after
constexpr std::int64_t kCommentFixedLength = 7;  // 5 bytes before the text, 2 after

// Start and length of the record whose payload is at `payload_index`, when
// the whole record lies inside the image and is at least `minimum` long.
struct RecordSpan {
  std::size_t start;
  std::size_t length;
};

std::optional<RecordSpan> RecordAt(const AuxImage& image, std::int64_t payload_index,
                                   std::int64_t minimum) {
  if (payload_index < kAuxPayloadOffset) return std::nullopt;
  const std::int64_t start = payload_index - kAuxPayloadOffset;
  if (!image.Contains(start, 1)) return std::nullopt;
  const std::int64_t length = image.At(start);
  if (length < minimum || !image.Contains(start, length)) return std::nullopt;
  return RecordSpan{static_cast<std::size_t>(start), static_cast<std::size_t>(length)};
}

std::string BytesText(const AuxImage& image, std::size_t first, std::size_t count) {
  const auto bytes = image.Bytes().subspan(first, count);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

std::optional<ItemParameters> ItemAt(const AuxImage& image, std::int64_t payload_index) {
  const auto record = RecordAt(image, payload_index, kItemFixedLength);
  if (!record) return std::nullopt;
  const std::size_t s = record->start;
  ItemParameters item;
  item.Kind = image[s + 1];
  for (std::size_t i = 0; i < 6; ++i) item.Code |= std::uint64_t{image[s + 5 + i]} << (8 * i);
  item.TaxGroup = image[s + 11];
  item.Department = image[s + 12];
  item.Name = BytesText(image, s + 14, record->length - kItemFixedLength);
  return item;
}

std::optional<CommentRecord> CommentAt(const AuxImage& image, std::int64_t payload_index) {
  const auto record = RecordAt(image, payload_index, kCommentFixedLength);
  if (!record) return std::nullopt;
  CommentRecord comment;
  comment.Kind = image[record->start + 1];
  comment.Text = BytesText(image, record->start + 5, record->length - kCommentFixedLength);
  return comment;
}

}  // namespace fjl::tape
