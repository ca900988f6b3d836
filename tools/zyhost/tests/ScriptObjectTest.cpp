// Scene objects held by script variables follow the scene: a deleted object is
// reported as deleted, never read after it was freed, and a script's variables
// do not keep objects alive.
#include <gtest/gtest.h>

#include "mem/MemInterface.h"
#include "zyhost/ScriptHost.h"

namespace {

MemInterface& Host() { return TheMemInterface(); }

TEST(ScriptObjects, ANodeDeletedWhileAScriptHoldsItIsReportedAsDeleted) {
    Host().ResetScene();
    INode* crate = Host().CreateNode(_M("Crate"));
    Host().CreateNode(_M("Lid"), nullptr, crate);
    zyhost::ScriptHost script(Host());
    ASSERT_EQ(script.RunString(R"(
        kept = getNodeByName("Lid")
        other = getNodeByName("Lid")
        assert(kept == other and kept.name == "Lid" and kept.parent.name == "Crate")
    )"), "");

    Host().DeleteNode(crate); // takes the Lid with it

    EXPECT_EQ(script.RunString("return kept.name", "=test"), "test:1: the node was deleted");
    EXPECT_EQ(script.RunString("local n = getController(kept, 'position')", "=test"),
              "test:1: the node was deleted");
    EXPECT_EQ(script.RunString(R"(assert(tostring(kept) == "<deleted node>"); assert(kept == kept))"), "");
    EXPECT_EQ(script.RunString(R"(assert(getNodeByName("Lid") == nil))"), "");
    Host().ResetScene();
}

TEST(ScriptObjects, CollectedScriptObjectsLeaveTheSceneAsItWas) {
    Host().ResetScene();
    Host().CreateNode(_M("Crate"));
    {
        zyhost::ScriptHost script(Host());
        ASSERT_EQ(script.RunString(R"(
            for i = 1, 100 do local n = getNodeByName("Crate") end
            collectgarbage()
        )"), "");
    }
    INode* crate = Host().GetINodeByName(_M("Crate"));
    ASSERT_NE(crate, nullptr);
    EXPECT_EQ(crate->NumDependents(), 0);
    Host().ResetScene();
}

} // namespace
