#include "scripture/bible_client_win.h"

#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <stdexcept>

#include "base/endpoints.h"
#include "base/owners_win.h"
#include "base/wide_win.h"
#include "scripture/book_source.h"

namespace companion {
namespace {

// The request of the download in flight. Closing it from another thread makes the call that
// waits on it fail at once; whichever thread takes it out of here closes it, exactly once.
std::atomic<HINTERNET> requestInFlight{nullptr};

struct InFlightRequest {
  HINTERNET h;
  explicit InFlightRequest(HINTERNET handle) : h(handle) { requestInFlight.store(handle); }
  ~InFlightRequest() {
    HINTERNET mine = h;
    if (h && requestInFlight.compare_exchange_strong(mine, nullptr)) WinHttpCloseHandle(h);
  }
  InFlightRequest(const InFlightRequest&) = delete;
  InFlightRequest& operator=(const InFlightRequest&) = delete;
};

constexpr DWORD kResolveTimeoutMs = 3000;
constexpr DWORD kConnectTimeoutMs = 3000;
constexpr DWORD kSendTimeoutMs = 3000;
constexpr DWORD kReceiveTimeoutMs = 4000;

[[noreturn]] void Fail(const char* message) {
  throw std::runtime_error(message);
}

std::string ReadBody(HINTERNET request) {
  std::string body;
  DWORD available = 0;
  // A failed query for more data means the transfer broke off: what was read is not the book.
  if (!WinHttpQueryDataAvailable(request, &available)) Fail("Incomplete Bible response");
  while (available > 0) {
    if (body.size() + available > kMaxBibleBookBytes) Fail("Oversized Bible response");
    const std::size_t start = body.size();
    body.resize(start + available);
    DWORD read = 0;
    if (!WinHttpReadData(request, body.data() + start, available, &read)) {
      Fail("Incomplete Bible response");
    }
    body.resize(start + read);
    if (!WinHttpQueryDataAvailable(request, &available)) Fail("Incomplete Bible response");
  }
  return body;
}

bool HasHeader(HINTERNET request, DWORD infoLevel) {
  DWORD size = 0;
  return WinHttpQueryHeaders(request, infoLevel, WINHTTP_HEADER_NAME_BY_INDEX,
                             WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX) ||
         GetLastError() != ERROR_WINHTTP_HEADER_NOT_FOUND;
}

// A connection dropped mid-body can look like an ordinary end of data (Wine reports it so), so a
// body that nothing decoded is held to its announced length.
bool IsShortOfAnnouncedLength(HINTERNET request, bool stackMayDecode, std::size_t received) {
  if (!BodyComparesToContentLength(stackMayDecode,
                                   HasHeader(request, WINHTTP_QUERY_CONTENT_ENCODING))) {
    return false;
  }
  DWORD announced = 0;
  DWORD size = sizeof announced;
  return WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &announced, &size,
                             WINHTTP_NO_HEADER_INDEX) &&
         received != announced;
}

}  // namespace

std::string DownloadBibleBookFrom(const std::u16string& host, unsigned short port,
                                  const std::u16string& path) {
  WinHttpHandle session(WinHttpOpen(AsWide(kBibleClientUserAgent),
                                    WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session.Get()) Fail("Connection unavailable");
  WinHttpSetTimeouts(session.Get(), kResolveTimeoutMs, kConnectTimeoutMs, kSendTimeoutMs,
                     kReceiveTimeoutMs);
  WinHttpHandle connection(WinHttpConnect(session.Get(), AsWide(host), port, 0));
  if (!connection.Get()) Fail("Connection unavailable");
  InFlightRequest request(WinHttpOpenRequest(connection.Get(), L"GET", AsWide(path), nullptr,
                                             WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                             WINHTTP_FLAG_SECURE));
  if (!request.h) Fail("Connection unavailable");

  // Both settings are best effort: Wine 8, for one, refuses the decompression option.
  DWORD disableRedirects = WINHTTP_DISABLE_REDIRECTS;
  WinHttpSetOption(request.h, WINHTTP_OPTION_DISABLE_FEATURE, &disableRedirects,
                   sizeof disableRedirects);
  DWORD decompression = WINHTTP_DECOMPRESSION_FLAG_GZIP | WINHTTP_DECOMPRESSION_FLAG_DEFLATE;
  const bool stackMayDecode = WinHttpSetOption(request.h, WINHTTP_OPTION_DECOMPRESSION,
                                               &decompression, sizeof decompression) != FALSE;

  if (!WinHttpSendRequest(request.h, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                          0, 0) ||
      !WinHttpReceiveResponse(request.h, nullptr)) {
    Fail("Bible server unavailable");
  }
  DWORD status = 0;
  DWORD statusSize = sizeof status;
  if (!WinHttpQueryHeaders(request.h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize,
                           WINHTTP_NO_HEADER_INDEX) ||
      status != HTTP_STATUS_OK) {
    Fail("Bible response unavailable");
  }
  std::string body = ReadBody(request.h);
  if (IsShortOfAnnouncedLength(request.h, stackMayDecode, body.size()))
    Fail("Incomplete Bible response");
  return body;
}

void CancelBibleDownload() {
  if (HINTERNET request = requestInFlight.exchange(nullptr)) WinHttpCloseHandle(request);
}

std::string DownloadBibleBook(const std::u16string& path) {
  return DownloadBibleBookFrom(kBibleServerHost, kBibleServerPort, path);
}

}  // namespace companion
