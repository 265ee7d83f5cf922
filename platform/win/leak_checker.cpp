// What a sanitizer build's leak checker leaves out: blocks that system
// libraries allocate for themselves and never free (fontconfig's parsed
// configuration, the desktop bus connection the display library opens, and
// the model reader's parser state: on a damaged compressed .x file the
// library throws past its own inflate stream and node objects, which nothing
// outside it can reach or free).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           "leak:libassimp.so\n";
}
