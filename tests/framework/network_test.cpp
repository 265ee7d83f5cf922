// The network set-up: enumeration tables at their limits, the selection screens
// driven by scripts, and sessions hosted by peer processes on loopback ports.
// The connection-failure question resolves a name, so it runs only inside a
// network namespace the test made (network_in_namespace.sh).
#include <algorithm>

#include "framework/dialog/dialogs.h"
#include "framework/net/choice_tables.h"
#include "framework/net/network.h"
#include "tests/framework/scripted_framework.h"
#include "tests/support/child_process.h"
#include "tests/support/dplay_services.h"
#include "tests/support/golden_frames.h"
#include "tests/support/network_sessions.h"

namespace fs = std::filesystem;

namespace {

bool IsEnd(const std::string& line) { return line == "end" || line.rfind("error", 0) == 0; }

// Types an answer into the input dialog at frame and confirms it with Enter
// two frames later.
std::string Answer(int frame, const std::string& text) {
    const std::string f = std::to_string(frame), g = std::to_string(frame + 2);
    return f + " type " + text + "\n" + g + " press return\n" + g + " release return\n";
}

// The rows of the connection screen.
constexpr int TCP_IP_ROW = 0, LOCAL_MACHINE_ROW = 1, CONNECTION_CANCEL_ROW = 2;

class NetworkSetUp : public ScriptedFramework {
protected:
    void SetUp() override {
        ScriptedFramework::SetUp();
        port_ = TestSessionPort();
    }
    // Starts the framework with the script as its input, on the test's session ports.
    void Start(const std::string& script) {
        PlatformOptions options;
        options.dplayPort = port_;
        ScriptedFramework::Start(script, options);
    }
    void TearDown() override {
        if (gNetwork.sessionOpen) gNetwork.directPlay->Close();
        gNetwork.sessionOpen = 0;
        if (gNetwork.directPlay) gNetwork.directPlay->Release();
        gNetwork.directPlay = nullptr;
        ScriptedFramework::TearDown();
    }
    static bool Contains(const std::string& log, const char* shiftJis) {
        return log.find(ShiftJisToUtf8(shiftJis)) != std::string::npos;
    }
    // A peer process whose sessions are this framework's.
    ChildProcess& Peer() {
        peers_.push_back(StartFrameworkPeer(port_));
        return *peers_.back();
    }

