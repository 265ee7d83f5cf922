// The network record: the session service and the open session.
#pragma once

struct NetworkState {
    NetworkState();
    ~NetworkState();
};

extern NetworkState gNetwork;
