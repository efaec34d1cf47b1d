// The web site's copy of the catalogue (server/site/assets/catalogue.js) is the program's: the same
// translations and books, with the same codes, names, chapter counts and order.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "scripture/catalogue.h"

namespace companion {
namespace {

using Row = std::tuple<std::string, std::string, int>;  // code, name, chapters (0 for none)

std::string Narrow(std::u16string_view text) {
  std::string narrow;
  for (char16_t unit : text)
    narrow.push_back(static_cast<char>(unit));  // the catalogue is ASCII
  return narrow;
}

// The rows of `export const <name> = [...];`, each ["code", "name"] or ["code", "name", n].
std::vector<Row> ReadSiteTable(const std::string& script, const std::string& name) {
  const std::size_t begin = script.find("export const " + name + " = [");
  const std::size_t end = script.find("];", begin);
  if (begin == std::string::npos || end == std::string::npos) return {};
  const std::string body = script.substr(begin, end - begin);
  static const std::regex row(R"re(\["([^"]*)", "([^"]*)"(?:, (\d+))?\])re");
  std::vector<Row> rows;
  for (std::sregex_iterator it(body.begin(), body.end(), row), last; it != last; ++it) {
    rows.emplace_back((*it)[1], (*it)[2], (*it)[3].matched ? std::stoi((*it)[3]) : 0);
  }
  return rows;
}

TEST(SiteCatalogue, IsTheProgramsCatalogue) {
  std::ifstream file(SCROLLWICK_SITE_CATALOGUE);
  ASSERT_TRUE(file) << SCROLLWICK_SITE_CATALOGUE;
  std::stringstream script;
  script << file.rdbuf();

  std::vector<Row> translations;
  for (const TranslationInfo& t : TranslationTable) {
    translations.emplace_back(Narrow(t.code), Narrow(t.name), 0);
  }
  std::vector<Row> books;
  for (const ChapterEntry& entry : ChapterTable) {
    if (entry.translationIndex != 0) break;
    if (entry.chapter == 1) {
      const std::string path = Narrow(entry.path);  // "/bible/v1/web/<code>.json"
      const std::size_t slash = path.rfind('/');
      books.emplace_back(path.substr(slash + 1, path.size() - slash - 6), Narrow(entry.bookName),
                         0);
    }
    std::get<2>(books.back()) = entry.chapter;
  }

  EXPECT_EQ(ReadSiteTable(script.str(), "TRANSLATIONS"), translations);
  EXPECT_EQ(ReadSiteTable(script.str(), "BOOKS"), books);
  EXPECT_EQ(books.size(), 66u);
}

}  // namespace
}  // namespace companion
