// The Windows-1251 codec over arbitrary bytes, read both ways.
//
// As Windows-1251: every byte string becomes well-formed UTF-8 and survives
// the trip back, because the printer's raw fields and image names are
// written back to the FJL file byte for byte.
//
// As UTF-8: the conversion never grows the text (each output byte stands for
// at least one input byte), and a text that is well-formed, free of '?' and
// wholly inside the code page comes back unchanged through Windows-1251. A
// '?' in the output marks exactly the sequences that were malformed or
// outside the code page, so when the input had no '?' and the output has
// none, nothing may have been lost.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/cp1251.h"
#include "valid_utf8.h"

namespace {

using namespace fjl::text;

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const std::string utf8 = Cp1251ToUtf8(input);
  Require(utf8.size() >= input.size() && utf8.size() <= 3 * input.size());
  Require(fjl::fuzzing::IsValidUtf8(utf8));
  Require(Utf8ToCp1251(utf8) == input);

  const std::string bytes = Utf8ToCp1251(input);
  Require(bytes.size() <= input.size());
  // What one conversion produced is plain Windows-1251: it goes round unchanged.
  Require(Utf8ToCp1251(Cp1251ToUtf8(bytes)) == bytes);
  const bool input_has_question = input.find('?') != std::string_view::npos;
  const bool output_has_question = bytes.find('?') != std::string::npos;
  if (!input_has_question && !output_has_question) Require(Cp1251ToUtf8(bytes) == input);
  // ASCII passes through untouched.
  bool ascii = true;
  for (unsigned char c : input) ascii = ascii && c < 0x80;
  if (ascii) Require(bytes == input && utf8 == input);
  return 0;
}
