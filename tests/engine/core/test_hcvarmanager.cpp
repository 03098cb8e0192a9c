#include "engine/core/HCvarManager.h"

#include <gtest/gtest.h>

#include "engine/core/HFile.h"
#include "engine/core/HMessages.h"
#include "engine/core/HScriptEngine.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Exposes what the manager keeps so the tests can see counts, flags and the
// Lua stack.
class ExposedCvarManager : public HCvarManager {
public:
    int32_t count() const { return m_count; }
    HLuaScriptEngine *engine() { return m_engine; }

    int top() { return m_engine ? m_engine->getTop() : 0; }

    // The stored "flags" text of a variable, or "<none>".
    std::string flags(const char *name)
    {
        std::string text = "<none>";
        if (m_engine->getGlobal(name) && m_engine->isTable(-1)) {
            const char *f = m_engine->getTableString("flags");
            if (f)
                text = f;
        }
        m_engine->pop(1);
        return text;
    }

    bool run(const char *chunk) { return m_engine->executeBuffer(chunk, static_cast<int32_t>(strlen(chunk))); }
};

// Collects everything traced while it is the trace file.
class TraceCapture : public HFile {
public:
    TraceCapture() { setTraceFile(this); }
    ~TraceCapture() override { setTraceFile(nullptr); }
    int32_t read(void *, int32_t) override { return 0; }
    int32_t write(const void *data, int32_t length) override
    {
        text.append(static_cast<const char *>(data), static_cast<size_t>(length));
        return length;
    }
    int32_t rewind() override { return 1; }

    std::string text;
};

// A directory of the test's own with a file system mounted on it.
class ScratchFiles {
public:
    ScratchFiles()
    {
        char pattern[] = "/tmp/tilmar_cvars_XXXXXX";
        if (mkdtemp(pattern))
            dir = pattern;
        fileSystem.mount(dir.c_str());
    }
    ~ScratchFiles()
    {
        fileSystem.shutdown();
        for (const std::string &name : written)
            unlink(path(name.c_str()).c_str());
        rmdir(dir.c_str());
    }
    std::string path(const char *name) const { return dir + "/" + name; }
    const char *track(const char *name)
    {
        written.push_back(name);
        return name;
    }
    std::string read(const char *name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void write(const char *name, const std::string &text)
    {
        track(name);
        std::ofstream(path(name), std::ios::binary) << text;
    }

    std::string dir;
    std::vector<std::string> written;
    HStandardFileSystem fileSystem;
};

class CvarManagerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(cvars.initCvarManager()); }
    void TearDown() override
    {
        EXPECT_EQ(cvars.top(), 0) << "an operation left values on the Lua stack";
        cvars.shutdownCvarManager();
    }

    ExposedCvarManager cvars;
};

TEST_F(CvarManagerTest, RegisteringCreatesOnceAndFlagOneKeepsTheValue)
{
    cvars.registerVariable("vg_trace", "0", 0);
    EXPECT_STREQ(cvars.getVariableString("vg_trace"), "0");
    EXPECT_EQ(cvars.flags("vg_trace"), "0");
    EXPECT_EQ(cvars.count(), 1);

    // Flag 1 on the new call leaves an existing variable alone...
    cvars.registerVariable("vg_trace", "5", HCvarManager::FLAG_KEEP_EXISTING);
    EXPECT_STREQ(cvars.getVariableString("vg_trace"), "0");
    EXPECT_EQ(cvars.flags("vg_trace"), "0");

    // ...without it both value and flags are replaced, whatever was stored.
    cvars.registerVariable("vg_trace", "7", HCvarManager::FLAG_NOT_SAVED);
    EXPECT_STREQ(cvars.getVariableString("vg_trace"), "7");
    EXPECT_EQ(cvars.flags("vg_trace"), "2");
    cvars.registerVariable("vg_trace", "7b", 3); // bit 1 of the new call decides
    EXPECT_STREQ(cvars.getVariableString("vg_trace"), "7");
    cvars.registerVariable("vg_trace", "8", 0);
    EXPECT_STREQ(cvars.getVariableString("vg_trace"), "8");
    EXPECT_EQ(cvars.flags("vg_trace"), "0");

    // A new variable with flag 1 is still created.
    cvars.registerVariable("c_hklm", "0", HCvarManager::FLAG_KEEP_EXISTING);
    EXPECT_STREQ(cvars.getVariableString("c_hklm"), "0");
    EXPECT_EQ(cvars.count(), 2);

    cvars.registerVariable("empty", nullptr, 0);
    EXPECT_STREQ(cvars.getVariableString("empty"), "");
    EXPECT_EQ(cvars.getVariableString("missing"), nullptr);
    EXPECT_EQ(cvars.getVariableString(nullptr), nullptr);

    cvars.setVariableString("empty", "now set");
    EXPECT_STREQ(cvars.getVariableString("empty"), "now set");
    EXPECT_EQ(cvars.flags("empty"), "0");
    cvars.setVariableString("missing", "x"); // does not create it
    EXPECT_EQ(cvars.getVariableString("missing"), nullptr);
    EXPECT_EQ(cvars.count(), 3);
}

