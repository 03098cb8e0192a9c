#include "engine/core/HScriptEngine.h"

#include <lua.hpp>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/core/HMessages.h"
#include "engine/core/HString.h"

namespace {

// Room every operation makes before it pushes; none pushes more than this.
constexpr int kStackReserve = 8;

// Indices that refer to a real slot or to a pseudo-table this engine uses;
// anything else would make Lua read outside its stack.
bool s_isValidIndex(lua_State *L, int index)
{
    if (index == LUA_GLOBALSINDEX || index == LUA_REGISTRYINDEX)
        return true;
    if (index > 0)
        return true; // above the top reads as "none"
    return index < 0 && -index <= lua_gettop(L);
}

// Relative indices shift as soon as something is pushed, so helpers that
// push first convert them.
int s_absIndex(lua_State *L, int index)
{
    if (index < 0 && index > LUA_REGISTRYINDEX)
        return lua_gettop(L) + index + 1;
    return index;
}

// Lua numbers are doubles; out-of-range values saturate instead of being
// undefined in the conversion.
float s_narrowToFloat(double d)
{
    if (d > FLT_MAX)
        return std::numeric_limits<float>::infinity();
    if (d < -FLT_MAX)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(d);
}

int32_t s_truncateToInt32(double d)
{
    if (std::isnan(d))
        return 0;
    d = std::trunc(d);
    if (d >= static_cast<double>(INT32_MAX))
        return INT32_MAX;
    if (d <= static_cast<double>(INT32_MIN))
        return INT32_MIN;
    return static_cast<int32_t>(d);
}

const char *s_errorText(lua_State *L, int index)
{
    int type = lua_type(L, index);
    if (type == LUA_TSTRING || type == LUA_TNUMBER)
        return lua_tostring(L, index);
    return "(error object is not a string)";
}

// Reports the error message on top of the stack the way Lua's own chunk
// runner does: through the script's "_ALERT" function when it defined one,
// otherwise on standard error. Leaves the stack as it was.
void s_reportError(lua_State *L)
{
    int top = lua_gettop(L);
    lua_pushstring(L, "_ALERT");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (lua_isfunction(L, -1)) {
        lua_pushvalue(L, top);
        if (lua_pcall(L, 1, 0, 0) != 0) {
            // The script's reporter failed too: say both on standard error.
            fprintf(stderr, "%s\n", s_errorText(L, top));
            fprintf(stderr, "%s\n", s_errorText(L, -1));
        }
    } else {
        fprintf(stderr, "%s\n", s_errorText(L, top));
    }
    lua_settop(L, top);
}

// Last resort for an error outside every protected call; Lua ends the
// process when this returns.
int s_panic(lua_State *L)
{
    alertBox("HLuaScriptEngine::panic - unprotected Lua error '%s'", s_errorText(L, -1));
    return 0;
}

// The protected bodies below run through lua_pcall, so a Lua error in them
// unwinds to the caller's pcall instead of to the panic handler.

int s_protectedGetTable(lua_State *L) // (t, k) -> t[k]
{
    lua_gettable(L, 1);
    return 1;
}

int s_protectedSetTable(lua_State *L) // (t, k, v) -> t[k] = v
{
    lua_settable(L, 1);
    return 0;
}

int s_protectedNext(lua_State *L) // (t, k) -> next key and value, or nothing
{
    lua_settop(L, 2);
    return lua_next(L, 1) ? 2 : 0;
}

// Asks the script's table.getn for the size of the table at index; raises
// when the value is not a table or there is no such function.
int s_tableGetn(lua_State *L, int index)
{
    luaL_checktype(L, index, LUA_TTABLE);
    lua_pushstring(L, "table");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_pushstring(L, "getn");
    lua_gettable(L, -2);
    lua_pushvalue(L, index);
    lua_call(L, 1, 1);
    int32_t n = s_truncateToInt32(lua_tonumber(L, -1));
    lua_pop(L, 2);
    return n;
}

int s_protectedTableGetn(lua_State *L) // (t) -> size
{
    lua_pushnumber(L, s_tableGetn(L, 1));
    return 1;
}

// Pushes field `key` of the value at index, or nil when Lua raised an error
// (the value is not a table, or key is null). Pushes exactly one value.
void s_pushField(lua_State *L, int index, const char *key)
{
    index = s_absIndex(L, index);
    lua_pushcfunction(L, s_protectedGetTable);
    lua_pushvalue(L, index);
    lua_pushstring(L, key);
    if (lua_pcall(L, 2, 1, 0) != 0) {
        lua_pop(L, 1);
        lua_pushnil(L);
    }
}

} // namespace

