#include "runtime/shared_library.h"

#include <dlfcn.h>

namespace quillion {

SharedLibrary::SharedLibrary(const char* soname) : soname_(soname) {
    // RTLD_LOCAL: the library's symbols serve only the lookups made here. A library the
    // program has loaded already (Qt loads both font libraries) is the same handle.
    handle_ = ::dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* reason = ::dlerror();
        problem_ = "cannot load " + soname_ + ": " + (reason ? reason : "unknown reason");
    }
}

void* SharedLibrary::Symbol(const char* name) {
    if (!handle_)
        return nullptr;
    void* address = ::dlsym(handle_, name);
    if (!address && problem_.empty())
        problem_ = soname_ + " has no function " + name;
    return address;
}

} // namespace quillion
