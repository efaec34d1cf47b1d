// Cuts arbitrary UTF-8 text into passages: each line is a verse, and a line starting with "#"
// begins a new chapter. Every passage keeps the length limits, lies in one chapter and ends with
// a period, perhaps followed by closing marks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "scripture/passage.h"
#include "scripture/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace companion;
  std::u16string text;
  if (!DecodeUtf8(std::string_view(reinterpret_cast<const char*>(data), size), text)) return 0;
  std::vector<BibleVerse> verses;
  std::int32_t chapter = 1;
  std::int32_t verse = 1;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    const std::u16string line = text.substr(start, end - start);
    if (!line.empty() && line.front() == u'#') {
      ++chapter;
      verse = 1;
    } else {
      verses.push_back({chapter, verse++, line});
    }
    start = end + 1;
  }
  for (const Passage& p : SplitIntoPassages(verses)) {
    if (p.text.size() < kMinPassageLength || p.text.size() > kMaxPassageLength) std::abort();
    if (p.firstVerse > p.lastVerse || p.chapter < 1 || p.chapter > chapter) std::abort();
    const std::size_t last = p.text.find_last_not_of(u"\"')]\u2019\u201D");
    if (last == std::u16string::npos || p.text[last] != u'.') std::abort();
  }
  return 0;
}
