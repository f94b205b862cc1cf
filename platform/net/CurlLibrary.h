#pragma once
// libcurl, loaded when the first transfer needs it instead of at program
// start. Linking it would make the dynamic loader map and relocate libcurl
// and the thirty libraries behind it (TLS, LDAP, Kerberos, SSH, IDN...)
// before main(); the window never needs them before Start, and the command
// line can load them on a thread of its own while it starts.
//
//   platform::curl::StartLoading();        // at start-up: returns at once
//   const platform::curl::TApi& api = platform::curl::Api();  // waits for the load
//
// Files that call libcurl include this header after <curl/curl.h>; the
// macros at its end send every libcurl function they use through Api(), so
// that the calls read as libcurl's own. A function missing from TApi fails to
// link (libcurl is not linked): add it here.
//
// When libcurl cannot be loaded, Api() answers with stand-ins that fail:
// curl_global_init returns CURLE_FAILED_INIT, the constructors return null,
// the others an error code; LoadError() then says why.

#include <curl/curl.h>

#include <string>

namespace tembrook::platform::curl {

// The libcurl functions the internet client uses.
struct TApi {
    CURLcode (*GlobalInit)(long flags);
    CURL* (*EasyInit)();
    CURLcode (*EasySetopt)(CURL* handle, CURLoption option, ...);
    CURLcode (*EasyGetinfo)(CURL* handle, CURLINFO info, ...);
    void (*EasyCleanup)(CURL* handle);
    const char* (*EasyStrerror)(CURLcode code);
    CURLM* (*MultiInit)();
    CURLMcode (*MultiAddHandle)(CURLM* multi, CURL* handle);
    CURLMcode (*MultiRemoveHandle)(CURLM* multi, CURL* handle);
    CURLMcode (*MultiPerform)(CURLM* multi, int* running);
    CURLMsg* (*MultiInfoRead)(CURLM* multi, int* queued);
    CURLMcode (*MultiPoll)(CURLM* multi, struct curl_waitfd extra[], unsigned int count, int timeoutMs,
                           int* ready);
    CURLMcode (*MultiWakeup)(CURLM* multi);
    CURLMcode (*MultiCleanup)(CURLM* multi);
    const char* (*MultiStrerror)(CURLMcode code);
    CURLU* (*Url)();
    CURLUcode (*UrlSet)(CURLU* url, CURLUPart part, const char* content, unsigned int flags);
    CURLUcode (*UrlGet)(const CURLU* url, CURLUPart part, char** content, unsigned int flags);
    void (*UrlCleanup)(CURLU* url);
    const char* (*UrlStrerror)(CURLUcode code);
    void (*Free)(void* pointer);
};

// Loads the library `soname` and fills a table from it; on failure the table
// holds the failing stand-ins and error says why. Does not initialise libcurl.
TApi LoadApi(const char* soname, std::string& error);

// Starts loading libcurl (and its global set-up) on a thread of its own,
// once per process; later calls do nothing. Returns at once.
void StartLoading();
// The loaded library's table, after curl_global_init has run; loads it on the
// calling thread when nobody has started to. Thread-safe.
const TApi& Api();
// Why libcurl could not be loaded; empty when it was (or has not been tried).
std::string LoadError();

}  // namespace tembrook::platform::curl

#ifndef TEMBROOK_CURL_DIRECT
#undef curl_easy_setopt
#undef curl_easy_getinfo
#define curl_global_init ::tembrook::platform::curl::Api().GlobalInit
#define curl_easy_init ::tembrook::platform::curl::Api().EasyInit
#define curl_easy_setopt ::tembrook::platform::curl::Api().EasySetopt
#define curl_easy_getinfo ::tembrook::platform::curl::Api().EasyGetinfo
#define curl_easy_cleanup ::tembrook::platform::curl::Api().EasyCleanup
#define curl_easy_strerror ::tembrook::platform::curl::Api().EasyStrerror
#define curl_multi_init ::tembrook::platform::curl::Api().MultiInit
#define curl_multi_add_handle ::tembrook::platform::curl::Api().MultiAddHandle
#define curl_multi_remove_handle ::tembrook::platform::curl::Api().MultiRemoveHandle
#define curl_multi_perform ::tembrook::platform::curl::Api().MultiPerform
#define curl_multi_info_read ::tembrook::platform::curl::Api().MultiInfoRead
#define curl_multi_poll ::tembrook::platform::curl::Api().MultiPoll
#define curl_multi_wakeup ::tembrook::platform::curl::Api().MultiWakeup
#define curl_multi_cleanup ::tembrook::platform::curl::Api().MultiCleanup
#define curl_multi_strerror ::tembrook::platform::curl::Api().MultiStrerror
#define curl_url ::tembrook::platform::curl::Api().Url
#define curl_url_set ::tembrook::platform::curl::Api().UrlSet
#define curl_url_get ::tembrook::platform::curl::Api().UrlGet
#define curl_url_cleanup ::tembrook::platform::curl::Api().UrlCleanup
#define curl_url_strerror ::tembrook::platform::curl::Api().UrlStrerror
#define curl_free ::tembrook::platform::curl::Api().Free
#endif
