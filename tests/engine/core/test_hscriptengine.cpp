#include "engine/core/HScriptEngine.h"

#include <gtest/gtest.h>

#include <lua.hpp>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// Reaches the state for fixtures that the engine's own operations cannot
// build, and for pushing errors outside every protected call.
class ExposedLuaEngine : public HLuaScriptEngine {
public:
    lua_State *state() { return m_state; }
};

class LuaEngineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(engine.initialize()); }
    void TearDown() override { engine.shutdown(); }

    bool run(const char *chunk) { return engine.executeBuffer(chunk, static_cast<int32_t>(strlen(chunk))); }

    // The global's field as text, read through Lua itself.
    std::string globalText(const char *name)
    {
        lua_State *L = engine.state();
        lua_getglobal(L, name);
        std::string text = lua_isstring(L, -1) ? lua_tostring(L, -1) : "<not a string>";
        lua_pop(L, 1);
        return text;
    }

    ExposedLuaEngine engine;
};

// No library is opened, so scripts raise their errors through this.
int s_raise(lua_State *L)
{
    lua_settop(L, 1);
    return lua_error(L);
}

int s_addNumbers(lua_State *L)
{
    lua_pushnumber(L, lua_tonumber(L, 1) + lua_tonumber(L, 2));
    return 1;
}

TEST_F(LuaEngineTest, ExecuteBufferRunsChunksAndRejectsBadOnes)
{
    EXPECT_TRUE(run("x = { value = \"1\" }"));
    EXPECT_TRUE(engine.getGlobal("x"));
    EXPECT_TRUE(engine.isTable(-1));
    engine.pop(1);

    testing::internal::CaptureStderr();
    EXPECT_FALSE(run("x = = 1"));
    EXPECT_FALSE(run("local t = nil; t.field = 1"));
    std::string errors = testing::internal::GetCapturedStderr();
    // Messages name the chunk "buffer" and the failing line.
    EXPECT_NE(errors.find("[string \"buffer\"]:1:"), std::string::npos) << errors;
    EXPECT_NE(errors.find("attempt to index"), std::string::npos) << errors;

    // The chunk that failed halfway kept what it did before the error.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(run("y = 1; z = nil + 1"));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(globalText("y"), "1");
    EXPECT_EQ(engine.getTop(), 0);

    EXPECT_FALSE(engine.executeBuffer(nullptr, 0));
    EXPECT_FALSE(engine.executeBuffer("x = 1", -1));
    EXPECT_TRUE(engine.executeBuffer("", 0));
}

