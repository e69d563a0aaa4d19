// Test support: the proxy's road against a fake service in a private runtime root. The proxy's
// message center is registered as PROXY_ENDPOINT_ID and published with both proxies through the
// process-wide pointers, as InitProxy and GetPlayerCoreProxy do; the fake service is
// SERVICE_ENDPOINT_ID in the same call center.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "fake_receivers.h"
#include "fake_service.h"
#include "p2p_proxy.h"
#include "player_core_proxy.h"
#include "proxy_msg_center.h"
#include "test_root.h"

namespace proxytest {

class ProxyRoad : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The proxy's log so far.
    std::string Log();
    // The GBK bytes of a UTF-8 text, as the log holds them.
    static std::string Gbk(const char* utf8);

    brtest::ScopedTestRoot root_;
    FakeService service_;
    CProxyMsgCenter* center_ = nullptr;
    CP2PProxy* p2p_ = nullptr;
    CPlayerCoreProxy* player_ = nullptr;
    Journal journal_;
};

}  // namespace proxytest
