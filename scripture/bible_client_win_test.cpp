// DownloadBibleBookFrom against the loopback HTTPS server of tools/bible_test_server.py, which
// the ctest entry bible_client_win_tests starts with a throwaway CA trusted for the run.
#include "scripture/bible_client_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "scripture/book_source.h"

namespace companion {
namespace {

class BibleClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* state = std::getenv("SCROLLWICK_BIBLE_TEST_SERVER");
    if (state == nullptr) {
      GTEST_SKIP() << "needs the loopback server: run the ctest entry bible_client_win_tests";
    }
    std::ifstream(std::string(state) + "/port") >> port_;
  }

  std::string ErrorOf(const std::u16string& path, unsigned short port = 0) {
    try {
      DownloadBibleBookFrom(u"127.0.0.1", port ? port : port_, path);
    } catch (const std::runtime_error& e) {
      return e.what();
    }
    return "no error";
  }

  unsigned short port_ = 0;
};

// Wine 8 does not decode gzip (it refuses the option, so the server sends the body plain);
// Windows does. Either way the caller sees the decoded body and the limit applies to it.
TEST_F(BibleClientTest, BodiesUpToTheLimitArriveDecoded) {
  EXPECT_EQ(DownloadBibleBookFrom(u"127.0.0.1", port_, u"/size/8388608").size(),
            kMaxBibleBookBytes);
  EXPECT_EQ(DownloadBibleBookFrom(u"127.0.0.1", port_, u"/size/0"), "");
  EXPECT_EQ(DownloadBibleBookFrom(u"127.0.0.1", port_, u"/gzip/100000"), std::string(100000, 'a'));
}

// Not-found and a cut body also meet the end-to-end fault server; here each cause keeps its name.
// Nothing listens on port 1 of the loopback.
TEST_F(BibleClientTest, EveryFailureNamesItsCause) {
  EXPECT_EQ(ErrorOf(u"/size/8388609"), "Oversized Bible response");
  EXPECT_EQ(ErrorOf(u"/gzip/8388609"), "Oversized Bible response");
  EXPECT_EQ(ErrorOf(u"/cut/100000"), "Incomplete Bible response");
  for (const std::string code : {"301", "404", "500", "204"}) {
    EXPECT_EQ(ErrorOf(u"/status/" + std::u16string(code.begin(), code.end())),
              "Bible response unavailable")
        << code;
  }
  EXPECT_EQ(ErrorOf(u"/size/10", 1), "Bible server unavailable");
}

}  // namespace
}  // namespace companion