HScriptEngine::~HScriptEngine() = default;

HLuaScriptEngine::HLuaScriptEngine() : m_state(nullptr) {}

HLuaScriptEngine::~HLuaScriptEngine() = default;

bool HLuaScriptEngine::initialize()
{
    shutdown();
    m_state = luaL_newstate();
    if (!m_state)
        return false;
    lua_atpanic(m_state, s_panic);
    return true;
}

void HLuaScriptEngine::shutdown()
{
    if (m_state) {
        lua_close(m_state);
        m_state = nullptr;
    }
}

bool HLuaScriptEngine::executeBuffer(const char *text, int32_t size)
{
    lua_State *L = m_state;
    if (!L || !text || size < 0 || !lua_checkstack(L, kStackReserve))
        return false;

    int base = lua_gettop(L);
    int status;
    if (size > 0 && text[0] == LUA_SIGNATURE[0]) {
        // Lua 5.1 does not verify bytecode; a crafted binary chunk can break
        // the interpreter, so only source text is run.
        lua_pushstring(L, "[string \"buffer\"]: precompiled chunks are not accepted");
        status = LUA_ERRSYNTAX;
    } else {
        status = luaL_loadbuffer(L, text, static_cast<size_t>(size), "buffer");
        if (status == 0)
            status = lua_pcall(L, 0, 0, 0);
    }
    if (status != 0)
        s_reportError(L);
    lua_settop(L, base);
    return status == 0;
}

int HLuaScriptEngine::getTop()
{
    return m_state ? lua_gettop(m_state) : 0;
}

void HLuaScriptEngine::pop(int n)
{
    if (!m_state || n <= 0)
        return;
    int top = lua_gettop(m_state);
    if (n > top)
        n = top;
    lua_settop(m_state, -n - 1);
}

void HLuaScriptEngine::pushNil()
{
    if (m_state && lua_checkstack(m_state, kStackReserve))
        lua_pushnil(m_state);
}

void HLuaScriptEngine::pushString(const char *s)
{
    if (m_state && lua_checkstack(m_state, kStackReserve))
        lua_pushstring(m_state, s);
}

void HLuaScriptEngine::pushNumber(float value)
{
    if (m_state && lua_checkstack(m_state, kStackReserve))
        lua_pushnumber(m_state, static_cast<double>(value));
}

void HLuaScriptEngine::pushLightUserdata(void *pointer)
{
    if (m_state && lua_checkstack(m_state, kStackReserve))
        lua_pushlightuserdata(m_state, pointer);
}

bool HLuaScriptEngine::newTable()
{
    if (!m_state || !lua_checkstack(m_state, kStackReserve))
        return false;
    lua_newtable(m_state);
    return true;
}

bool HLuaScriptEngine::setField(const char *key, const char *value)
{
    lua_State *L = m_state;
    if (!L || !lua_istable(L, -1) || !lua_checkstack(L, kStackReserve))
        return false;
    lua_pushcfunction(L, s_protectedSetTable);
    lua_pushvalue(L, -2);
    lua_pushstring(L, key);
    lua_pushstring(L, value);
    if (lua_pcall(L, 3, 0, 0) != 0) {
        lua_pop(L, 1);
        return false;
    }
    return true;
}