TEST_F(CvarManagerTest, NumericLookups)
{
    struct Case {
        const char *value;
        int32_t integer;
        float number;
    } cases[] = {
        {"42", 42, 42.0f},
        {"-7x", -7, -7.0f},
        {"abc", 0, 0.0f},
        {"", 0, 0.0f},
        {"2.5", 2, 2.5f},
        {"0x10", 0, 16.0f}, // base 10 for integers; strtod reads hex
        {"99999999999", INT32_MAX, 99999999999.0f},
        {"-99999999999", INT32_MIN, -99999999999.0f},
        {"1e300", 1, INFINITY},
    };
    for (const Case &c : cases) {
        cvars.registerVariable("v", c.value, 0);
        EXPECT_EQ(cvars.getVariableInt("v"), c.integer) << c.value;
        EXPECT_FLOAT_EQ(cvars.getVariableFloat("v"), c.number) << c.value;
    }
    EXPECT_EQ(cvars.getVariableInt("missing"), 0);
    EXPECT_EQ(cvars.getVariableFloat("missing"), 0.0f);
}

TEST_F(CvarManagerTest, CommandLineSetCommands)
{
    struct Case {
        const char *text;
        const char *name;
        const char *value; // null: the name must not exist
    } cases[] = {
        {"+set vg_trace 1", "vg_trace", "1"},
        {"+SeT vg_trace 2", "vg_trace", "2"},
        {"+SET;vg_trace;3", "vg_trace", "3"},
        {"  ;+set  ; vg_trace ;;4;", "vg_trace", "4"},
        {"+set named", "named", ""},
        {"+set named ; ", "named", ""},
        {"junk +set after 1", "after", "1"},
        {"+set a 1 +set b 2", "b", "2"},
        {"+set a 1 stray +set c 3", "c", "3"},
        {"+set d 1 +set d 2", "d", "2"},
        {"+set", "", nullptr},
        {"set e 1", "e", nullptr},
        {"+sets f 1", "f", nullptr},
        {"", "", nullptr},
        {";;  ;", "", nullptr},
    };
    for (const Case &c : cases) {
        cvars.shutdownCvarManager();
        ASSERT_TRUE(cvars.initCvarManager());
        cvars.registerVariable("vg_trace", "0", HCvarManager::FLAG_KEEP_EXISTING);
        cvars.parseCommandLine(c.text);
        if (c.value) {
            EXPECT_STREQ(cvars.getVariableString(c.name), c.value) << "'" << c.text << "'";
            EXPECT_EQ(cvars.flags(c.name), "0") << "'" << c.text << "'";
        } else if (c.name[0]) {
            EXPECT_EQ(cvars.getVariableString(c.name), nullptr) << "'" << c.text << "'";
        }
        if (strcmp(c.name, "vg_trace") != 0) {
            EXPECT_STREQ(cvars.getVariableString("vg_trace"), "0") << "'" << c.text << "'";
        }
        EXPECT_EQ(cvars.top(), 0) << "'" << c.text << "'";
    }
    EXPECT_EQ(cvars.getVariableInt("vg_trace"), 0);
    cvars.parseCommandLine("+set vg_trace 1");
    EXPECT_EQ(cvars.getVariableInt("vg_trace"), 1);
    cvars.parseCommandLine(nullptr);
}

