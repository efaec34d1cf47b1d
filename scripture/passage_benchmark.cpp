// A whole online request on the largest real book: UTF-8 conversion, reading, cutting and
// choosing.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "scripture/book_source_native.h"
#include "scripture/catalogue.h"
#include "scripture/passage.h"

namespace companion {
namespace {

struct LargestBook {
  std::filesystem::path path;
  std::string bytes;
};

const LargestBook& Largest() {
  static const LargestBook book = [] {
    const auto folder =
        std::filesystem::path(__FILE__).parent_path().parent_path() / "server" / "bible" / "v1";
    LargestBook found;
    std::uintmax_t largest = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      if (entry.is_regular_file() && entry.file_size() > largest) {
        largest = entry.file_size();
        found.path = entry.path();
      }
    }
    std::ifstream in(found.path, std::ios::binary);
    found.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return found;
  }();
  return book;
}

// Every book of the translation is served as the largest book, so whichever chapter a seed
// draws, the request reads the same bytes.
void BM_FetchOnlineVerse(benchmark::State& state) {
  const LargestBook& book = Largest();
  ClearNativeBibleBooks();
  for (const ChapterEntry& row : ChapterTable) {
    if (row.translationIndex == 1) SetNativeBibleBook(row.path, book.bytes);
  }
  std::uint32_t seed = 0;
  for (auto _ : state) {
    OnlineVerse verse = FetchOnlineVerse(1, seed++, u"");
    if (!verse.ok) state.SkipWithError("request failed");
    benchmark::DoNotOptimize(verse);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(book.bytes.size()));
  state.SetLabel(book.path.parent_path().filename().string() + "/" + book.path.filename().string());
  ClearNativeBibleBooks();
}
BENCHMARK(BM_FetchOnlineVerse)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace companion
