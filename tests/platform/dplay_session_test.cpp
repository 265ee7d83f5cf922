// Network sessions between processes on the loopback interface: finding,
// joining, players, ordered guaranteed messages, a full session, the host
// killed and the session migrating. Every process uses the local-machine
// service (loopback only) on session ports of the test's own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <random>

#include "tests/support/child_process.h"
#include "tests/support/network_sessions.h"

namespace {

bool IsEnd(const std::string& line) { return line == "end" || line.rfind("error", 0) == 0; }

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        port_ = TestSessionPort();  // ports of our own: tests running side by side never meet
    }

    ChildProcess& Peer() {
        peers_.push_back(std::make_unique<ChildProcess>(
            "dplay_peer", std::vector<std::string>{"--dplay-port=" + std::to_string(port_)}));
        EXPECT_EQ(peers_.back()->Ask("connect local"), "ok");
        return *peers_.back();
    }

    ChildProcess& Host(const std::string& name, int maxPlayers, const std::string& player) {
        ChildProcess& host = Peer();
        EXPECT_EQ(host.Ask("host " + name + " " + std::to_string(maxPlayers) + " 44"), "ok");
        EXPECT_EQ(host.Ask("player " + player), "ok");
        return host;
    }

    ChildProcess& Member(const std::string& session, const std::string& player) {
        ChildProcess& member = Peer();
        member.Ask("search 300", IsEnd);
        return JoinAs(member, session, player);
    }
    static ChildProcess& JoinAs(ChildProcess& peer, const std::string& session, const std::string& player) {
        EXPECT_EQ(peer.Ask("join " + session), "ok");
        EXPECT_EQ(peer.Ask("player " + player), "ok");
        return peer;
    }

    static std::vector<std::string> Expect(ChildProcess& peer, int count, int ms = 5000) {
        std::vector<std::string> lines = peer.Ask("expect " + std::to_string(count) + " " + std::to_string(ms), IsEnd);
        lines.pop_back();
        return lines;
    }

    int port_ = 0;
    std::vector<std::unique_ptr<ChildProcess>> peers_;
};

using Lines = std::vector<std::string>;

TEST_F(SessionTest, TwoProcessesFindEachOtherJoinAndExchangeInOrder) {
    ChildProcess& host = Host("Room", 8, "alice");
    ChildProcess& searcher = Peer();
    EXPECT_EQ(searcher.Ask("search 300", IsEnd), (Lines{"session Room 1/8", "end"}));
    JoinAs(searcher, "Room", "bob");
    EXPECT_EQ(Expect(host, 1), Lines{"create bob"});
    EXPECT_EQ((Lines{host.Ask("players"), searcher.Ask("players")}), (Lines{"players 2 alice bob", "players 2 alice bob"}));

    // Guaranteed messages arrive complete and in the order they were sent.
    EXPECT_EQ(searcher.Ask("flood all 200"), "ok");
    Lines expected;
    for (int i = 1; i <= 200; ++i) expected.push_back("msg bob " + std::to_string(i));
    EXPECT_EQ(Expect(host, 200), expected);
    EXPECT_EQ(host.Ask("send bob g back"), "ok");
    EXPECT_EQ(Expect(searcher, 1), Lines{"msg alice back"});

    // A member that leaves right after sending is destroyed on the host's
    // side after its last messages arrived.
    EXPECT_EQ(searcher.Ask("flood all 50 close"), "ok");
    expected.resize(50);
    expected.push_back("destroy bob");
    EXPECT_EQ(Expect(host, 51), expected);
    EXPECT_EQ(host.Ask("dropped"), "dropped 0");
}

TEST_F(SessionTest, ThreeProcessesSeeTheRoomFillAndAddressPlayers) {
    ChildProcess& host = Host("Room", 8, "alice");
    ChildProcess& bob = Member("Room", "bob");
    ChildProcess& carol = Peer();
    EXPECT_EQ(carol.Ask("search 300", IsEnd), (Lines{"session Room 2/8", "end"}));
    JoinAs(carol, "Room", "carol");
    EXPECT_EQ(Expect(host, 2), (Lines{"create bob", "create carol"}));
    EXPECT_EQ(Expect(bob, 1), Lines{"create carol"});
    EXPECT_EQ(carol.Ask("players"), "players 3 alice bob carol");

    // A message to one player reaches that player only; one to all reaches
    // everyone but the sender.
    EXPECT_EQ(carol.Ask("send bob g to-bob"), "ok");
    EXPECT_EQ(carol.Ask("send all g to-all"), "ok");
    EXPECT_EQ(Expect(bob, 2), (Lines{"msg carol to-bob", "msg carol to-all"}));
    EXPECT_EQ(Expect(host, 1), Lines{"msg carol to-all"});
    EXPECT_EQ((Lines{host.Ask("count"), carol.Ask("count")}), (Lines{"count 0", "count 0"}));
}

TEST_F(SessionTest, AFullSessionRefusesAJoin) {
    Host("Pair", 2, "alice");
    Member("Pair", "bob");
    ChildProcess& late = Peer();
    EXPECT_EQ(late.Ask("search 300", IsEnd), (Lines{"session Pair 2/2", "end"}));
    EXPECT_EQ(late.Ask("join Pair"), "error 8877014a");  // DPERR_NONEWPLAYERS
}

TEST_F(SessionTest, KilledHostMigratesWithNoMemberLost) {
    ChildProcess& host = Host("Room", 8, "alice");
    ChildProcess& bob = Member("Room", "bob");
    ChildProcess& carol = Member("Room", "carol");
    EXPECT_EQ(Expect(bob, 1), Lines{"create carol"});
    host.Kill();
    bob.Pause(true);

    // The member that joined first takes over; the other one follows it. What
    // carol sends before it reaches the new host waits for it.
    EXPECT_EQ(Expect(carol, 1), Lines{"destroy alice"});
    EXPECT_EQ(carol.Ask("send all g still-here"), "ok");
    bob.Pause(false);
    EXPECT_EQ(Expect(bob, 3), (Lines{"destroy alice", "host", "msg carol still-here"}));
    EXPECT_EQ((Lines{bob.Ask("players"), carol.Ask("players")}), (Lines{"players 2 bob carol", "players 2 bob carol"}));

    // The session can still be found and joined through its new host.
    ChildProcess& dave = Peer();
    EXPECT_EQ(dave.Ask("search 300", IsEnd), (Lines{"session Room 2/8", "end"}));
    JoinAs(dave, "Room", "dave");
    EXPECT_EQ(Expect(carol, 1), Lines{"create dave"});
}

TEST_F(SessionTest, WithoutMigrationTheMembersLoseTheSession) {
    ChildProcess& host = Peer();
    EXPECT_EQ(host.Ask("host Solo 4 40"), "ok");  // keep-alive only
    EXPECT_EQ(host.Ask("player alice"), "ok");
    ChildProcess& bob = Member("Solo", "bob");
    host.Kill();
    EXPECT_EQ(Expect(bob, 1), Lines{"lost"});
    EXPECT_EQ(bob.Ask("send all g anyone"), "error 88770136");  // DPERR_SESSIONLOST
}

}  // namespace
