// What a sanitizer build's leak checker leaves out: blocks that system
// libraries allocate for themselves and never free (fontconfig's parsed
// configuration, the desktop bus connection the display library opens, what
// the model library had read of a malformed model when it gave up).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           "leak:libassimp.so\n";
}