TEST_F(CvarManagerTest, UnknownTokensAreTracedAndSkipped)
{
    TraceCapture trace;
    cvars.parseCommandLine("-x +set a 1 +bogus");
    EXPECT_EQ(trace.text, "Unknown command line token '-x'Unknown command line token '+bogus'");
    EXPECT_STREQ(cvars.getVariableString("a"), "1");
}

TEST_F(CvarManagerTest, OverlongTokensAreCutAndTheirRestSkipped)
{
    const std::string longName(1500, 'n');
    const std::string longValue(2000, 'v');
    const std::string text = "+set " + longName + " " + longValue + " +set after 2";
    cvars.parseCommandLine(text.c_str());

    const std::string cutName(1023, 'n');
    const char *value = cvars.getVariableString(cutName.c_str());
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(std::string(value), std::string(1023, 'v'));
    // The rest of each token did not become tokens of their own.
    EXPECT_EQ(cvars.getVariableString(std::string(477, 'n').c_str()), nullptr);
    EXPECT_STREQ(cvars.getVariableString("after"), "2");
    EXPECT_EQ(cvars.count(), 2);
}

TEST_F(CvarManagerTest, PointerVariables)
{
    int a = 0;
    int b = 0;
    cvars.registerPointerVariable("ptr", &a, &b, 0);
    EXPECT_EQ(cvars.count(), 0);

    void *parm = nullptr;
    EXPECT_EQ(cvars.getPointerVariable("ptr", &parm), &a);
    EXPECT_EQ(parm, &b);

    cvars.registerPointerVariable("ptr", &b, &a, HCvarManager::FLAG_KEEP_EXISTING);
    EXPECT_EQ(cvars.getPointerVariable("ptr", &parm), &a);

    cvars.registerPointerVariable("nulls", nullptr, nullptr, 0);
    parm = &a;
    EXPECT_EQ(cvars.getPointerVariable("nulls", &parm), nullptr);
    EXPECT_EQ(parm, nullptr);

    // A missing variable does not touch the out pointer; a plain one has no
    // parm and a value that is no pointer.
    parm = &a;
    EXPECT_EQ(cvars.getPointerVariable("missing", &parm), nullptr);
    cvars.registerVariable("plain", "text", 0);
    EXPECT_EQ(cvars.getPointerVariable("plain", &parm), nullptr);
    EXPECT_EQ(parm, &a);
    EXPECT_EQ(cvars.getPointerVariable("ptr", nullptr), &a);
}

TEST_F(CvarManagerTest, SavedVariablesReadBack)
{
    ScratchFiles files;
    cvars.registerVariable("kept", "1", HCvarManager::FLAG_KEEP_EXISTING);
    cvars.registerVariable("hidden", "secret", HCvarManager::FLAG_NOT_SAVED);
    cvars.registerVariable("hiddenToo", "secret", 3);
    cvars.registerVariable("quoted", "say \"hi\" C:\\dir\\ line\nnext\rend", 0);
    cvars.registerVariable("empty", "", 0);
    ASSERT_TRUE(cvars.run("notAVariable = 5; halfVariable = { value = 'x' }"));
    EXPECT_TRUE(cvars.saveCvars(files.track("cvars.lua"), &files.fileSystem));

    ExposedCvarManager loaded;
    ASSERT_TRUE(loaded.initCvarManager());
    EXPECT_TRUE(loaded.loadCvars("cvars.lua", &files.fileSystem));
    EXPECT_STREQ(loaded.getVariableString("kept"), "1");
    EXPECT_EQ(loaded.flags("kept"), "1");
    EXPECT_STREQ(loaded.getVariableString("quoted"), "say \"hi\" C:\\dir\\ line\nnext\rend");
    EXPECT_STREQ(loaded.getVariableString("empty"), "");
    EXPECT_EQ(loaded.getVariableString("hidden"), nullptr);
    EXPECT_EQ(loaded.getVariableString("hiddenToo"), nullptr);
    EXPECT_EQ(loaded.getVariableString("halfVariable"), nullptr);
    EXPECT_FALSE(loaded.engine()->getGlobal("notAVariable"));
    loaded.engine()->pop(1);
    EXPECT_EQ(loaded.top(), 0);
    loaded.shutdownCvarManager();
}

