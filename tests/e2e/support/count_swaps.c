/* Preloaded into the game by the end-to-end tests that check the frame rate: counts buffer swaps
   and keeps the count, eight bytes, at the start of the file named by PELLVANE_SWAP_COUNT. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

void SDL_GL_SwapBuffers(void) {
    static void (*real)(void);
    static int fd = -1;
    static long long frames;
    if (!real) {
        real = (void (*)(void))dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers");
        const char* path = getenv("PELLVANE_SWAP_COUNT");
        if (path)
            fd = open(path, O_WRONLY | O_CREAT, 0600);
    }
    if (real)
        real();
    ++frames;
    if (fd >= 0 && pwrite(fd, &frames, sizeof frames, 0) < 0)
        fd = -1;
}
