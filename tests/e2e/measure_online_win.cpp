// A measured run, not a test: the worker's part of one online Scripture for the largest book,
// Psalms, fetched from the Bible server that tools/serve-bible.sh maps to loopback. Prints the
// median of each step over a few runs; the bubble then appears at the next one-second tick.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "scripture/book_reader.h"
#include "scripture/book_source.h"
#include "scripture/passage.h"
#include "scripture/utf8.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain() {
  constexpr int kRuns = 9;
  std::vector<double> download, read, whole;
  std::size_t bytes = 0;
  for (int run = 0; run < kRuns; ++run) {
    LARGE_INTEGER t0, t1, t2;
    QueryPerformanceCounter(&t0);
    std::string body;
    try {
      body = companion::DownloadBibleBook(u"/bible/v1/web/PSA.json");
    } catch (const std::exception& e) {
      std::printf("measure: download failed: %s\n", e.what());
      return 1;
    }
    QueryPerformanceCounter(&t1);
    std::u16string text;
    if (!companion::DecodeUtf8(body, text)) return 1;
    std::vector<companion::VerseSpan> spans;
    text.resize(companion::JoinBibleBookInPlace(text, spans));
    const auto passages = companion::FindPassages(text, spans);
    QueryPerformanceCounter(&t2);
    bytes = body.size();
    download.push_back(Milliseconds(t0, t1));
    read.push_back(Milliseconds(t1, t2));
    whole.push_back(Milliseconds(t0, t2));
    if (passages.empty()) return 1;
  }
  std::printf(
      "measured: Psalms (web, %zu bytes) under Wine, median of %d: download %.1f ms, "
      "decode+read+cut %.1f ms, worker total %.1f ms\n",
      bytes, kRuns, Median(download), Median(read), Median(whole));
  return 0;
}
