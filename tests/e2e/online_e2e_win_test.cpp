// The road of one Scripture through the real program and the real Bible server: run by
// online_e2e.sh inside tools/serve-bible.sh, which maps the maker's hosts to a loopback nginx
// serving the built book files. The phases run with the server up (Online.*) and stopped
// (ServerStopped.*).
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/menu.h"
#include "scripture/book_reader.h"
#include "scripture/catalogue.h"
#include "scripture/passage.h"
#include "scripture/utf8.h"
#include "tests/e2e/companion_process_win.h"

namespace companion::e2e {
namespace {

constexpr UINT kShowMessage = 0x8003;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::u16string ReadClipboard(HWND owner) {
  std::u16string text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const char16_t*>(GlobalLock(data))) {
      text = units;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// The passages the program can cut from one translation's copy of the book a reference names,
// read from the files the server serves.
std::vector<std::pair<std::u16string, std::u16string>> PassagesOfBook(
    int translation, const std::u16string& reference) {
  const std::u16string bookName = reference.substr(0, reference.find_last_of(u' '));
  std::u16string path;
  for (const ChapterEntry& entry : ChapterTable) {
    if (entry.translationIndex == translation && bookName == entry.bookName) {
      path = entry.path;
      break;
    }
  }
  std::vector<std::pair<std::u16string, std::u16string>> out;
  if (path.empty()) return out;
  std::ifstream file("Z:" + Env("SCROLLWICK_CONTENT") + std::string(path.begin(), path.end()),
                     std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(file), {}};
  std::u16string text;
  if (!DecodeUtf8(bytes, text)) return out;
  BookCursor cursor{text};
  std::vector<BibleVerse> verses;
  ReadBibleBook(cursor, verses);
  for (const Passage& passage : SplitIntoPassages(verses))
    out.emplace_back(passage.text, FormatReference(bookName, passage));
  return out;
}

class Online : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Env("SCROLLWICK_CONTENT").empty()) GTEST_SKIP() << "run through online_e2e.sh";
    ASSERT_EQ(FindWindowW(L"ScrollwickCompanion.V1", nullptr), nullptr);
    RemovePreferences();
    const std::wstring path = PreferencesPath();
    SHCreateDirectoryExW(nullptr, path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
    // A long display time and no automatic Scriptures: only the test's asks show.
    WritePrivateProfileStringW(L"Companion", L"DisplaySeconds", L"60", path.c_str());
    WritePrivateProfileStringW(L"Companion", L"GapSeconds", L"0", path.c_str());
  }
  void TearDown() override {
    if (companion_) {
      PostMessageW(window_, WM_CLOSE, 0, 0);
      companion_->WaitForExit();
    }
    RemovePreferences();
  }
  void Start(int translation) {
    WritePrivateProfileStringW(L"Companion", L"Translation", std::to_wstring(translation).c_str(),
                               PreferencesPath().c_str());
    // Wine's browser launcher runs the first program of this list with the URL.
    const std::string recorder = Env("SCROLLWICK_URL_RECORDER");
    const std::wstring browsers(recorder.begin(), recorder.end());
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers", REG_SZ,
                    browsers.c_str(), DWORD((browsers.size() + 1) * 2));
    companion_ = std::make_unique<CompanionProcess>(L"");
    window_ = WaitForCompanionWindow();
    ASSERT_NE(window_, nullptr);
    bubble_ = FindWindowW(L"ScrollwickCompanion.Bubble.V1", L"Scripture");
    hint_ = FindProcessWindow(companion_->Id(), TOOLTIPS_CLASSW);
    ASSERT_NE(bubble_, nullptr);
    ASSERT_NE(hint_, nullptr);
  }
  // Milliseconds from the ask to the bubble on screen, or -1 when none came.
  long long AskAndWait() {
    const ULONGLONG asked = GetTickCount64();
    PostMessageW(window_, kShowMessage, 0, 0);
    if (!WaitUntil(15000, [&] { return IsWindowVisible(bubble_) != FALSE; })) return -1;
    return static_cast<long long>(GetTickCount64() - asked);
  }
  std::u16string Hint() {
    const std::wstring hint = HintText(companion_->Id(), hint_, bubble_);
    return {hint.begin(), hint.end()};
  }
  // The shown Scripture as the menu copies it: text, then "reference (code)".
  void Copied(std::u16string& text, std::u16string& reference, std::u16string& code) {
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    SendMessageW(window_, WM_COMMAND, kCommandCopy, 0);
    const std::u16string copied = ReadClipboard(nullptr);
    const size_t lineBreak = copied.rfind(u"\r\n");
    const size_t open = copied.rfind(u" (");
    ASSERT_NE(lineBreak, std::u16string::npos) << "nothing copied";
    ASSERT_NE(open, std::u16string::npos);
    text = copied.substr(0, lineBreak);
    reference = copied.substr(lineBreak + 2, open - lineBreak - 2);
    code = copied.substr(open + 2, copied.size() - open - 3);
  }

