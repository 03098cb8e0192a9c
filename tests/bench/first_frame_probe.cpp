// Loaded into the real program with LD_PRELOAD by tilmar_measure: tells
// when the main loop shows its first frame. The loading screen presents its
// pictures without the event queue, and only the queue sleeps (SDL_Delay,
// when it finds nothing to do); so the first screen update after the
// program's first sleep on its main thread is the first frame of the main
// loop, the title screen. The moment, as CLOCK_MONOTONIC nanoseconds in 8
// bytes, goes to the file descriptor named by TILMAR_PROBE_FD.
#include <SDL/SDL.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool s_slept = false;
bool s_told = false;

template <typename F>
F s_real(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// A call made by the program itself on its main thread, not by SDL.
bool s_fromProgramMainThread(void *caller)
{
    if (syscall(SYS_gettid) != getpid())
        return false;
    Dl_info info;
    if (!dladdr(caller, &info) || !info.dli_fname)
        return true;
    return std::strstr(info.dli_fname, "libSDL") == nullptr;
}

void s_tell()
{
    s_told = true;
    const char *fdText = std::getenv("TILMAR_PROBE_FD");
    if (!fdText)
        return;
    const int fd = std::atoi(fdText);
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const int64_t ns = static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
    if (write(fd, &ns, sizeof ns) != static_cast<ssize_t>(sizeof ns))
        return;
    close(fd);
}

} // namespace

extern "C" {

void SDL_Delay(Uint32 ms)
{
    static auto real = s_real<void (*)(Uint32)>("SDL_Delay");
    if (!s_slept && s_fromProgramMainThread(__builtin_return_address(0)))
        s_slept = true;
    real(ms);
}

void SDL_UpdateRects(SDL_Surface *screen, int count, SDL_Rect *rects)
{
    static auto real = s_real<void (*)(SDL_Surface *, int, SDL_Rect *)>("SDL_UpdateRects");
    real(screen, count, rects);
    if (s_slept && !s_told && s_fromProgramMainThread(__builtin_return_address(0)))
        s_tell();
}

} // extern "C"