bool HLuaScriptEngine::setGlobal(const char *name)
{
    lua_State *L = m_state;
    if (!L || lua_gettop(L) < 1)
        return false;
    if (!lua_checkstack(L, kStackReserve)) {
        lua_pop(L, 1);
        return false;
    }
    lua_pushcfunction(L, s_protectedSetTable);
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    lua_pushstring(L, name);
    lua_pushvalue(L, -4);
    bool ok = lua_pcall(L, 3, 0, 0) == 0;
    lua_pop(L, ok ? 1 : 2); // the value, and the error message on failure
    return ok;
}

bool HLuaScriptEngine::getGlobal(const char *name)
{
    lua_State *L = m_state;
    if (!L || !lua_checkstack(L, kStackReserve))
        return false;
    s_pushField(L, LUA_GLOBALSINDEX, name);
    return !lua_isnil(L, -1);
}

bool HLuaScriptEngine::getTable(const char *name)
{
    lua_State *L = m_state;
    if (!L || !lua_checkstack(L, kStackReserve))
        return false;
    if (!name) {
        lua_pushvalue(L, LUA_GLOBALSINDEX);
        return true;
    }
    if (lua_gettop(L) < 1)
        return false;
    s_pushField(L, -1, name);
    if (lua_istable(L, -1))
        return true;
    lua_pop(L, 1);
    return false;
}

bool HLuaScriptEngine::isTable(int index)
{
    return m_state && s_isValidIndex(m_state, index) && lua_type(m_state, index) == LUA_TTABLE;
}

int HLuaScriptEngine::next(int index)
{
    lua_State *L = m_state;
    if (!L || lua_gettop(L) < 1)
        return 0;
    if (!s_isValidIndex(L, index) || !lua_istable(L, index) || !lua_checkstack(L, kStackReserve)) {
        lua_pop(L, 1); // the key: the walk ends as if the table were done
        return 0;
    }
    int table = s_absIndex(L, index);
    int keySlot = lua_gettop(L);
    lua_pushcfunction(L, s_protectedNext);
    lua_pushvalue(L, table);
    lua_pushvalue(L, keySlot);
    if (lua_pcall(L, 2, LUA_MULTRET, 0) != 0) {
        // A key that is not in the table (it was removed during the walk).
        lua_settop(L, keySlot - 1);
        return 0;
    }
    bool more = lua_gettop(L) > keySlot;
    lua_remove(L, keySlot);
    return more ? 1 : 0;
}

const char *HLuaScriptEngine::toString(int index)
{
    if (!m_state || !s_isValidIndex(m_state, index))
        return nullptr;
    return lua_tostring(m_state, index);
}

void *HLuaScriptEngine::toUserdata(int index)
{
    if (!m_state || !s_isValidIndex(m_state, index))
        return nullptr;
    return lua_touserdata(m_state, index);
}

float HLuaScriptEngine::toNumber(int index)
{
    if (!m_state || !s_isValidIndex(m_state, index))
        return 0.0f;
    return s_narrowToFloat(lua_tonumber(m_state, index));
}

const char *HLuaScriptEngine::getTableString(const char *key)
{
    lua_State *L = m_state;
    if (!L || !lua_istable(L, -1) || !lua_checkstack(L, kStackReserve))
        return nullptr;
    s_pushField(L, -1, key);
    const char *text = nullptr;
    int type = lua_type(L, -1);
    if (type == LUA_TSTRING || type == LUA_TNUMBER)
        text = lua_tostring(L, -1);
    lua_pop(L, 1);
    return text;
}

