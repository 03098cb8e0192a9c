#ifndef ENGINE_CORE_HCVARMANAGER_H
#define ENGINE_CORE_HCVARMANAGER_H

// Console variables: named string values with flags, each kept as a global
// Lua table { value = "...", flags = "%d" } in the manager's script engine.
// Every operation leaves the Lua stack as it found it, and without a script
// engine (before initCvarManager, after shutdownCvarManager, or when Lua
// could not be opened) every lookup answers as for a missing variable.

#include <cstdint>

class HFileSystem;
class HLuaScriptEngine;

class HCvarManager {
public:
    // A later registration with this flag leaves an existing variable alone.
    static constexpr int32_t FLAG_KEEP_EXISTING = 1;
    // The variable is not written by saveCvars.
    static constexpr int32_t FLAG_NOT_SAVED = 2;

    HCvarManager();
    // Does nothing: the owner calls shutdownCvarManager first.
    ~HCvarManager();

    // Opens the script engine; true at once when it already exists.
    bool initCvarManager();
    void shutdownCvarManager();

    // Creates the variable, or replaces its value and flags unless it exists
    // and `flags` has FLAG_KEEP_EXISTING. A null value registers "".
    void registerVariable(const char *name, const char *value, int32_t flags);
    // Replaces the value of an existing variable; flags stay as they were.
    void setVariableString(const char *name, const char *value);
    // The value, or null when there is no such variable. The text belongs to
    // the Lua state and stays valid until the value is replaced.
    const char *getVariableString(const char *name);
    // The value through base-10 strtol (kept within 32 bits); 0 when missing.
    int32_t getVariableInt(const char *name);
    // The value through strtod, as a float; 0 when missing.
    float getVariableFloat(const char *name);

    // Applies "+set name value" commands separated by blanks or semicolons;
    // any other token is traced and skipped. Tokens over 1023 characters are
    // cut to 1023.
    void parseCommandLine(const char *text);

    // Writes every variable without FLAG_NOT_SAVED as a Lua chunk that
    // loadCvars reads back. Answers true, also when the file cannot be made
    // (that is traced).
    bool saveCvars(const char *fileName, HFileSystem *fileSystem);
    // Runs a variable file; answers true whatever the file held.
    bool loadCvars(const char *fileName, HFileSystem *fileSystem);

    // A variable whose value and "parm" fields hold two pointers as "%p"
    // text; not counted.
    void registerPointerVariable(const char *name, void *value, void *parm, int32_t flags);
    // The value pointer, and the parm pointer in *parm when the variable has
    // one; null (and *parm untouched) when the variable is missing.
    void *getPointerVariable(const char *name, void **parm);

protected:
    // The steps shared by both register forms; parm is null for a plain
    // variable. Answers true when a new variable table was made.
    bool m_register(const char *name, const char *value, const char *parm, int32_t flags);

    int32_t m_count;            // variables registerVariable created
    HLuaScriptEngine *m_engine; // owned; null without a state
};

#endif
