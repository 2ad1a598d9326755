/* Start-up probe, preloaded into the game by bench/startup_time.py: on the first buffer swap it
   prints the CLOCK_MONOTONIC time in seconds on standard error and ends the process, so the
   harness can measure process start to first frame swapped. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

void SDL_GL_SwapBuffers(void) {
    void (*real)(void) = (void (*)(void))dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers");
    if (real)
        real();
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    fprintf(stderr, "first-swap %ld.%09ld\n", (long)now.tv_sec, now.tv_nsec);
    fflush(stderr);
    _exit(0);
}
