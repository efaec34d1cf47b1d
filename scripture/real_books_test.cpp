// Whole public-domain books as the Bible server serves them (server/bible/v1), read and cut as a
// request does.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
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

std::filesystem::path ContentFolder() {
  return std::filesystem::path(__FILE__).parent_path().parent_path() / "server" / "bible" / "v1";
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::u16string Wide(const std::string& ascii) {
  return {ascii.begin(), ascii.end()};
}

TEST(RealBooksTest, EveryBookReadsAndYieldsPassages) {
  std::cout << "passages per book:";
  for (const TranslationInfo& t : TranslationTable) {
    const std::string code(t.code, t.code + std::u16string_view(t.code).size());
    std::cout << "\n  " << code << ":";
    for (const char* book : kBooks) {
      const std::string bytes = ReadFile(ContentFolder() / code / (std::string(book) + ".json"));
      ASSERT_FALSE(bytes.empty()) << code << " " << book;
      std::u16string text;
      ASSERT_TRUE(DecodeUtf8(bytes, text)) << code << " " << book;
      BookCursor cursor{text};
      std::vector<BibleVerse> verses;
      ASSERT_NO_THROW(ReadBibleBook(cursor, verses)) << code << " " << book;
      const std::vector<Passage> passages = SplitIntoPassages(verses);
      EXPECT_FALSE(passages.empty()) << code << " " << book;
      for (const Passage& p : passages) {
        ASSERT_GE(p.text.size(), kMinPassageLength);
        ASSERT_LE(p.text.size(), kMaxPassageLength);
        ASSERT_LE(p.firstVerse, p.lastVerse);
      }
      std::cout << " " << book << " " << passages.size();
    }
  }
  std::cout << std::endl;
}

TEST(RealBooksTest, RequestsChooseFromTheDownloadedBook) {
  ClearNativeBibleBooks();
  for (const char* book : kBooks) {
    SetNativeBibleBook(u"/bible/v1/kjv/" + Wide(book) + u".json",
                       ReadFile(ContentFolder() / "kjv" / (std::string(book) + ".json")));
  }
  int served = 0;
  for (std::uint32_t seed = 0; served < 20 && seed < 2000; ++seed) {
    std::mt19937 generator(seed);
    const ChapterEntry& row = PickWeightedChapter(1, generator);
    const OnlineVerse v = FetchOnlineVerse(1, seed, u"");
    const bool bookServed = std::any_of(std::begin(kBooks), std::end(kBooks), [&](const char* b) {
      return row.path == u"/bible/v1/kjv/" + Wide(b) + u".json";
    });
    if (!bookServed) {
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
