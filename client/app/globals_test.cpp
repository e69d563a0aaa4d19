// The program's six globals are built in their order, each registering its destructor right
// after it is built, and destroyed in the reverse order at exit.
#include <gtest/gtest.h>

#include "peer_process.h"
#include "test_root.h"

namespace {

TEST(GlobalsTest, TheSixGlobalsAreBuiltInTheirOrderAndDestroyedInTheReverseOne) {
    brtest::ScopedTestRoot root;
    brtest::PeerProcess program("client_app_globals_helper");
    ASSERT_TRUE(program.Start({}));
    EXPECT_EQ(program.ReadLine(),
              "built theApp g_strSwfPath g_Log g_PlayerCore g_MediaPlay g_strWorkDir");
    for (const char* name :
         {"g_strWorkDir", "g_MediaPlay", "g_PlayerCore", "g_Log", "g_strSwfPath", "theApp"})
        EXPECT_EQ(program.ReadLine(), std::string("destroyed ") + name);
    EXPECT_EQ(program.ReadLine(1000), "") << "nothing after theApp";
    EXPECT_EQ(program.Wait(10000), 0);
}

}  // namespace
