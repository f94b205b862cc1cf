#define TEMBROOK_CURL_DIRECT
#include "CurlLibrary.h"

#include "DynamicLibrary.h"

#include <dlfcn.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace tembrook::platform::curl {

namespace {

constexpr const char* kLibcurl = "libcurl.so.4";

CURLcode FailingSetopt(CURL*, CURLoption, ...)
{
    return CURLE_FAILED_INIT;
}

CURLcode FailingGetinfo(CURL*, CURLINFO, ...)
{
    return CURLE_FAILED_INIT;
}

// What the table holds when libcurl is not there: every call fails.
TApi FailingApi()
{
    TApi api{};
    api.GlobalInit = [](long) { return CURLE_FAILED_INIT; };
    api.EasyInit = []() -> CURL* { return nullptr; };
    api.EasySetopt = &FailingSetopt;
    api.EasyGetinfo = &FailingGetinfo;
    api.EasyCleanup = [](CURL*) {};
    api.EasyStrerror = [](CURLcode) { return "libcurl could not be loaded"; };
    api.MultiInit = []() -> CURLM* { return nullptr; };
    api.MultiAddHandle = [](CURLM*, CURL*) { return CURLM_BAD_HANDLE; };
    api.MultiRemoveHandle = [](CURLM*, CURL*) { return CURLM_BAD_HANDLE; };
    api.MultiPerform = [](CURLM*, int*) { return CURLM_BAD_HANDLE; };
    api.MultiInfoRead = [](CURLM*, int* queued) -> CURLMsg* {
        if (queued != nullptr)
            *queued = 0;
        return nullptr;
    };
    api.MultiPoll = [](CURLM*, curl_waitfd*, unsigned int, int, int*) { return CURLM_BAD_HANDLE; };
    api.MultiWakeup = [](CURLM*) { return CURLM_BAD_HANDLE; };
    api.MultiCleanup = [](CURLM*) { return CURLM_BAD_HANDLE; };
    api.MultiStrerror = [](CURLMcode) { return "libcurl could not be loaded"; };
    api.Url = []() -> CURLU* { return nullptr; };
    api.UrlSet = [](CURLU*, CURLUPart, const char*, unsigned int) { return CURLUE_BAD_HANDLE; };
    api.UrlGet = [](const CURLU*, CURLUPart, char**, unsigned int) { return CURLUE_BAD_HANDLE; };
    api.UrlCleanup = [](CURLU*) {};
    api.UrlStrerror = [](CURLUcode) { return "libcurl could not be loaded"; };
    api.Free = [](void*) {};
    return api;
}

template <typename TFunction>
bool Resolve(void* library, const char* name, TFunction& function, std::string& error)
{
    void* symbol = FindSymbol(library, name, "libcurl", error);
    if (symbol == nullptr)
        return false;
    function = reinterpret_cast<TFunction>(symbol);
    return true;
}

// The process's one library, loaded by StartLoading's thread or by the first
// Api() call. Never destroyed: transfers may run while statics are torn down.
struct TLoader {
    std::mutex Lock;
    std::condition_variable Finished;
    bool Started = false;
    bool Done = false;
    std::atomic<bool> Ready{false};
    TApi Table = FailingApi();
    std::string Error;

    void Load()
    {
        std::string error;
        TApi table = LoadApi(kLibcurl, error);
        if (error.empty() && table.GlobalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            error = "curl_global_init failed";
            table = FailingApi();
        }
        {
            std::lock_guard lock(Lock);
            Table = table;
            Error = error;
            Done = true;
        }
        Ready.store(true, std::memory_order_release);
        Finished.notify_all();
    }
};

TLoader& Loader()
{
    static auto* loader = new TLoader;
    return *loader;
}

// Joins the loading thread at exit, so that it never runs into the exit
// handlers of the libraries it is loading.
struct TLoadingThread {
    std::thread Thread;
    ~TLoadingThread()
    {
        if (Thread.joinable())
            Thread.join();
    }
};

}  // namespace

TApi LoadApi(const char* soname, std::string& error)
{
    error.clear();
    void* library = OpenLibrary(soname, error);
    if (library == nullptr)
        return FailingApi();
    TApi api{};
    const bool ok = Resolve(library, "curl_global_init", api.GlobalInit, error) &&
        Resolve(library, "curl_easy_init", api.EasyInit, error) &&
        Resolve(library, "curl_easy_setopt", api.EasySetopt, error) &&
        Resolve(library, "curl_easy_getinfo", api.EasyGetinfo, error) &&
        Resolve(library, "curl_easy_cleanup", api.EasyCleanup, error) &&
        Resolve(library, "curl_easy_strerror", api.EasyStrerror, error) &&
        Resolve(library, "curl_multi_init", api.MultiInit, error) &&
        Resolve(library, "curl_multi_add_handle", api.MultiAddHandle, error) &&
        Resolve(library, "curl_multi_remove_handle", api.MultiRemoveHandle, error) &&
        Resolve(library, "curl_multi_perform", api.MultiPerform, error) &&
        Resolve(library, "curl_multi_info_read", api.MultiInfoRead, error) &&
        Resolve(library, "curl_multi_poll", api.MultiPoll, error) &&
        Resolve(library, "curl_multi_wakeup", api.MultiWakeup, error) &&
        Resolve(library, "curl_multi_cleanup", api.MultiCleanup, error) &&
        Resolve(library, "curl_multi_strerror", api.MultiStrerror, error) &&
        Resolve(library, "curl_url", api.Url, error) && Resolve(library, "curl_url_set", api.UrlSet, error) &&
        Resolve(library, "curl_url_get", api.UrlGet, error) &&
        Resolve(library, "curl_url_cleanup", api.UrlCleanup, error) &&
        Resolve(library, "curl_url_strerror", api.UrlStrerror, error) &&
        Resolve(library, "curl_free", api.Free, error);
    if (!ok) {
        dlclose(library);
        return FailingApi();
    }
    return api;  // the library stays loaded for the life of the process
}

void StartLoading()
{
    TLoader& loader = Loader();
    {
        std::lock_guard lock(loader.Lock);
        if (loader.Started)
            return;
        loader.Started = true;
    }
    static TLoadingThread loading;
    try {
        loading.Thread = std::thread([&loader] { loader.Load(); });
    } catch (const std::system_error&) {
        loader.Load();  // no thread to be had: load here
    }
}

const TApi& Api()
{
    TLoader& loader = Loader();
    if (loader.Ready.load(std::memory_order_acquire))
        return loader.Table;
    std::unique_lock lock(loader.Lock);
    if (!loader.Started) {
        loader.Started = true;
        lock.unlock();
        loader.Load();
        return loader.Table;
    }
    loader.Finished.wait(lock, [&loader] { return loader.Done; });
    return loader.Table;
}

std::string LoadError()
{
    TLoader& loader = Loader();
    std::lock_guard lock(loader.Lock);
    return loader.Error;
}

}  // namespace tembrook::platform::curl
