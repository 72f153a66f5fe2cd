// A system library loaded when a run first needs it (dlopen of its versioned soname), so that
// a run that does not need it neither maps nor relocates it: FreeType and fontconfig only for a
// caption the kept caches cannot paint, libjpeg-turbo only for JPEG.
#pragma once

#include <string>

namespace quillion {

class SharedLibrary {
public:
    // Opens soname ("libfreetype.so.6") for the rest of the process; it is never closed, so
    // the functions found stay valid. Problem() says why when it cannot be opened.
    explicit SharedLibrary(const char* soname);

    // Sets out to the named function; false when the library was not opened or has no such
    // symbol (Problem() then names the first one missing).
    template <class Function> bool Find(const char* name, Function*& out) {
        void* address = Symbol(name);
        out = reinterpret_cast<Function*>(address);
        return address != nullptr;
    }

    // "" while the library is open and every function asked for was found.
    const std::string& Problem() const { return problem_; }

private:
    void* Symbol(const char* name);

    std::string soname_;
    void* handle_ = nullptr;
    std::string problem_;
};

} // namespace quillion
