#include "accounts/LibCrypto.h"

#include <dlfcn.h>

namespace {

// The library of the major version the headers describe; it stays loaded
// for the rest of the run.
constexpr const char* kLibraryName = "libcrypto.so.3";

bool Load(TLibCrypto& table)
{
    void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        return false;
    bool complete = true;
#define LOTSCOPE_LIBCRYPTO_RESOLVE(name)                                                                               \
    table.name = reinterpret_cast<decltype(table.name)>(dlsym(library, #name));                                        \
    complete = complete && table.name != nullptr;
    LOTSCOPE_LIBCRYPTO_FUNCTIONS(LOTSCOPE_LIBCRYPTO_RESOLVE)
#undef LOTSCOPE_LIBCRYPTO_RESOLVE
    return complete;
}

}  // namespace

const TLibCrypto* LibCrypto()
{
    static const TLibCrypto* const loaded = [] {
        static TLibCrypto table;
        return Load(table) ? &table : nullptr;
    }();
    return loaded;
}
