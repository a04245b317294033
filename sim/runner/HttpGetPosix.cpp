// HTTP GET with libcurl.
#include <curl/curl.h>

#include "sim/runner/HttpGet.h"

namespace simrunner {
namespace {

size_t appendBody(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

}  // namespace

HttpGetResult httpGet(const std::string& url, long timeoutSeconds) {
  HttpGetResult result;
  CURL* curl = curl_easy_init();
  if (curl == nullptr) {
    result.error = "curl_easy_init failed";
    return result;
  }
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);
  const CURLcode code = curl_easy_perform(curl);
  if (code == CURLE_OK) {
    result.ok = true;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
  } else {
    result.error = curl_easy_strerror(code);
  }
  curl_easy_cleanup(curl);
  return result;
}

}  // namespace simrunner
