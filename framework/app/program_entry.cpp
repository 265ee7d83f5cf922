// The process entry of a program on the framework.
#include "framework/app/app.h"

int main(int argc, char** argv) { return KorvenMain(argc, argv); }
