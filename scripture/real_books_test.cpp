// Every book the Bible server serves (the content the build makes from the real texts), read
// and cut as a request does.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "scripture/book_reader.h"
#include "scripture/catalogue.h"
#include "scripture/passage.h"
#include "scripture/utf8.h"

namespace companion {
namespace {

const std::filesystem::path kContent = SCROLLWICK_CONTENT_DIR;

std::string Narrow(std::u16string_view ascii) {
  return {ascii.begin(), ascii.end()};
}

// Floors 2% under the pinned texts' figures (printed): share of chapters with a passage, passages.
constexpr std::pair<double, std::size_t> kFloors[] = {
    {0.995, 25600}, {0.995, 23900}, {0.995, 23800}, {0.97, 15000}, {0.995, 23500}};

TEST(RealBooksTest, EveryServedBookReadsAndYieldsPassagesWhoseReferencesHoldThem) {
  if (!std::filesystem::exists(kContent / "report.txt"))
    GTEST_SKIP() << "No Bible server content in " << kContent << ": building the project makes it";
  for (std::size_t t = 0; t < TranslationTable.size(); ++t) {
    const std::string code = Narrow(TranslationTable[t].code);
    std::map<std::u16string, std::set<std::int32_t>> unseen;  // book -> chapters without a passage
    std::size_t chapters = 0, passageCount = 0, chaptersWithPassage = 0;
    for (const ChapterEntry& row : ChapterTable)
      if (row.translationIndex == static_cast<std::int32_t>(t))
        chapters += unseen[row.path].insert(row.chapter).second;
    for (auto& [path, chaptersLeft] : unseen) {
      SCOPED_TRACE(Narrow(path));
      std::ifstream in(kContent / Narrow(path).substr(1), std::ios::binary);
      std::u16string text;
      ASSERT_TRUE(DecodeUtf8(std::string(std::istreambuf_iterator<char>(in), {}), text));
      BookCursor cursor{text};
      std::vector<BibleVerse> verses;
      ASSERT_NO_THROW(ReadBibleBook(cursor, verses));
      std::map<std::int32_t, std::u16string> verseAt;  // by chapter * 1000 + verse
      for (const BibleVerse& v : verses)
        verseAt[v.chapter * 1000 + v.verse] = v.text;
      std::vector<VerseSpan> spans;
      text.resize(
          JoinBibleBookInPlace(text, spans));  // cut as a request cuts, over the joined text
      const std::vector<PassageRange> passages = FindPassages(text, spans);
      passageCount += passages.size();
      for (std::size_t i = 0; i < passages.size(); ++i) {
        const PassageRange& p = passages[i];
        chaptersWithPassage += chaptersLeft.erase(p.chapter);
        if (i % 41) continue;
        // Every 41st passage: its first and last words in its verses (a verse missing is empty).
        const std::u16string passage = text.substr(p.start, p.end - p.start);
        const std::u16string first = passage.substr(0, passage.find(u' ')),
                             last = passage.substr(passage.rfind(u' ') + 1);
        EXPECT_TRUE(verseAt[p.chapter * 1000 + p.firstVerse].find(first) != std::u16string::npos &&
                    verseAt[p.chapter * 1000 + p.lastVerse].find(last) != std::u16string::npos)
            << p.chapter << ":" << p.firstVerse << "-" << p.lastVerse;
      }
    }
    std::printf("%s: %zu of %zu chapters with a passage, %zu passages\n", code.c_str(),
                chaptersWithPassage, chapters, passageCount);
    EXPECT_GE(double(chaptersWithPassage), kFloors[t].first * double(chapters)) << code;
    EXPECT_GE(passageCount, kFloors[t].second) << code;
  }
}

}  // namespace
}  // namespace companion
