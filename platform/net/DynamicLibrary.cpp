#include "DynamicLibrary.h"

#include <dlfcn.h>

namespace tembrook::platform {

void* OpenLibrary(const std::string& path, std::string& error)
{
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = dlerror();
        error = why != nullptr ? why : path + " could not be loaded";
    }
    return library;
}

void* FindSymbol(void* library, const char* name, const std::string& libraryName, std::string& error)
{
    void* symbol = dlsym(library, name);
    if (symbol == nullptr)
        error = libraryName + " has no " + name;
    return symbol;
}

}  // namespace tembrook::platform
