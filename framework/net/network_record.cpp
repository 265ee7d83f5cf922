// The network record's lifetime (COM for the whole process) and the
// DirectPlay object.
#include "framework/dialog/diagnostics.h"
#include "framework/net/address_prompt.h"
#include "framework/net/network.h"

const GUID NETWORK_APPLICATION_GUID = {0x5f0c7a2e, 0x1b64, 0x4d39, {0xa2, 0x8e, 0x0d, 0x71, 0xc6, 0x93, 0x4e, 0x58}};

NetworkState::NetworkState() {
    CoInitialize(nullptr);
    directPlay = nullptr;
    sessionOpen = 0;
    // The TCP/IP service asks for the host to search through the input dialog.
    SetDirectPlayAddressPrompt(AskHostAddress);
}

NetworkState::~NetworkState() {
    if (sessionOpen) directPlay->Close();
    sessionOpen = 0;
    if (directPlay) {
        directPlay->Release();
        directPlay = nullptr;
    }
    CoUninitialize();
}

int CreateDirectPlay() {
    if (gNetwork.directPlay) {
        gNetwork.directPlay->Release();
        gNetwork.directPlay = nullptr;
    }
    const HRESULT result = CoCreateInstance(CLSID_DirectPlay, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectPlay3A,
                                            reinterpret_cast<void**>(&gNetwork.directPlay));
    if (result < 0) {
        ErrorBox("DirectPlayの構築に失敗しました");
        return 0;
    }
    return 1;
}
