// STLS through scripted servers: the login happens only inside TLS, a reply
// sent before the handshake is never read after it, and a server that refuses
// STLS ends the run before the password is sent.
#include <gtest/gtest.h>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "support/ScriptedSocket.h"
#include "tests/pop3/Pop3TestSupport.h"

namespace {

using pop3test::Home;
using pop3test::Receive;
using qimtest::Scenario;
using qimtest::ScriptedSockets;

TEST(Stls, TheLoginGoesInsideTlsAndWhatCameBeforeTheHandshakeIsDropped) {
    Home home;
    home.inet.pop3Security = kSecurityStartTls;
    // "-ERR injected" would refuse the USER if it were read after the handshake.
    Scenario s("S: +OK ready\nC: STLS\nS: +OK begin\nS: -ERR injected\n-- tls\n"
               "C: USER taro\nS: +OK\nC: PASS secret\nS: +OK logged in\nC: STAT\nS: +OK 0 0\n"
               "C: QUIT\nS: +OK bye\n-- close");
    ScriptedSockets sockets(s);
    const auto r = Receive(home);
    EXPECT_TRUE(r.seen.notices.empty()) << (r.seen.notices.empty() ? "" : r.seen.notices[0]);
    EXPECT_FALSE(r.seen.failed);
}

TEST(Stls, AServerThatRefusesStlsEndsTheRunWithoutTheLogin) {
    Home home;
    home.inet.pop3Security = kSecurityStartTls;
    Scenario s("S: +OK ready\nC: STLS\nS: -ERR not here");
    ScriptedSockets sockets(s);
    const auto r = Receive(home);
    EXPECT_TRUE(r.seen.failed);
    EXPECT_TRUE(r.seen.Noticed(LoadQimString(qimstr::ErrorAborting)));
    EXPECT_FALSE(s.ClientSaid("USER taro"));
    EXPECT_TRUE(r.seen.logins.empty());
}

}  // namespace
