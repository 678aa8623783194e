#include "host/shared_file.h"

#if defined(_WIN32)
#include <share.h>
#endif

SharedFile openSharedForReading(const char* path) {
#if defined(_WIN32)
    // Denies other openers neither reading nor writing; deletion is not shared.
    return SharedFile(_fsopen(path, "rb", _SH_DENYNO));
#else
    return SharedFile(std::fopen(path, "rb"));
#endif
}