bool HLuaScriptEngine::getTableNumber(const char *key, float *out)
{
    lua_State *L = m_state;
    float value = 0.0f;
    bool found = false;
    // A value that is not a table is left where it is: the caller still owns it.
    if (L && lua_istable(L, -1) && lua_checkstack(L, kStackReserve)) {
        s_pushField(L, -1, key);
        if (lua_type(L, -1) == LUA_TNUMBER) {
            value = s_narrowToFloat(lua_tonumber(L, -1));
            found = true;
        }
        lua_pop(L, 1);
    }
    if (out)
        *out = value;
    return found;
}

bool HLuaScriptEngine::getTableInt(const char *key, int32_t *out)
{
    float value = 0.0f;
    bool found = getTableNumber(key, &value);
    if (out)
        *out = s_truncateToInt32(value);
    return found;
}

bool HLuaScriptEngine::getSubtableNumber(const char *key, float *out)
{
    char table[128];
    strCopy(table, key ? key : "", sizeof table);
    char *dot = strchr(table, '.');
    if (!dot) {
        warningPrint("Error reading subtable field '%s'", table);
        return false;
    }
    *dot = '\0';

    lua_State *L = m_state;
    bool found = false;
    if (L && lua_gettop(L) >= 1 && lua_checkstack(L, kStackReserve)) {
        s_pushField(L, -1, table);
        if (lua_istable(L, -1))
            found = getTableNumber(dot + 1, out);
        lua_pop(L, 1);
    }
    if (!found && out)
        *out = 0.0f;
    return found;
}

int HLuaScriptEngine::getTableSize()
{
    lua_State *L = m_state;
    if (!L || lua_gettop(L) < 1 || !lua_checkstack(L, kStackReserve))
        return 0;
    lua_pushcfunction(L, s_protectedTableGetn);
    lua_pushvalue(L, -2);
    int size = 0;
    if (lua_pcall(L, 1, 1, 0) == 0)
        size = s_truncateToInt32(lua_tonumber(L, -1));
    lua_pop(L, 1); // the size, or the error message
    return size;
}

const char *HLuaScriptEngine::readTableStringByIndex(int i)
{
    lua_State *L = m_state;
    if (!L || !lua_istable(L, -1))
        return nullptr;
    if (static_cast<int64_t>(i) > static_cast<int64_t>(getTableSize()) + 1 || i >= INT_MAX)
        return nullptr;
    if (!lua_checkstack(L, kStackReserve))
        return nullptr;
    lua_rawgeti(L, -1, i + 1);
    const char *text = nullptr;
    if (lua_type(L, -1) == LUA_TSTRING)
        text = lua_tostring(L, -1);
    else
        warningPrint("HLuaScriptEngine::readTableStringByIndex - not a string");
    lua_pop(L, 1);
    return text;
}

bool HLuaScriptEngine::getFunction(const char *name)
{
    lua_State *L = m_state;
    if (!L || !lua_checkstack(L, kStackReserve))
        return false;
    s_pushField(L, LUA_GLOBALSINDEX, name);
    if (lua_type(L, -1) == LUA_TFUNCTION)
        return true;
    warningPrint("HLuaScriptEngine::getFunction - '%s' is not a function", name ? name : "");
    return false;
}

void HLuaScriptEngine::registerFunction(const char *name, lua_CFunction function)
{
    lua_State *L = m_state;
    if (!L || !lua_checkstack(L, kStackReserve))
        return;
    if (function)
        lua_pushcclosure(L, function, 0);
    else
        lua_pushnil(L); // a null function would crash when called
    setGlobal(name);
}

bool HLuaScriptEngine::call(int arguments, int results)
{
    lua_State *L = m_state;
    if (!L || arguments < 0 || arguments >= lua_gettop(L))
        return false;
    if (results > 0 && !lua_checkstack(L, results + kStackReserve))
        return false;
    if (lua_pcall(L, arguments, results, 0) == 0)
        return true;
    s_reportError(L);
    lua_pop(L, 1);
    for (int r = 0; r < results; ++r)
        lua_pushnil(L);
    return false;
}