TEST_F(CvarManagerTest, SavedFileLayout)
{
    ScratchFiles files;
    cvars.registerVariable("vg_trace", "0", 1);
    EXPECT_TRUE(cvars.saveCvars(files.track("one.lua"), &files.fileSystem));
    EXPECT_EQ(files.read("one.lua"), "vg_trace = \n{\n\tvalue = \"0\",\n\tflags = \"1\",\n}\n");
}

// Values and names that would break the written chunk, and with it every
// variable in the file.
TEST_F(CvarManagerTest, SavingKeepsTheFileReadableForAwkwardNamesAndValues)
{
    ScratchFiles files;
    TraceCapture trace;
    cvars.parseCommandLine("+set a-b 1 +set 9lives 2 +set end 3 +set fine 4");
    std::string longValue;
    for (int i = 0; i < 700; ++i)
        longValue += "\"\\";
    cvars.registerVariable("long", longValue.c_str(), 0);
    EXPECT_TRUE(cvars.saveCvars(files.track("awkward.lua"), &files.fileSystem));
    EXPECT_NE(trace.text.find("'a-b' is not a Lua name"), std::string::npos) << trace.text;

    ExposedCvarManager loaded;
    ASSERT_TRUE(loaded.initCvarManager());
    testing::internal::CaptureStderr();
    loaded.loadCvars("awkward.lua", &files.fileSystem);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_STREQ(loaded.getVariableString("fine"), "4");
    const char *cut = loaded.getVariableString("long");
    ASSERT_NE(cut, nullptr);
    // Cut to fit its line, at a whole character of the original.
    EXPECT_GT(strlen(cut), 400u);
    EXPECT_EQ(longValue.compare(0, strlen(cut), cut), 0);
    EXPECT_EQ(loaded.getVariableString("a-b"), nullptr);
    loaded.shutdownCvarManager();
}

TEST_F(CvarManagerTest, SavingWhereNoFileCanBeMadeAnswersTrue)
{
    HStandardFileSystem nowhere;
    nowhere.mount("/nonexistent/tilmar/dir");
    cvars.registerVariable("a", "1", 0);
    TraceCapture trace;
    EXPECT_TRUE(cvars.saveCvars("cvars.lua", &nowhere));
    EXPECT_NE(trace.text.find("HCvarManager::saveCvars - could not create 'cvars.lua'"), std::string::npos);
    EXPECT_TRUE(cvars.saveCvars("cvars.lua", nullptr));
}

TEST_F(CvarManagerTest, LoadingTracesEachStep)
{
    ScratchFiles files;
    const std::string chunk = "a = { value = \"1\", flags = \"0\" }";
    files.write("good.lua", chunk);
    TraceCapture trace;
    EXPECT_TRUE(cvars.loadCvars("good.lua", &files.fileSystem));
    EXPECT_EQ(trace.text,
              ">>>HCvarManager::loadCvars( \"good.lua\" )\n...attempting open:  ok\n"
              "...file size = " + std::to_string(chunk.size()) +
                  " bytes\n...reading\n...parsing\n...closing\n<<<\n");
    EXPECT_EQ(cvars.getVariableInt("a"), 1);

    trace.text.clear();
    EXPECT_TRUE(cvars.loadCvars("absent.lua", &files.fileSystem));
    EXPECT_EQ(trace.text, ">>>HCvarManager::loadCvars( \"absent.lua\" )\n...attempting open: failed\n<<<\n");
}

TEST_F(CvarManagerTest, LuaErrorsInAFileAreReportedNotFatal)
{
    ScratchFiles files;
    files.write("syntax.lua", "a = { value = \"1\" \nb = ");
    files.write("runtime.lua", "early = { value = \"yes\", flags = \"0\" }\nlocal x = nil; x.y = 1\nlate = {}");
    files.write("empty.lua", "");
    cvars.registerVariable("before", "1", 0);

    testing::internal::CaptureStderr();
    EXPECT_TRUE(cvars.loadCvars("syntax.lua", &files.fileSystem));
    EXPECT_TRUE(cvars.loadCvars("runtime.lua", &files.fileSystem));
    EXPECT_TRUE(cvars.loadCvars("empty.lua", &files.fileSystem));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("[string \"buffer\"]:2:"), std::string::npos) << errors;

    EXPECT_EQ(cvars.getVariableString("a"), nullptr);
    EXPECT_STREQ(cvars.getVariableString("early"), "yes");
    EXPECT_EQ(cvars.getVariableString("late"), nullptr);
    EXPECT_STREQ(cvars.getVariableString("before"), "1");
    cvars.registerVariable("after", "2", 0);
    EXPECT_STREQ(cvars.getVariableString("after"), "2");
}

