// The four global records, defined together so that they are constructed in
// this order before the entry procedure and destroyed in the reverse order
// after it. The platform outlives them all: it is opened by KorvenMain and
// closed by the first object here, which is destroyed last.
#include "framework/display/display.h"
#include "framework/net/network.h"
#include "framework/scene3d/scene3d.h"
#include "framework/sound/sound.h"
#include "platform/win/platform.h"

namespace {

struct PlatformLifetime {
    ~PlatformLifetime() { PlatformClose(); }
};

PlatformLifetime gPlatformLifetime;

}  // namespace

DisplayState gDisplay;
Direct3DState gDirect3D;
SoundState gSound;
NetworkState gNetwork;
