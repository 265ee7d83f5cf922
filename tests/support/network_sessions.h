// Driving the framework's network set-up in tests: session ports of the test's
// own on loopback, peer processes whose sessions are this framework's, and
// the script lines that choose a row of a selection screen.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "framework/net/network.h"
#include "tests/support/child_process.h"

// The first of 32 session ports that other tests running at the same time are
// unlikely to use.
inline int TestSessionPort() {
    std::random_device random;
    return 20000 + 32 * static_cast<int>((random() ^ static_cast<unsigned>(getpid())) % 1200);
}

// A dplay_peer on the local-machine service whose sessions carry the
// framework's application GUID.
inline std::unique_ptr<ChildProcess> StartFrameworkPeer(int port) {
    std::string app = "app=";
    const auto* bytes = reinterpret_cast<const uint8_t*>(&NETWORK_APPLICATION_GUID);
    for (size_t i = 0; i < sizeof(GUID); ++i) {
        char hex[3];
        std::snprintf(hex, sizeof(hex), "%02x", bytes[i]);
        app += hex;
    }
    auto peer = std::make_unique<ChildProcess>(
        "dplay_peer", std::vector<std::string>{"--dplay-port=" + std::to_string(port), app});
    EXPECT_EQ(peer->Ask("connect local"), "ok");
    return peer;
}

// Double-clicks a row of a selection screen's list at frames frame and
// frame + 1: rows of 18 pixels below the list's 1-pixel border, the list
// starting under the 32-pixel caption.
inline std::string DoubleClickRow(int frame, int row) {
    const std::string f = std::to_string(frame), g = std::to_string(frame + 1);
    return f + " move 100 " + std::to_string(32 + 1 + row * 18 + 9) + "\n" + f + " press lbutton\n" + f +
           " release lbutton\n" + g + " press lbutton\n" + g + " release lbutton\n";
}
