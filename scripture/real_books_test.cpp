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

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::u16string FirstWord(const std::u16string& s) {
  return s.substr(0, s.find(u' '));
}
std::u16string LastWord(const std::u16string& s) {
  return s.substr(s.rfind(u' ') + 1);
}

// Floors about 2% under the measured figures of the pinned texts (printed by the test), so a
// change of the reader, the splitter or the conversion that loses passages fails here.
struct Floor {
  double chapterShare;  // chapters with at least one passage / chapters of the table
  std::size_t passages;
};
constexpr Floor kFloors[] = {
    {0.995, 25600}, {0.995, 23900}, {0.995, 23800}, {0.97, 15000}, {0.995, 23500}};

TEST(RealBooksTest, EveryServedBookReadsAndYieldsPassagesWhoseReferencesHoldThem) {
  if (!std::filesystem::exists(kContent / "report.txt")) {
    GTEST_SKIP() << "The Bible server content is not built in " << kContent
                 << "; building the project makes it.";
  }
  std::size_t sampled = 0;
  for (std::size_t t = 0; t < TranslationTable.size(); ++t) {
    std::map<std::u16string, std::int32_t> chaptersOf;  // book path -> chapters in the table
    std::size_t chapters = 0;
    for (const ChapterEntry& row : ChapterTable) {
      if (row.translationIndex != static_cast<std::int32_t>(t)) continue;
      chaptersOf[row.path] = row.chapter;
      ++chapters;
    }
    std::size_t passageCount = 0;
    std::size_t chaptersWithPassage = 0;
    for (const auto& [path, chapterCount] : chaptersOf) {
      SCOPED_TRACE(Narrow(path));
      std::u16string text;
      ASSERT_TRUE(DecodeUtf8(ReadFile(kContent / Narrow(path).substr(1)), text));
      BookCursor cursor{text};
      std::vector<BibleVerse> verses;
      ASSERT_NO_THROW(ReadBibleBook(cursor, verses));
      std::map<std::pair<std::int32_t, std::int32_t>, const std::u16string*> verseAt;
      for (const BibleVerse& v : verses)
        verseAt[{v.chapter, v.verse}] = &v.text;
      // Cut as a request cuts: over the text joined in place.
      std::vector<VerseSpan> spans;
      text.resize(JoinBibleBookInPlace(text, spans));
      const std::vector<PassageRange> passages = FindPassages(text, spans);
      passageCount += passages.size();
      std::set<std::int32_t> withPassage;
      for (std::size_t i = 0; i < passages.size(); ++i) {
        const PassageRange& p = passages[i];
        if (p.chapter >= 1 && p.chapter <= chapterCount) withPassage.insert(p.chapter);
        if (i % 41 != 0) continue;
        ++sampled;
        const std::u16string passage = text.substr(p.start, p.end - p.start);
        const auto first = verseAt.find({p.chapter, p.firstVerse});
        const auto last = verseAt.find({p.chapter, p.lastVerse});
        ASSERT_NE(first, verseAt.end()) << p.chapter << ":" << p.firstVerse;
        ASSERT_NE(last, verseAt.end()) << p.chapter << ":" << p.lastVerse;
        EXPECT_NE(first->second->find(FirstWord(passage)), std::u16string::npos)
            << Narrow(FirstWord(passage)) << " not in " << p.chapter << ":" << p.firstVerse;
        EXPECT_NE(last->second->find(LastWord(passage)), std::u16string::npos)
            << Narrow(LastWord(passage)) << " not in " << p.chapter << ":" << p.lastVerse;
      }
      chaptersWithPassage += withPassage.size();
    }
    const double share = static_cast<double>(chaptersWithPassage) / chapters;
    std::printf("%s: %zu books, %zu of %zu chapters (%.2f%%) with a passage, %zu passages\n",
                Narrow(TranslationTable[t].code).c_str(), chaptersOf.size(), chaptersWithPassage,
                chapters, 100 * share, passageCount);
    EXPECT_EQ(chaptersOf.size(), 66u);
    EXPECT_GE(share, kFloors[t].chapterShare) << Narrow(TranslationTable[t].code);
    EXPECT_GE(passageCount, kFloors[t].passages) << Narrow(TranslationTable[t].code);
  }
  std::printf("%zu passages checked against their references\n", sampled);
  EXPECT_GT(sampled, 2000u);
}

}  // namespace
}  // namespace companion
