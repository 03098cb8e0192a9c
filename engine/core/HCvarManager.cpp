#include "engine/core/HCvarManager.h"

#include <cfloat>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "engine/core/HFile.h"
#include "engine/core/HMessages.h"
#include "engine/core/HScriptEngine.h"
#include "engine/core/HString.h"

namespace {

// Sizes of the fixed text buffers: flags and pointer texts, command-line
// tokens and the pieces of a written variable file.
constexpr size_t kFlagsTextSize = 256;
constexpr size_t kTokenSize = 1024;
constexpr size_t kPieceSize = 1024;

// The framing around a value in "\tvalue = \"%s\",\n" (and the same length
// for flags), so that the escaped text plus framing fits one piece.
constexpr size_t kValueFraming = 13;
constexpr size_t kEscapedSize = kPieceSize - kValueFraming;

const char *const s_separators = " ;";

// Copies src into dest as the inside of a Lua string literal in double
// quotes. Stops before an escape sequence would not fit, so the literal
// never ends in half an escape.
void s_escapeLuaString(char *dest, size_t size, const char *src)
{
    size_t n = 0;
    for (; *src; ++src) {
        const char c = *src;
        const char *escape = nullptr;
        switch (c) {
        case '"': escape = "\\\""; break;
        case '\\': escape = "\\\\"; break;
        case '\n': escape = "\\n"; break;
        case '\r': escape = "\\r"; break;
        default: break;
        }
        size_t need = escape ? 2 : 1;
        if (n + need > size - 1)
            break;
        if (escape) {
            dest[n++] = escape[0];
            dest[n++] = escape[1];
        } else {
            dest[n++] = c;
        }
    }
    dest[n] = '\0';
}

// True for a name that reads back as a global assignment "name = ...": a
// Lua identifier that is not a reserved word and fits its piece.
bool s_isWritableName(const char *name)
{
    static const char *const reserved[] = {
        "and", "break", "do", "else", "elseif", "end", "false", "for", "function", "if", "in",
        "local", "nil", "not", "or", "repeat", "return", "then", "true", "until", "while",
    };
    const size_t length = strlen(name);
    if (length == 0 || length > kPieceSize - 1 - strlen(" = \n{\n"))
        return false;
    for (size_t i = 0; i < length; ++i) {
        const char c = name[i];
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        bool digit = c >= '0' && c <= '9';
        if (!letter && !(digit && i > 0))
            return false;
    }
    for (const char *word : reserved) {
        if (strcmp(name, word) == 0)
            return false;
    }
    return true;
}

// strtol's long is 64 bits here; values are kept to the 32-bit range the
// variables always had.
int32_t s_toInt32(const char *text)
{
    long value = strtol(text, nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

float s_toFloat(const char *text)
{
    double value = strtod(text, nullptr);
    if (value > FLT_MAX)
        return std::numeric_limits<float>::infinity();
    if (value < -FLT_MAX)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

void s_writePiece(HFile *file, const char *piece)
{
    file->write(piece, static_cast<int32_t>(strlen(piece)));
}

} // namespace

HCvarManager::HCvarManager() : m_count(0), m_engine(nullptr) {}

HCvarManager::~HCvarManager() = default;

bool HCvarManager::initCvarManager()
{
    if (m_engine)
        return true;
    m_engine = new (std::nothrow) HLuaScriptEngine();
    if (m_engine && m_engine->initialize())
        return true;
    warningPrint("HCvarManager::initCvarManager - could not initialize Lua");
    if (m_engine) {
        m_engine->shutdown();
        delete m_engine;
        m_engine = nullptr;
    }
    return false;
}

void HCvarManager::shutdownCvarManager()
{
    if (m_engine) {
        m_engine->shutdown();
        delete m_engine;
        m_engine = nullptr;
    }
}

bool HCvarManager::m_register(const char *name, const char *value, const char *parm, int32_t flags)
{
    if (!m_engine || !name)
        return false;

    char flagsText[kFlagsTextSize];
    formatString(flagsText, sizeof flagsText, "%d", flags);

    const int top = m_engine->getTop();
    // A global that is not a table is no variable (a loaded file may have
    // assigned anything); it is replaced rather than written into.
    const bool exists = m_engine->getGlobal(name) && m_engine->isTable(-1);
    if (exists && (flags & FLAG_KEEP_EXISTING)) {
        m_engine->pop(m_engine->getTop() - top);
        return false;
    }
    if (!exists) {
        m_engine->pop(1);
        m_engine->newTable();
    }
    m_engine->setField("value", value ? value : "");
    m_engine->setField("flags", flagsText);
    if (parm)
        m_engine->setField("parm", parm);
    m_engine->setGlobal(name);
    m_engine->pop(m_engine->getTop() - top);
    return !exists;
}

void HCvarManager::registerVariable(const char *name, const char *value, int32_t flags)
{
    if (m_register(name, value, nullptr, flags))
        ++m_count;
}

void HCvarManager::registerPointerVariable(const char *name, void *value, void *parm, int32_t flags)
{
    char valueText[kFlagsTextSize];
    char parmText[kFlagsTextSize];
    formatString(valueText, sizeof valueText, "%p", value);
    formatString(parmText, sizeof parmText, "%p", parm);
    m_register(name, valueText, parmText, flags);
}

void HCvarManager::setVariableString(const char *name, const char *value)
{
    if (m_engine && name) {
        const int top = m_engine->getTop();
        const bool exists = m_engine->getGlobal(name) && m_engine->isTable(-1);
        if (exists)
            m_engine->setField("value", value ? value : "");
        m_engine->pop(m_engine->getTop() - top);
        if (exists)
            return;
    }
    warningPrint("HCvarManager::setVariableString - no variable '%s' exists", name ? name : "");
}

const char *HCvarManager::getVariableString(const char *name)
{
    if (!m_engine || !name)
        return nullptr;
    const int top = m_engine->getTop();
    const char *text = nullptr;
    if (m_engine->getGlobal(name) && m_engine->isTable(-1)) {
        float number;
        if (m_engine->getTableNumber("value", &number)) {
            // A loaded file may hold the value as a number. Its text would
            // belong to no table and could be collected at once, so the
            // value is stored back as that text.
            char converted[kFlagsTextSize];
            const char *numberText = m_engine->getTableString("value");
            strCopy(converted, numberText ? numberText : "", sizeof converted);
            m_engine->setField("value", converted);
        }
        text = m_engine->getTableString("value");
    }
    m_engine->pop(m_engine->getTop() - top);
    return text;
}

int32_t HCvarManager::getVariableInt(const char *name)
{
    const char *text = getVariableString(name);
    if (!text) {
        debugPrint("*** WARNING: no variable for '%s' found\n", name ? name : "");
        return 0;
    }
    return s_toInt32(text);
}

float HCvarManager::getVariableFloat(const char *name)
{
    const char *text = getVariableString(name);
    if (!text) {
        debugPrint("*** WARNING: no variable for '%s' found\n", name ? name : "");
        return 0.0f;
    }
    return s_toFloat(text);
}

void *HCvarManager::getPointerVariable(const char *name, void **parm)
{
    if (!m_engine || !name)
        return nullptr;
    const int top = m_engine->getTop();
    void *value = nullptr;
    if (m_engine->getGlobal(name) && m_engine->isTable(-1)) {
        const char *valueText = m_engine->getTableString("value");
        if (valueText && sscanf(valueText, "%p", &value) != 1)
            value = nullptr; // "(nil)" is how a null pointer was written
        const char *parmText = m_engine->getTableString("parm");
        if (parmText && parm) {
            void *p = nullptr;
            if (sscanf(parmText, "%p", &p) != 1)
                p = nullptr;
            *parm = p;
        }
    }
    m_engine->pop(m_engine->getTop() - top);
    return value;
}

void HCvarManager::parseCommandLine(const char *text)
{
    if (!text)
        return;
    char token[kTokenSize];
    char name[kTokenSize];
    char value[kTokenSize];
    const char *position = text;
    for (;;) {
        position = getToken(token, sizeof token, position, s_separators);
        if (!position)
            return;
        if (strCaseCompare(token, "+set") != 0) {
            tracePrint("Unknown command line token '%s'", token);
            continue;
        }
        position = getToken(name, sizeof name, position, s_separators);
        if (!position)
            return;
        position = getToken(value, sizeof value, position, s_separators);
        registerVariable(name, value, 0);
        if (!position)
            return;
    }
}

bool HCvarManager::saveCvars(const char *fileName, HFileSystem *fileSystem)
{
    if (!fileName)
        fileName = "";
    if (!m_engine) {
        // Nothing to write; an existing file keeps what it holds.
        tracePrint("HCvarManager::saveCvars - no script engine, '%s' not written\n", fileName);
        return true;
    }
    HFile *file = fileSystem ? fileSystem->openFileForWrite(fileName) : nullptr;
    if (!file) {
        tracePrint("HCvarManager::saveCvars - could not create '%s'\n", fileName);
        return true;
    }

    const int top = m_engine->getTop();
    char piece[kPieceSize];
    char value[kEscapedSize];
    char flags[kEscapedSize];
    m_engine->getTable(nullptr);
    m_engine->pushNil();
    while (m_engine->next(-2)) {
        // The key is at -2, the value at -1.
        const char *name = m_engine->toString(-2);
        if (name && m_engine->isTable(-1)) {
            // Each text is copied before the next lookup, which may collect
            // the text of a number field.
            const char *text = m_engine->getTableString("value");
            const bool hasValue = text != nullptr;
            if (hasValue)
                s_escapeLuaString(value, sizeof value, text);
            text = m_engine->getTableString("flags");
            const bool hasFlags = text != nullptr;
            if (hasFlags)
                s_escapeLuaString(flags, sizeof flags, text);

            if (hasValue && hasFlags && !(s_toInt32(flags) & FLAG_NOT_SAVED)) {
                if (s_isWritableName(name)) {
                    s_writePiece(file, formatString(piece, sizeof piece, "%s = \n{\n", name));
                    s_writePiece(file, formatString(piece, sizeof piece, "\tvalue = \"%s\",\n", value));
                    s_writePiece(file, formatString(piece, sizeof piece, "\tflags = \"%s\",\n", flags));
                    s_writePiece(file, "}\n");
                } else {
                    // It would not read back, and would stop the whole file
                    // from loading.
                    tracePrint("HCvarManager::saveCvars - '%s' is not a Lua name, not written\n", name);
                }
            }
        }
        m_engine->pop(1);
    }
    m_engine->pop(m_engine->getTop() - top);
    file->close();
    return true;
}

bool HCvarManager::loadCvars(const char *fileName, HFileSystem *fileSystem)
{
    if (!fileName)
        fileName = "";
    tracePrint(">>>HCvarManager::loadCvars( \"%s\" )\n...attempting open: ", fileName);
    HFile *file = (m_engine && fileSystem) ? fileSystem->openFileForRead(fileName) : nullptr;
    if (!m_engine) {
        // Nothing could run the file.
        tracePrint("no script engine\n");
    } else if (!file) {
        tracePrint("failed\n");
    } else {
        tracePrint(" ok\n");
        const int32_t size = file->getSize();
        tracePrint("...file size = %d bytes\n", size);
        char *buffer = size >= 0 ? new (std::nothrow) char[static_cast<size_t>(size) + 16] : nullptr;
        if (buffer) {
            memset(buffer, 0, static_cast<size_t>(size) + 1);
            tracePrint("...reading\n");
            // Only what was read is run: a short read leaves zero bytes that
            // Lua would reject.
            const int32_t got = file->read(buffer, size);
            tracePrint("...parsing\n");
            m_engine->executeBuffer(buffer, got);
            delete[] buffer;
        }
        tracePrint("...closing\n");
        file->close();
    }
    tracePrint("<<<\n");
    return true;
}