    int port_ = 0;
    std::vector<std::unique_ptr<ChildProcess>> peers_;
};

TEST_F(NetworkSetUp, EnumerationsStopAtTheirTableLimitsAndCreatedSessionsHoldAtMost32) {
    Start("");
    NetworkState& n = gNetwork;
    n.connectionCount = 0;
    GUID connection{};
    DPNAME name{sizeof(DPNAME), 0, const_cast<char*>("TCP/IP"), nullptr};
    int continued = 0;
    for (int i = 0; i < 17; ++i) continued += AddConnection(nullptr, &connection, sizeof(connection), &name, 0, &n);
    EXPECT_EQ(continued, 16);
    EXPECT_EQ(n.connectionCount, 16);
    EXPECT_STREQ(n.connectionNames[15], "TCP/IP");

    n.sessionCount = 0;
    DPSESSIONDESC2 session{};
    session.dwSize = sizeof(session);
    session.dwCurrentPlayers = 2;
    session.dwMaxPlayers = 8;
    session.lpszSessionNameA = const_cast<char*>("Room");
    for (int i = 0; i < 101; ++i) AddSession(&session, nullptr, 0, &n);
    EXPECT_EQ(n.sessionCount, 100);
    EXPECT_STREQ(n.sessionNames[0], "Room 2/8");
    EXPECT_EQ(AddSession(nullptr, nullptr, DPESC_TIMEDOUT, &n), FALSE) << "a full table answers before the time-out";

    n.playerCount = 0;
    DPNAME player{sizeof(DPNAME), 0, const_cast<char*>("0123456789012345678901234567890123456789"), nullptr};
    for (DPID id = 1; id <= 33; ++id) AddPlayer(id, DPPLAYERTYPE_PLAYER, &player, 0, &n);
    EXPECT_EQ(n.playerCount, 32);
    EXPECT_EQ(n.playerIds[31], 32u);
    EXPECT_STREQ(n.playerNames[0], "0123456789012345678901234567890");

    const std::string log = Log();
    for (const char* line : {"接続サービス数が16を超えました\n", "セッション数が100を超えました\n", "プレイヤー数が32を超えました\n"})
        EXPECT_TRUE(Contains(log, line)) << log;
    FreeChoiceTable(n.connections, n.connectionNames, &n.connectionCount);
    FreeChoiceTable(n.sessions, n.sessionNames, &n.sessionCount);

    // A created session has room for 32 when asked for none or too many.
    ASSERT_EQ(CreateDirectPlay(), 1);
    ASSERT_EQ(gNetwork.directPlay->InitializeConnection(ServiceConnection(gNetwork.directPlay, "Local machine").data(), 0),
              DP_OK);
    ASSERT_EQ(CreateSession("Hall", 100), 1);
    ASSERT_EQ(CreatePlayer("owner"), 1);
    EXPECT_TRUE(Contains(Log(), "Session[Hall]\n"));
    ChildProcess& searcher = Peer();
    EXPECT_EQ(searcher.Ask("search 300", IsEnd), (std::vector<std::string>{"session Hall 1/32", "end"}));
    EXPECT_EQ(searcher.Ask("join Hall"), "ok");
    EXPECT_EQ(searcher.Ask("player guest"), "ok");
    for (int i = 0; i < 100; ++i, usleep(10000)) {
        ASSERT_EQ(EnumPlayers(), 1);
        if (gNetwork.playerCount == 2) break;
    }
    ASSERT_EQ(gNetwork.playerCount, 2);
    EXPECT_EQ(searcher.Ask("close"), "ok");  // else it would carry the old session on as its host
    ASSERT_EQ(CreateSession("Hall", 0), 1);
    EXPECT_EQ(searcher.Ask("search 300", IsEnd), (std::vector<std::string>{"session Hall 0/32", "end"}));
}

TEST_F(NetworkSetUp, TheScreensFindARoomAtTheTypedAddressJoinItAndListItsPlayers) {
    ChildProcess& host = Peer();
    for (const char* line : {"host Room 8 44", "player alice", "player carol"}) EXPECT_EQ(host.Ask(line), "ok") << line;
    Start(DoubleClickRow(2, TCP_IP_ROW) + "6 capture address.png\n" + Answer(5, "127.0.0.1") + DoubleClickRow(9, 0) +
          "12 capture sessions.png\n" + DoubleClickRow(13, 0));
    ASSERT_EQ(SelectConnection(), 1);
    EXPECT_EQ(ChooseSessionStart(), 0);
    ASSERT_EQ(JoinSession(), 1);
    EXPECT_EQ(gNetwork.sessionOpen, 1);
    const fs::path golden = fs::path(KORVEN_SOURCE_DIR) / "tests/framework/golden";
    ExpectFrameMatchesGolden(folder_ / "address.png", golden / "address_question.png", FrameText::InstalledFonts);
    ExpectFrameMatchesGolden(folder_ / "sessions.png", golden / "session_screen.png", FrameText::InstalledFonts);
    ASSERT_EQ(CreatePlayer("bob"), 1);
    ASSERT_EQ(EnumPlayers(), 1);
    std::vector<std::string> names(gNetwork.playerNames, gNetwork.playerNames + gNetwork.playerCount);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"alice", "bob", "carol"}));
    EXPECT_EQ(host.Ask("expect 1 3000", IsEnd)[0], "create bob");
    const std::string log = Log();
    for (const char* line : {"Connection[TCP/IP]\n", "タイムアウトしました\n", "Session[Room 2/8]\n"})
        EXPECT_TRUE(Contains(log, line)) << log;
    EXPECT_EQ(GetDlgItem(gApp.hWnd, LIST_BOX_ID), nullptr) << "the screens took their controls away";
}

