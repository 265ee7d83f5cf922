// The DirectPlay object that CoCreateInstance makes.
#pragma once

#include "platform/dplay/dplay.h"

// A new object with one reference, or null when the network layer cannot start.
IDirectPlay3A* NewDirectPlay();
