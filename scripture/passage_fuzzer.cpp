// Cuts arbitrary UTF-8 text into passages: each line is a verse, and a line starting with "#"
// begins a new chapter. Every passage keeps the length limits, lies in one chapter and ends with
// a period, perhaps followed by closing marks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "scripture/passage.h"
#include "scripture/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace companion;
  std::u16string text;
  if (!DecodeUtf8(std::string_view(reinterpret_cast<const char*>(data), size), text)) return 0;
  // Joined as a book is: one space before each verse once the text is no longer empty.
  std::u16string joined;
  std::vector<VerseSpan> spans;
  std::int32_t chapter = 1;
  std::int32_t verse = 1;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    const std::u16string_view line = std::u16string_view(text).substr(start, end - start);
    if (!line.empty() && line.front() == u'#') {
      ++chapter;
      verse = 1;
    } else {
      if (!joined.empty()) joined.push_back(u' ');
      const std::size_t first = joined.size();
      joined += line;
      spans.push_back({first, joined.size(), chapter, verse++});
    }
    start = end + 1;
  }
  for (const PassageRange& p : FindPassages(joined, spans)) {
    const std::u16string_view passage =
        std::u16string_view(joined).substr(p.start, p.end - p.start);
    if (passage.size() < kMinPassageLength || passage.size() > kMaxPassageLength) std::abort();
    if (p.firstVerse > p.lastVerse || p.chapter < 1 || p.chapter > chapter) std::abort();
    const std::size_t last = passage.find_last_not_of(u"\"')]\u2019\u201D");
    if (last == std::u16string_view::npos || passage[last] != u'.') std::abort();
  }
  return 0;
}
