/* Preloaded into the game by the end-to-end tests: dlclose does nothing, so the GL driver that
   Mesa loads stays mapped until exit and LeakSanitizer can name it in the stacks of the memory
   it keeps (tests/lsan.supp suppresses those libraries, never our code). */
int dlclose(void* handle) {
    (void)handle;
    return 0;
}
