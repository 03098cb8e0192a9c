#ifndef ENGINE_CORE_HSCRIPTENGINE_H
#define ENGINE_CORE_HSCRIPTENGINE_H

// The script engine: an interpreter behind an abstract interface, with one
// implementation over a Lua state. No Lua library is opened into the state;
// its one user keeps the console variables in it as tables.

#include <cstdint>

struct lua_State;
typedef int (*lua_CFunction)(lua_State *L);

class HScriptEngine {
public:
    virtual ~HScriptEngine();

    // Answers true when the interpreter is ready.
    virtual bool initialize() = 0;
    virtual void shutdown() = 0;
    // Compiles and runs a chunk of `size` bytes; true when it ran without
    // error. Errors are reported, never fatal.
    virtual bool executeBuffer(const char *text, int32_t size) = 0;
};

// Stack and table operations follow Lua's indexing: negative indices count
// from the top, and "the top table" is the value on top of the stack. Every
// operation that Lua could raise an error in runs as a protected call and
// answers false, 0 or null instead; with no open state every operation does
// nothing and answers the same.
class HLuaScriptEngine : public HScriptEngine {
public:
    HLuaScriptEngine();
    // Does not close the state: the owner calls shutdown first.
    ~HLuaScriptEngine() override;

    // Closes any earlier state, then opens a new one with no libraries.
    bool initialize() override;
    void shutdown() override;
    // Runs the chunk under the name "buffer". A failure is reported through a
    // global "_ALERT" function when the script defined one, otherwise on
    // standard error. Precompiled chunks are refused. The stack is left as it
    // was found.
    bool executeBuffer(const char *text, int32_t size) override;

    int getTop();
    // Removes n values (no more than there are).
    void pop(int n);
    void pushNil();
    // A null string pushes nil.
    void pushString(const char *s);
    void pushNumber(float value);
    void pushLightUserdata(void *pointer);
    // Pushes a new empty table; answers true.
    bool newTable();

    // Stores key = value (both strings) into the top table; false when the
    // top value is not a table.
    bool setField(const char *key, const char *value);
    // Stores the top value as the global `name` and pops it (also on failure).
    bool setGlobal(const char *name);
    // Pushes the global `name`; true when it is not nil. The value stays
    // pushed either way.
    bool getGlobal(const char *name);
    // With a name, pushes that field of the top table; with null, pushes the
    // globals table. True when the pushed value is a table; otherwise it is
    // popped again and the answer is false.
    bool getTable(const char *name);
    bool isTable(int index);
    // lua_next over the table at `index`: pops a key, pushes the next key and
    // value and answers non-zero, or pushes nothing and answers 0 at the end.
    // A value that is not a table, or a key that is not in it, ends the walk.
    int next(int index);
    // Text of a string or number (a number is converted in place), else null.
    const char *toString(int index);
    void *toUserdata(int index);
    float toNumber(int index);

    // The text of the top table's field `key` (a string or a number), or null.
    // The text stays valid while the table still holds it as a string; the
    // text of a number field lives only until Lua next collects garbage.
    const char *getTableString(const char *key);
    // The top table's number field `key`: true and the number in *out; else
    // false and 0. The stack is left as it was found either way.
    bool getTableNumber(const char *key, float *out);
    // As getTableNumber, truncated toward zero (kept within 32 bits).
    bool getTableInt(const char *key, int32_t *out);
    // Reads "table.field" below the top table. Without a '.' the key is
    // refused and *out is left alone; any other failure sets *out to 0.
    bool getSubtableNumber(const char *key, float *out);
    // The size that the script's own table.getn reports for the top table;
    // 0 when there is no such function or the top value is not a table.
    int getTableSize();
    // Element i + 1 (i counts from 0) of the top table when it is a string.
    const char *readTableStringByIndex(int i);

    // Pushes the global `name`; true when it is a function. The value stays
    // pushed either way.
    bool getFunction(const char *name);
    void registerFunction(const char *name, lua_CFunction function);
    // Calls the function below its `arguments` arguments. On an error the
    // message is reported, `results` nils stand in for the results, and the
    // answer is false.
    bool call(int arguments, int results);

protected:
    lua_State *m_state; // owned; null when closed
};

#endif
