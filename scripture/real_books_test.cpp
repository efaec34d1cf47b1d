// Whole books as the Bible server serves them (server/bible/v1), read and cut as a request does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "scripture/book_reader.h"
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
      EXPECT_FALSE(SplitIntoPassages(verses).empty());
    }
  }
}

}  // namespace
}  // namespace companion
