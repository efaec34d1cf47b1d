// Whole public-domain books as the Bible server serves them (server/bible/v1), read and cut as a
// request does.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "scripture/book_reader.h"
#include "scripture/book_source_native.h"
#include "scripture/catalogue.h"
#include "scripture/passage.h"
#include "scripture/utf8.h"

namespace companion {
namespace {

const char* const kBooks[] = {"GEN", "PSA", "OBA", "JHN", "PHM", "JER"};

std::string ReadBook(std::u16string_view code, const std::string& book) {
  const auto path = std::filesystem::path(__FILE__).parent_path().parent_path() / "server" /
                    "bible" / "v1" / std::string(code.begin(), code.end()) / (book + ".json");
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RealBooksTest, EveryBookReadsAndYieldsPassages) {
  for (const TranslationInfo& t : TranslationTable) {
    for (const char* book : kBooks) {
      SCOPED_TRACE(std::string(book) + " " + std::to_string(&t - TranslationTable.data()));
      const std::string bytes = ReadBook(t.code, book);
      ASSERT_FALSE(bytes.empty());
      std::u16string text;
      ASSERT_TRUE(DecodeUtf8(bytes, text));
      BookCursor cursor{text};
      std::vector<BibleVerse> verses;
      ASSERT_NO_THROW(ReadBibleBook(cursor, verses));
      const std::vector<Passage> passages = SplitIntoPassages(verses);
      EXPECT_FALSE(passages.empty());
      for (const Passage& p : passages) {
        ASSERT_GE(p.text.size(), kMinPassageLength);
        ASSERT_LE(p.text.size(), kMaxPassageLength);
        ASSERT_LE(p.firstVerse, p.lastVerse);
      }
    }
  }
}

TEST(RealBooksTest, RequestsChooseFromTheDownloadedBook) {
  ClearNativeBibleBooks();
  std::vector<std::u16string> paths;
  for (const char* book : kBooks) {
    const std::string path = std::string("/bible/v1/kjv/") + book + ".json";
    paths.emplace_back(path.begin(), path.end());
    SetNativeBibleBook(paths.back(), ReadBook(u"kjv", book));
  }
  int served = 0;
  for (std::uint32_t seed = 0; served < 20 && seed < 2000; ++seed) {
    std::mt19937 generator(seed);
    const ChapterEntry& row = PickWeightedChapter(1, generator);
    const OnlineVerse v = FetchOnlineVerse(1, seed, u"");
    if (std::find(paths.begin(), paths.end(), row.path) == paths.end()) {
      EXPECT_FALSE(v.ok) << "no book was served for the chosen chapter";
      continue;
    }
    ++served;
    ASSERT_TRUE(v.ok) << seed;
    EXPECT_TRUE(v.reference.starts_with(std::u16string(row.bookName) + u" "));
    EXPECT_GE(v.text.size(), kMinPassageLength);
  }
  EXPECT_EQ(served, 20);
  ClearNativeBibleBooks();
}

}  // namespace
}  // namespace companion
