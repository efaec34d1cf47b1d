// DownloadBibleBookFrom against the loopback HTTPS server of tools/bible_test_server.py, which
// the ctest entry bible_client_win_tests starts with a throwaway CA trusted for the run.
#include "scripture/bible_client_win.h"

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "scripture/book_source.h"

namespace companion {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BibleClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* state = std::getenv("SCROLLWICK_BIBLE_TEST_SERVER");
    if (state == nullptr) {
      GTEST_SKIP() << "needs the loopback server: run the ctest entry bible_client_win_tests";
    }
    port_ = static_cast<unsigned short>(std::stoi(ReadFile(std::string(state) + "/port")));
  }

  std::string Get(const std::u16string& path) {
    return DownloadBibleBookFrom(u"127.0.0.1", port_, path);
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
  EXPECT_EQ(Get(u"/size/8388608").size(), kMaxBibleBookBytes);
  EXPECT_EQ(Get(u"/size/0"), "");
  EXPECT_EQ(Get(u"/gzip/100000"), std::string(100000, 'a'));
}

TEST_F(BibleClientTest, EveryFailureNamesItsCause) {
  EXPECT_EQ(ErrorOf(u"/size/8388609"), "Oversized Bible response");
  EXPECT_EQ(ErrorOf(u"/gzip/8388609"), "Oversized Bible response");
  EXPECT_EQ(ErrorOf(u"/cut/100000"), "Incomplete Bible response");
  for (const char16_t* path : {u"/status/301", u"/status/302", u"/status/404", u"/status/500",
                               u"/status/204", u"/bible/v1/kjv/NONE.json"}) {
    EXPECT_EQ(ErrorOf(path), "Bible response unavailable");
  }
}

TEST_F(BibleClientTest, ClosedPortIsUnavailable) {
  WSADATA wsa;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
  // A port that was free a moment ago and is no longer listened on.
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  int length = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  closesocket(s);
  WSACleanup();
  EXPECT_EQ(ErrorOf(u"/size/10", ntohs(address.sin_port)), "Bible server unavailable");
}

}  // namespace
}  // namespace companion
