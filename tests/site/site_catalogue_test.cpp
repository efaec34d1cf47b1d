// The web site's catalogue (server/site/assets/catalogue.js) is the program's, row for row.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "scripture/catalogue.h"

namespace companion {
namespace {

using Row = std::tuple<std::string, std::string, int>;  // code, name, chapters (0 for none)

std::string Narrow(std::u16string_view text) {  // the catalogue is ASCII
  return {text.begin(), text.end()};
}

// The rows of `export const <name> = [...];`, each ["code", "name"] or ["code", "name", n].
std::vector<Row> ReadSiteTable(const std::string& script, const std::string& name) {
  const std::size_t begin = script.find("export const " + name + " = [");
  const std::string body = script.substr(begin, script.find("];", begin) - begin);
  static const std::regex row(R"re(\["([^"]*)", "([^"]*)"(?:, (\d+))?\])re");
  std::vector<Row> rows;
  for (std::sregex_iterator it(body.begin(), body.end(), row), last; it != last; ++it)
    rows.emplace_back((*it)[1], (*it)[2], (*it)[3].matched ? std::stoi((*it)[3]) : 0);
  return rows;
}

TEST(SiteCatalogue, IsTheProgramsCatalogue) {
  const std::string script(
      std::istreambuf_iterator<char>(std::ifstream(SCROLLWICK_SITE_CATALOGUE).rdbuf()), {});
  std::vector<Row> translations, books;
  for (const TranslationInfo& t : TranslationTable)
    translations.emplace_back(Narrow(t.code), Narrow(t.name), 0);
  for (const ChapterEntry& e : ChapterTable) {
    if (e.translationIndex != 0) break;
    if (e.chapter == 1)  // "/bible/v1/web/<code>.json"
      books.emplace_back(std::filesystem::path(e.path).stem().string(), Narrow(e.bookName), 0);
    std::get<2>(books.back()) = e.chapter;
  }
  EXPECT_EQ(ReadSiteTable(script, "TRANSLATIONS"), translations);
  EXPECT_EQ(ReadSiteTable(script, "BOOKS"), books);
  EXPECT_EQ(books.size(), 66u);
}

}  // namespace
}  // namespace companion