  std::unique_ptr<CompanionProcess> companion_;
  HWND window_ = nullptr, bubble_ = nullptr, hint_ = nullptr;
};

TEST_F(Online, PassageOfTheSelectedTranslationThenItsPageOnClick) {
  constexpr int kKjv = 1;
  ASSERT_NO_FATAL_FAILURE(Start(kKjv));
  const long long shownAfter = AskAndWait();
  ASSERT_GE(shownAfter, 0) << "no bubble";
  std::printf("measured: ask to bubble %lld ms (collected at the next one-second tick)\n",
              shownAfter);

  std::u16string text, reference, code;
  ASSERT_NO_FATAL_FAILURE(Copied(text, reference, code));
  EXPECT_EQ(code, u"kjv");
  EXPECT_TRUE(Hint().ends_with(u" \u00B7 King James Version"));
  // Exactly one of the complete sentences the King James book on the server yields.
  const auto passages = PassagesOfBook(kKjv, reference);
  EXPECT_NE(std::find(passages.begin(), passages.end(), std::pair(text, reference)), passages.end())
      << "not a passage of the KJV book: " << std::string(reference.begin(), reference.end());

  // online_e2e.sh takes a screenshot while this file exists.
  const std::string shot = "Z:" + Env("SCROLLWICK_SCREENSHOT_REQUEST");
  std::ofstream(shot).put('\n');
  WaitUntil(10000, [&] { return GetFileAttributesA(shot.c_str()) == INVALID_FILE_ATTRIBUTES; });

  // A click opens the passage page; online_e2e.sh loads it in a browser afterwards.
  const std::string log = "Z:" + Env("SCROLLWICK_URL_LOG");
  DeleteFileA(log.c_str());
  PostMessageW(bubble_, WM_LBUTTONUP, 0, 0);
  std::string opened;
  WaitUntil(10000, [&] {
    std::ifstream file(log);
    return std::getline(file, opened) && !opened.empty();
  });
  EXPECT_TRUE(opened.starts_with("https://scrollwick.org/bible?ref=")) << opened;
  EXPECT_TRUE(opened.ends_with("&translation=kjv")) << opened;
  std::ofstream("Z:" + Env("SCROLLWICK_EXPECTED_PASSAGE"), std::ios::binary)
      << opened << "\n"
      << std::string(reference.begin(), reference.end()) << "\n";
}

TEST_F(Online, TranslationChangedDuringTheRequestShowsOnlyTheNewOne) {
  constexpr int kWeb = 0, kYlt = 3;
  ASSERT_NO_FATAL_FAILURE(Start(kWeb));
  PostMessageW(window_, kShowMessage, 0, 0);
  PostMessageW(window_, WM_COMMAND, kFirstTranslationCommand + kYlt, 0);
  ASSERT_TRUE(WaitUntil(15000, [&] { return IsWindowVisible(bubble_) != FALSE; }));
  std::u16string text, reference, code;
  ASSERT_NO_FATAL_FAILURE(Copied(text, reference, code));
  EXPECT_EQ(code, u"ylt");
  EXPECT_TRUE(Hint().ends_with(u" \u00B7 Young's Literal Translation"));
  const auto passages = PassagesOfBook(kYlt, reference);
  EXPECT_NE(std::find(passages.begin(), passages.end(), std::pair(text, reference)),
            passages.end());
}

using ServerStopped = Online;

TEST_F(ServerStopped, OfflineVerseShows) {
  ASSERT_NO_FATAL_FAILURE(Start(0));
  ASSERT_GE(AskAndWait(), 0);
  EXPECT_TRUE(Hint().ends_with(u" \u00B7 WEB (offline backup)"));
}

}  // namespace
}  // namespace companion::e2e