TEST_F(LuaEngineTest, ErrorsGoToTheScriptsAlertFunctionWhenItHasOne)
{
    engine.registerFunction("raise", s_raise);
    ASSERT_TRUE(run("function _ALERT(message) lastAlert = message end"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(run("local t = nil; t.x = 1"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(globalText("lastAlert").find("[string \"buffer\"]:1: attempt to index"), std::string::npos);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(run("raise('broken on purpose')"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(globalText("lastAlert"), "broken on purpose");

    // A failing _ALERT is not fatal either; both messages reach stderr.
    ASSERT_TRUE(run("function _ALERT(message) raise('alert broke') end"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(run("raise('second')"));
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("second"), std::string::npos) << errors;
    EXPECT_NE(errors.find("alert broke"), std::string::npos) << errors;

    // An error value that is not a string is reported as such.
    ASSERT_TRUE(run("_ALERT = nil"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(run("raise({})"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("not a string"), std::string::npos);
    EXPECT_EQ(engine.getTop(), 0);
}

TEST_F(LuaEngineTest, ExecuteBufferLeavesTheStackAndRefusesPrecompiledChunks)
{
    engine.pushString("mine");
    EXPECT_TRUE(run("return 1, 2, 3"));
    EXPECT_EQ(engine.getTop(), 1);
    EXPECT_STREQ(engine.toString(-1), "mine");

    // A dumped function is accepted by Lua's loader but never verified.
    lua_State *L = engine.state();
    ASSERT_EQ(luaL_loadstring(L, "hacked = true"), 0);
    std::string bytecode;
    lua_dump(L, [](lua_State *, const void *p, size_t n, void *out) {
        static_cast<std::string *>(out)->append(static_cast<const char *>(p), n);
        return 0;
    }, &bytecode);
    lua_pop(L, 1);
    ASSERT_EQ(bytecode[0], '\033');

    testing::internal::CaptureStderr();
    EXPECT_FALSE(engine.executeBuffer(bytecode.data(), static_cast<int32_t>(bytecode.size())));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("precompiled"), std::string::npos);
    EXPECT_FALSE(engine.getGlobal("hacked"));
    engine.pop(1);
    EXPECT_EQ(engine.getTop(), 1);
}

TEST_F(LuaEngineTest, GlobalsAndTablesOnTheStack)
{
    EXPECT_TRUE(engine.getTable(nullptr));
    EXPECT_TRUE(engine.isTable(-1));
    EXPECT_EQ(engine.getTop(), 1);
    engine.pop(1);

    // A missing global still leaves its nil pushed.
    EXPECT_FALSE(engine.getGlobal("missing"));
    EXPECT_EQ(engine.getTop(), 1);
    engine.pop(1);

    ASSERT_TRUE(engine.newTable());
    EXPECT_TRUE(engine.setField("value", "abc"));
    EXPECT_TRUE(engine.setField("flags", "3"));
    EXPECT_TRUE(engine.setGlobal("v"));
    EXPECT_EQ(engine.getTop(), 0);
    ASSERT_TRUE(run("copied = v.value .. v.flags"));
    EXPECT_EQ(globalText("copied"), "abc3");

    // Walking the globals sees the table just stored.
    int tables = 0;
    engine.getTable(nullptr);
    engine.pushNil();
    while (engine.next(-2)) {
        if (engine.isTable(-1) && strcmp(engine.toString(-2), "v") == 0)
            ++tables;
        engine.pop(1);
    }
    engine.pop(1);
    EXPECT_EQ(tables, 1);
    EXPECT_EQ(engine.getTop(), 0);

    // getTable with a name reads a subtable of the top table.
    ASSERT_TRUE(run("outer = { inner = {}, plain = 5 }"));
    ASSERT_TRUE(engine.getGlobal("outer"));
    EXPECT_TRUE(engine.getTable("inner"));
    engine.pop(1);
    EXPECT_FALSE(engine.getTable("plain"));
    EXPECT_FALSE(engine.getTable("absent"));
    EXPECT_EQ(engine.getTop(), 1);
    engine.pop(5); // more than there are: only what is there goes
    EXPECT_EQ(engine.getTop(), 0);
}

TEST_F(LuaEngineTest, GetTableStringReadsStringsAndNumbers)
{
    ASSERT_TRUE(run("t = { flags = 3, value = 'text', half = 0.5, yes = true, sub = {} }"));
    ASSERT_TRUE(engine.getGlobal("t"));
    EXPECT_STREQ(engine.getTableString("flags"), "3");
    EXPECT_STREQ(engine.getTableString("value"), "text");
    EXPECT_STREQ(engine.getTableString("half"), "0.5");
    EXPECT_EQ(engine.getTableString("yes"), nullptr);
    EXPECT_EQ(engine.getTableString("sub"), nullptr);
    EXPECT_EQ(engine.getTableString("absent"), nullptr);
    EXPECT_EQ(engine.getTableString(nullptr), nullptr);
    EXPECT_EQ(engine.getTop(), 1);
    engine.pop(1);

    engine.pushString("not a table");
    EXPECT_EQ(engine.getTableString("flags"), nullptr);
    EXPECT_EQ(engine.getTop(), 1);
}

TEST_F(LuaEngineTest, NumberFieldsReadOnlyFromNumbers)
{
    ASSERT_TRUE(run("t = { pos = 2.75, neg = -2.75, text = '5', huge = 1e20, tiny = -1e20 }"));
    ASSERT_TRUE(engine.getGlobal("t"));
    struct Case {
        const char *key;
        bool found;
        float number;
        int32_t integer;
    } cases[] = {
        {"pos", true, 2.75f, 2},
        {"neg", true, -2.75f, -2},
        {"text", false, 0.0f, 0}, // a numeric string is not a number field
        {"absent", false, 0.0f, 0},
        {"huge", true, 1e20f, INT32_MAX},
        {"tiny", true, -1e20f, INT32_MIN},
    };
    for (const Case &c : cases) {
        float number = 99.0f;
        int32_t integer = 99;
        EXPECT_EQ(engine.getTableNumber(c.key, &number), c.found) << c.key;
        EXPECT_FLOAT_EQ(number, c.number) << c.key;
        EXPECT_EQ(engine.getTableInt(c.key, &integer), c.found) << c.key;
        EXPECT_EQ(integer, c.integer) << c.key;
        EXPECT_EQ(engine.getTop(), 1) << c.key;
    }
    engine.pop(1);

    // On a value that is not a table the caller's value stays where it was.
    engine.pushString("keep me");
    float number = 99.0f;
    EXPECT_FALSE(engine.getTableNumber("pos", &number));
    EXPECT_EQ(number, 0.0f);
    EXPECT_EQ(engine.getTop(), 1);
    EXPECT_STREQ(engine.toString(-1), "keep me");
}

TEST_F(LuaEngineTest, SubtableNumbers)
{
    ASSERT_TRUE(run("t = { pos = { x = 4.5 }, flat = 1 }"));
    ASSERT_TRUE(engine.getGlobal("t"));
    float out = 99.0f;
    EXPECT_FALSE(engine.getSubtableNumber("posx", &out));
    EXPECT_EQ(out, 99.0f); // refused before anything is read

    EXPECT_TRUE(engine.getSubtableNumber("pos.x", &out));
    EXPECT_FLOAT_EQ(out, 4.5f);
    for (const char *key : {"pos.y", "flat.x", "none.x", "pos."}) {
        out = 99.0f;
        EXPECT_FALSE(engine.getSubtableNumber(key, &out)) << key;
        EXPECT_EQ(out, 0.0f) << key;
    }
    EXPECT_EQ(engine.getTop(), 1);

    // Below a value that is not a table there is no subtable, and no error.
    engine.pushString("plain");
    out = 99.0f;
    EXPECT_FALSE(engine.getSubtableNumber("pos.x", &out));
    EXPECT_EQ(out, 0.0f);
    EXPECT_EQ(engine.getTop(), 2);
}

TEST_F(LuaEngineTest, TableSizeNeedsTheScriptsGetnAndIndexedStrings)
{
    ASSERT_TRUE(run("list = { 'a', 'b', 3 }"));
    ASSERT_TRUE(engine.getGlobal("list"));
    // No library is opened, so there is no table.getn: no size, no crash.
    EXPECT_EQ(engine.getTableSize(), 0);
    EXPECT_EQ(engine.getTop(), 1);
    EXPECT_STREQ(engine.readTableStringByIndex(0), "a");
    EXPECT_STREQ(engine.readTableStringByIndex(1), "b"); // allowed up to size + 1
    EXPECT_EQ(engine.readTableStringByIndex(2), nullptr);
    engine.pop(1);

    ASSERT_TRUE(run("table = { getn = function(t) local n = 0; while t[n + 1] do n = n + 1 end; return n end }"));
    ASSERT_TRUE(engine.getGlobal("list"));
    EXPECT_EQ(engine.getTableSize(), 3);
    EXPECT_STREQ(engine.readTableStringByIndex(0), "a");
    EXPECT_STREQ(engine.readTableStringByIndex(1), "b");
    EXPECT_EQ(engine.readTableStringByIndex(2), nullptr); // the number 3
    EXPECT_EQ(engine.readTableStringByIndex(3), nullptr); // element 4 is nil
    EXPECT_EQ(engine.readTableStringByIndex(5), nullptr); // beyond size + 1
    EXPECT_EQ(engine.readTableStringByIndex(-1), nullptr);
    EXPECT_EQ(engine.getTop(), 1);
    engine.pop(1);

    // A getn that fails, and a top value that is not a table.
    ASSERT_TRUE(run("table.getn = function() local t = nil; return t.n end"));
    ASSERT_TRUE(engine.getGlobal("list"));
    EXPECT_EQ(engine.getTableSize(), 0);
    engine.pop(1);
    engine.pushString("text");
    EXPECT_EQ(engine.getTableSize(), 0);
    EXPECT_EQ(engine.readTableStringByIndex(0), nullptr);
    EXPECT_EQ(engine.getTop(), 1);
}

// Each of these used to raise a Lua error outside any protected call, which
// ends the process.
TEST_F(LuaEngineTest, OperationsOnTheWrongValuesFailInsteadOfRaising)
{
    engine.pushString("not a table");
    EXPECT_FALSE(engine.setField("value", "1"));
    EXPECT_FALSE(engine.getTable("field"));
    EXPECT_EQ(engine.getTop(), 1);
    EXPECT_EQ(engine.next(-1), 0); // pops the "key" as the end of a walk
    EXPECT_EQ(engine.getTop(), 0);

    // A key that is not in the table ends the walk.
    ASSERT_TRUE(run("t = { a = 1 }"));
    ASSERT_TRUE(engine.getGlobal("t"));
    engine.pushString("not a key of t");
    EXPECT_EQ(engine.next(-2), 0);
    EXPECT_EQ(engine.getTop(), 1);
    engine.pop(1);

    // A nil key cannot be stored.
    ASSERT_TRUE(engine.newTable());
    EXPECT_FALSE(engine.setField(nullptr, "1"));
    engine.pop(1);

    // Indices below the bottom of the stack read as nothing.
    EXPECT_FALSE(engine.isTable(-3));
    EXPECT_EQ(engine.toString(-3), nullptr);
    EXPECT_EQ(engine.toNumber(-3), 0.0f);
    EXPECT_EQ(engine.toUserdata(-3), nullptr);
    EXPECT_EQ(engine.getTop(), 0);
    EXPECT_FALSE(engine.setGlobal("nothing to store"));
}

TEST_F(LuaEngineTest, FunctionsAreRegisteredAndCalled)
{
    engine.registerFunction("add", s_addNumbers);
    EXPECT_EQ(engine.getTop(), 0);
    ASSERT_TRUE(run("sum = add(2, 3)"));
    EXPECT_EQ(globalText("sum"), "5");

    ASSERT_TRUE(engine.getFunction("add"));
    engine.pushNumber(1.5f);
    engine.pushNumber(2.0f);
    EXPECT_TRUE(engine.call(2, 1));
    EXPECT_FLOAT_EQ(engine.toNumber(-1), 3.5f);
    engine.pop(1);

    // Not a function: the value stays pushed.
    ASSERT_TRUE(run("notFunction = 1"));
    EXPECT_FALSE(engine.getFunction("notFunction"));
    EXPECT_FALSE(engine.getFunction("absent"));
    EXPECT_EQ(engine.getTop(), 2);
    engine.pop(2);

    // A failing call is reported and stands in nils for its results.
    engine.registerFunction("raise", s_raise);
    ASSERT_TRUE(run("function fails() raise('inside') end"));
    ASSERT_TRUE(engine.getFunction("fails"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(engine.call(0, 2));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("inside"), std::string::npos);
    EXPECT_EQ(engine.getTop(), 2);
    EXPECT_EQ(lua_type(engine.state(), -1), LUA_TNIL);
    engine.pop(2);

    // Calling with nothing to call.
    EXPECT_FALSE(engine.call(0, 0));
    engine.pushNumber(1.0f);
    EXPECT_FALSE(engine.call(1, 0));
    engine.pop(1);

    int cookie = 0;
    engine.pushLightUserdata(&cookie);
    EXPECT_EQ(engine.toUserdata(-1), &cookie);
    engine.pop(1);

    engine.registerFunction("add", nullptr);
    EXPECT_FALSE(engine.getFunction("add"));
}

TEST(LuaEngine, InitializeReplacesTheStateAndShutdownClosesIt)
{
    ExposedLuaEngine engine;
    EXPECT_EQ(engine.state(), nullptr);
    ASSERT_TRUE(engine.initialize());
    ASSERT_TRUE(engine.executeBuffer("old = {}", 8));
    ASSERT_TRUE(engine.initialize());
    EXPECT_FALSE(engine.getGlobal("old"));
    engine.shutdown();
    EXPECT_EQ(engine.state(), nullptr);
    engine.shutdown(); // twice is harmless
}

TEST(LuaEngine, EveryOperationIsSafeWithoutAState)
{
    HLuaScriptEngine engine;
    float number = 1.0f;
    int32_t integer = 1;
    EXPECT_FALSE(engine.executeBuffer("x = 1", 5));
    EXPECT_EQ(engine.getTop(), 0);
    engine.pop(1);
    engine.pushNil();
    engine.pushString("a");
    engine.pushNumber(1.0f);
    engine.pushLightUserdata(nullptr);
    EXPECT_FALSE(engine.newTable());
    EXPECT_FALSE(engine.setField("a", "b"));
    EXPECT_FALSE(engine.setGlobal("a"));
    EXPECT_FALSE(engine.getGlobal("a"));
    EXPECT_FALSE(engine.getTable(nullptr));
    EXPECT_FALSE(engine.isTable(-1));
    EXPECT_EQ(engine.next(-1), 0);
    EXPECT_EQ(engine.toString(-1), nullptr);
    EXPECT_EQ(engine.toUserdata(-1), nullptr);
    EXPECT_EQ(engine.toNumber(-1), 0.0f);
    EXPECT_EQ(engine.getTableString("a"), nullptr);
    EXPECT_FALSE(engine.getTableNumber("a", &number));
    EXPECT_EQ(number, 0.0f);
    EXPECT_FALSE(engine.getTableInt("a", &integer));
    EXPECT_EQ(integer, 0);
    EXPECT_FALSE(engine.getSubtableNumber("a.b", &number));
    EXPECT_EQ(engine.getTableSize(), 0);
    EXPECT_EQ(engine.readTableStringByIndex(0), nullptr);
    EXPECT_FALSE(engine.getFunction("a"));
    engine.registerFunction("add", s_addNumbers);
    EXPECT_FALSE(engine.call(0, 0));
}

TEST(LuaEngineDeathTest, AnUnprotectedErrorIsReportedBeforeLuaEndsTheProcess)
{
    EXPECT_EXIT(
        {
            dup2(2, 1); // the alert box goes to standard output
            ExposedLuaEngine engine;
            engine.initialize();
            lua_pushstring(engine.state(), "raised outside");
            lua_error(engine.state());
        },
        testing::ExitedWithCode(EXIT_FAILURE), "unprotected Lua error 'raised outside'");
}

} // namespace
