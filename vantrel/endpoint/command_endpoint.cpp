#include "vantrel/endpoint/command_endpoint.h"

#include <sys/socket.h>

#include <curl/curl.h>

#include <memory>
#include <optional>
#include <string>

#include "vantrel/core/console.h"
#include "vantrel/core/console_loggers.h"
#include "vantrel/core/error.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"
#include "vantrel/endpoint/internal/command_endpoint_internal.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/text/character_set.h"
#include "vantrel/text/percent_encoding.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

// Why a command request failed; printed after "Error opening <url>:".
class CommandRequestError : public Error {
 public:
  using Error::Error;
};

bool curlReady() {
  // Once per process, before the first handle; libcurl's global state is
  // never torn down (requests may still be running at exit).
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

struct CurlHandleDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlHandle = std::unique_ptr<CURL, CurlHandleDeleter>;

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

// libcurl's own sockets are inheritable; a command started on another thread
// must not receive the connection.
curl_socket_t openCloexecSocket(void*, curlsocktype, curl_sockaddr* address) {
  return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

// Performs the request; answers the body when an answer arrived, and the
// error, if any.
std::optional<std::string> performRequest(const std::string& requestUrl,
                                          const foundation_internal::CommandRequestOptions& options,
                                          std::unique_ptr<CommandRequestError>& error) {
  if (!curlReady()) {
    error = std::make_unique<CommandRequestError>("the network library could not be initialised");
    return std::nullopt;
  }
  CurlHandle handle(curl_easy_init());
  if (!handle) {
    error = std::make_unique<CommandRequestError>("the network library could not start a request");
    return std::nullopt;
  }
  std::string body;
  char errorBuffer[CURL_ERROR_SIZE] = {};
  CURL* h = handle.get();
  curl_easy_setopt(h, CURLOPT_URL, requestUrl.c_str());
  curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L);
  // The service is on this machine: a proxy from the environment must not
  // see (or answer) the command.
  curl_easy_setopt(h, CURLOPT_PROXY, "");
  curl_easy_setopt(h, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(options.timeout.count()));
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_OPENSOCKETFUNCTION, &openCloexecSocket);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &appendBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);

  const CURLcode result = curl_easy_perform(h);
  if (result != CURLE_OK) {
    const std::string reason = errorBuffer[0] != '\0' ? std::string(errorBuffer) : curl_easy_strerror(result);
    error = std::make_unique<CommandRequestError>(reason);
    return std::nullopt;
  }
  long status = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
  // An error status is a failure of the command, even though an answer came.
  if (status >= 400) error = std::make_unique<CommandRequestError>("HTTP status " + integerText(status));
  return body;
}

void completeRequest(const std::string& requestUrl, const foundation_internal::CommandRequestOptions& options) {
  std::unique_ptr<CommandRequestError> error;
  if (std::optional<std::string> body = performRequest(requestUrl, options, error)) {
    consolePrint(repairedUtf8(*body));
  }
  qlog.iferror("Error opening " + requestUrl, error.get());
  if (options.completion) options.completion();
}

}  // namespace

namespace foundation_internal {

std::string encodedOpenCommand(std::string_view url) {
  std::string command = "open \"";
  command += url;
  command += '"';
  // The path characters except "/": the command is one path component.
  static const NoDestructor<CharacterSet> allowed(
      CharacterSet::urlPathAllowed().inverted().union_(CharacterSet::fromCharacters("/")).inverted());
  return addingPercentEncoding(command, *allowed);
}

std::string commandRequestUrl(std::string_view url, int port) {
  return "http://localhost:" + integerText(port) + "/command/" + encodedOpenCommand(url);
}

void sendOpenCommand(std::string_view url, CommandRequestOptions options) {
  std::string requestUrl = commandRequestUrl(url, options.port);
  consolePrint("urlString = " + requestUrl);
  DispatchQueue::global()->async([requestUrl = std::move(requestUrl), options = std::move(options)] {
    completeRequest(requestUrl, options);
  });
}

}  // namespace foundation_internal

namespace vt {

void dummyMethod() {}

void openUrlOnMac(std::string_view url) { foundation_internal::sendOpenCommand(url, {}); }

}  // namespace vt
}  // namespace vantrel