TEST_F(NetworkSetUp, CancelEntriesAndTheEndOfTheMessageLoopEndTheScreensWithoutChoosing) {
    Start(DoubleClickRow(2, CONNECTION_CANCEL_ROW) + DoubleClickRow(6, 2));
    EXPECT_EQ(SelectConnection(), 0);
    EXPECT_EQ(ChooseSessionStart(), 2);
    EXPECT_EQ(ChooseSessionStart(), -1) << "the script ran out and the program was closed under the screen";
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE) << "the quit is left for the main loop";
    EXPECT_EQ(Log().find("Connection["), std::string::npos);
}

TEST_F(NetworkSetUp, AFullRoomAsksWhetherToChooseAgainAndNoRoomSaysSo) {
    ChildProcess& host = Peer();
    for (const char* line : {"host Pair 1 44", "player alice"}) EXPECT_EQ(host.Ask(line), "ok") << line;
    // Yes: the list waits again, and its cancel entry ends it. No: it ends at once.
    Start(DoubleClickRow(2, LOCAL_MACHINE_ROW) + DoubleClickRow(6, 0) + "7 answer yes\n" + DoubleClickRow(10, 1) +
          DoubleClickRow(14, 0) + "15 answer no\n");
    ASSERT_EQ(SelectConnection(), 1);
    EXPECT_EQ(JoinSession(), 0);
    EXPECT_EQ(JoinSession(), 0);
    EXPECT_EQ(gNetwork.sessionOpen, 0);
    const std::string question = ShiftJisToUtf8("接続に失敗しました。\n別のセッションを選択しますか？");
    std::string log = Log();
    size_t asked = 0;
    for (size_t at = log.find(question); at != std::string::npos; at = log.find(question, at + 1)) ++asked;
    EXPECT_EQ(asked, 2u) << log;
    EXPECT_FALSE(Contains(log, "Session[Pair 1/1]\n")) << log;
    EXPECT_EQ(host.Ask("close"), "ok");
    EXPECT_EQ(JoinSession(), 0);
    EXPECT_TRUE(Contains(Log(), "セッションが見つかりません")) << Log();
}

// Whether loopback is the only network interface of this process's network
// namespace, as in the one network_in_namespace.sh makes: there a name lookup
// reaches no resolver. (/proc/net/dev follows the process's namespace.)
bool OnlyLoopbackInterface() {
    std::ifstream devices("/proc/net/dev");
    std::string line;
    int interfaces = 0;
    for (int row = 0; std::getline(devices, line); ++row) {
        if (row < 2) continue;  // the two heading rows
        const size_t name = line.find_first_not_of(' ');
        if (line.compare(name, 3, "lo:") != 0) return false;
        ++interfaces;
    }
    return interfaces == 1;
}

// Runs only where nothing can leave the machine (see network_in_namespace.sh).
class NetworkInNamespace : public NetworkSetUp {
protected:
    void SetUp() override {
        if (!OnlyLoopbackInterface()) GTEST_SKIP() << "needs a network namespace with loopback only";
        NetworkSetUp::SetUp();
    }
};

TEST_F(NetworkInNamespace, AnAddressThatDoesNotResolveAsksWhetherToConnectAnotherWay) {
    Start(DoubleClickRow(2, TCP_IP_ROW) + Answer(5, "nowhere.invalid") + "7 answer yes\n" +
          DoubleClickRow(9, LOCAL_MACHINE_ROW));
    EXPECT_EQ(SelectConnection(), 1);
    const std::string log = Log();
    EXPECT_TRUE(Contains(log, "接続に失敗しました。\n別の方法で接続しますか？")) << log;
    EXPECT_TRUE(Contains(log, "Connection[Local machine]\n")) << log;
    EXPECT_FALSE(Contains(log, "Connection[TCP/IP]\n")) << log;
}

}  // namespace