// A loaded file can give any global any shape; every operation copes.
TEST_F(CvarManagerTest, VariablesOfTheWrongShape)
{
    ASSERT_TRUE(cvars.run("number = 5; text = 'x'; noValue = {}; tableValue = { value = {} };"
                          "numeric = { value = 12345, flags = 2 }"));
    struct Case {
        const char *name;
    } cases[] = {{"number"}, {"text"}, {"noValue"}, {"tableValue"}};
    for (const Case &c : cases) {
        EXPECT_EQ(cvars.getVariableString(c.name), nullptr) << c.name;
        EXPECT_EQ(cvars.getVariableInt(c.name), 0) << c.name;
        cvars.setVariableString(c.name, "set");
    }
    // A global that is no variable is replaced, even with flag 1.
    cvars.registerVariable("number", "6", HCvarManager::FLAG_KEEP_EXISTING);
    EXPECT_STREQ(cvars.getVariableString("number"), "6");
    EXPECT_EQ(cvars.count(), 1);
    EXPECT_STREQ(cvars.getVariableString("noValue"), "set");

    // A number value stays readable after Lua has collected garbage.
    const char *numeric = cvars.getVariableString("numeric");
    ASSERT_STREQ(numeric, "12345");
    ASSERT_TRUE(cvars.run("for i = 1, 20000 do local t = { i, i .. 'x' } end"));
    EXPECT_STREQ(numeric, "12345");
    EXPECT_EQ(cvars.getVariableInt("numeric"), 12345);

    // Saving skips what is no variable, and reads number flags.
    ScratchFiles files;
    EXPECT_TRUE(cvars.saveCvars(files.track("shapes.lua"), &files.fileSystem));
    const std::string saved = files.read("shapes.lua");
    EXPECT_EQ(saved.find("numeric"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("tableValue"), std::string::npos) << saved;
    EXPECT_NE(saved.find("number = "), std::string::npos) << saved;
}

TEST(CvarManagerWithoutEngine, EveryOperationAnswersAsForAMissingVariable)
{
    ScratchFiles files;
    files.write("existing.lua", "a = { value = \"1\", flags = \"0\" }");
    for (int pass = 0; pass < 2; ++pass) {
        ExposedCvarManager cvars;
        if (pass == 1) {
            // After a shutdown the manager is as before its start.
            ASSERT_TRUE(cvars.initCvarManager());
            ASSERT_TRUE(cvars.initCvarManager());
            cvars.registerVariable("a", "1", 0);
            cvars.shutdownCvarManager();
        }
        EXPECT_EQ(cvars.engine(), nullptr);
        cvars.registerVariable("a", "1", 0);
        cvars.setVariableString("a", "2");
        cvars.parseCommandLine("+set a 3");
        EXPECT_EQ(cvars.getVariableString("a"), nullptr);
        EXPECT_EQ(cvars.getVariableInt("a"), 0);
        EXPECT_EQ(cvars.getVariableFloat("a"), 0.0f);
        int cookie = 0;
        void *parm = &cookie;
        cvars.registerPointerVariable("p", &cookie, &cookie, 0);
        EXPECT_EQ(cvars.getPointerVariable("p", &parm), nullptr);
        EXPECT_EQ(parm, &cookie);
        EXPECT_TRUE(cvars.loadCvars("existing.lua", &files.fileSystem));
        EXPECT_TRUE(cvars.saveCvars("existing.lua", &files.fileSystem));
        EXPECT_EQ(files.read("existing.lua"), "a = { value = \"1\", flags = \"0\" }");
        EXPECT_EQ(cvars.count(), pass == 1 ? 1 : 0);
        cvars.shutdownCvarManager();
    }
}

} // namespace
