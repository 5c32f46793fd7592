#include "platform/DriverModules.h"

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#endif

namespace vell {

void keepDriverModulesLoaded() {
#if defined(__SANITIZE_ADDRESS__)
    static const char* const modules[] = {
        "libGL.so.1",
        "libGLX_mesa.so.0",
        "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so",
        "libLLVM-15.so.1",
    };
    for (const char* m : modules)
        dlopen(m, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE); // a missing one is fine
#endif
}

} // namespace vell
