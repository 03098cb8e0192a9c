// "config.txt" of the resources as the partner link reads it: the bytes are
// the file, the address is found as the link finds it (the registry of a
// scratch home holds none), and checked as the web-browser launcher checks
// it before it goes to the shell. An address the launcher takes must not be
// able to leave its single quotes or pass for a browser option.
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/core/HUnixPlatform.h"
#include "engine/core/HWebBrowser.h"
#include "framework/framework_test_support.h"
#include "fuzz/fuzz_support.h"
#include "support/memory_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::scratchHome();
    static TestGame game;

    MemoryFileSystem files;
    files.add("config.txt", std::string(reinterpret_cast<const char *>(data), size));
    game.m_pResourceFileSystem = &files;
    char url[1024];
    std::memset(url, 0x55, sizeof url);
    game.findPartnerURL(kVelmoraWebAddress, "Velmora", "Tilmar", url, sizeof url);
    game.m_pResourceFileSystem = nullptr;
    if (files.openCount() != 0)
        __builtin_trap();  // the link left the file open
    if (std::memchr(url, 0, sizeof url) == nullptr)
        __builtin_trap();

    if (isLaunchableURL(url)) {
        if (url[0] == '-')
            __builtin_trap();
        for (const char *c = url; *c; ++c)
            if (*c == '\'' || static_cast<unsigned char>(*c) < 0x20 || static_cast<unsigned char>(*c) >= 0x7F)
                __builtin_trap();
    }
    return 0;
}
